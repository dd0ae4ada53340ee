#include "optimise/OptimiseCommand.h"

#include <cstdio>
#include <optional>

#include "settings/AppSettings.h"
#include "settings/DataFolders.h"
#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PieceList.h"
#include "optimise/EngineCall.h"
#include "optimise/EngineInput.h"
#include "optimise/EngineResultSplit.h"
#include "optimise/PlateSelection.h"
#include "platform/Platform.h"
#include "results/OptimisedMaterialList.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"

namespace {

constexpr int kMaxFailedAttempts = 2000;

std::string KeyList(const MaterialKeyList& keys) {
    std::string text;
    for (const MaterialKey& k : keys) text += "\n" + MaterialLine(k.serie, k.code, k.treatment);
    return text;
}

std::string Title(const Material& m) {
    return m.serie + ", " + m.code + (m.treatment.empty() ? "" : " [" + m.treatment + "]");
}

// Everything one run of the command keeps while it goes through the materials.
class OptimiseRun {
public:
    OptimiseRun(AppSettings& settings, Job& job, const std::string& jobPath, UserPrompt& prompt, OptimiseHost& host)
        : s_(settings), job_(job), jobPath_(jobPath), prompt_(prompt), host_(host), base_(JobBaseName(jobPath)) {}

    OptimiseReport Run() {
        PrepareScratch();
        CleanIso();
        if (host_.openedFromMainWindow() && Checks()) {
            report_.reachedRunLoop = true;
            RunLoop();
            Finish();
        }
        return std::move(report_);
    }

private:
    void PrepareScratch() {
        scratch_ = JoinPath(s_.tempFolder, "__KZWtmp__");
        if (!Platform::IsDirectory(scratch_)) Platform::CreateFolder(scratch_);
        if (Platform::IsDirectory(scratch_)) {
            DeleteMatching(scratch_, "*.*");
            return;
        }
        scratch_ = JoinPath(s_.installFolder, "__KZWtmp__");
        Platform::CreateFolder(scratch_);
        scratchInInstall_ = true;
    }

    void CleanIso() {
        const std::string iso = JoinPath(s_.installFolder, "iso");
        if (Platform::IsDirectory(iso)) DeleteMatching(iso, "*.INF");
    }

    // Steps before the run loop; false ends the command.
    bool Checks() {
        CheckFolders(s_, prompt_);
        if (!host_.CommitAndSave(savedAtStart_)) return false;
        catalogue_.load(JoinPath(s_.dataFolder, "Materials.dat"), UnitInUse());
        MaterialKeyList missing;
        MaterialList used = job_.pieces.materialsUsed(catalogue_, missing);
        if (!missing.empty())
            prompt_.Ask(Msg("00098") + "\n" + KeyList(missing), "00073", PromptIcon::Exclamation, PromptButtons::Ok);
        if (used.empty()) return false;
        MaterialKeyList chosen;
        if (!host_.ChooseMaterials(used, chosen)) return false;
        if (!BuildRunPieces(chosen)) return false;
        MaterialKeyList unused;
        runMaterials_ = runPieces_.materialsUsed(catalogue_, unused);
        stock_.load(JoinPath(s_.dataFolder, "Plates.dat"), UnitInUse());
        std::string withoutPlates;
        for (const Material& m : runMaterials_)
            if (!stock_.hasPlateFor(m.serie, m.code, m.treatment))
                withoutPlates += "\n" + MaterialLine(m.serie, m.code, m.treatment);
        if (!withoutPlates.empty()) {
            prompt_.Ask(Msg("00099") + "\n" + withoutPlates, "00073", PromptIcon::Exclamation, PromptButtons::Ok);
            return false;
        }
        return true;
    }

    bool BuildRunPieces(const MaterialKeyList& chosen) {
        MaterialKeyList missing;
        runPieces_ = RunPieces(job_.pieces, catalogue_, chosen, missing);
        if (missing.empty()) return true;
        prompt_.Ask(Msg("00098") + "\n" + KeyList(missing), "00073", PromptIcon::Exclamation, PromptButtons::Ok);
        return false;
    }

    void DeleteJobResults() {
        DeleteMatching(s_.mrFolder, base_ + "*");
        const std::string aux = JoinPath(s_.tempFolder, "_AUX_OPTIMIZED_.TMP");
        if (PathExists(aux)) Platform::DeleteFile(aux);
    }

    void RunLoop() {
        DeleteJobResults();
        job_.materials.clear();
        DeleteMatching(s_.cncFolder, "*.HLG");
        DeleteMatching(s_.cncFolder, "*.LG");
        for (const Material& material : runMaterials_) {
            if (!RunMaterial(material)) break;
        }
    }

    // One material, repeats included. False ends the whole loop.
    bool RunMaterial(const Material& material) {
        bool repeat = false;
        PlateSelection selection;
        PieceList materialPieces;
        MaterialRunReport entry;
        entry.key = material.key();
        for (;;) {
            const std::string line = MaterialLine(material.serie, material.code, material.treatment);
            if (!repeat && prompt_.Ask(Msg("00100") + "\n\n" + line + "\n\n" + Msg("00101"), "00073",
                                       PromptIcon::Question, PromptButtons::OkCancel) != PromptAnswer::Ok)
                return false;
            if (job_.materials.contains(material.serie, material.code, material.treatment)) return true;
            const long run = lastAccepted_ + 1;
            entry.runNumber = run;
            const std::string inputPath = JoinPath(s_.tempFolder, RunFileName(jobPath_, run));
            if (!CanCreate(inputPath)) return true;
            if (!repeat) {
                selection = SelectPlates(stock_, material, job_);
                if (!selection.plates.empty()) {
                    selection.plates.setSelected(false, -1);
                    materialPieces = MaterialPieces(runPieces_, material);
                } else {
                    prompt_.Ask(material.serie + ", " + material.code + "\n\n" +
                                    Format("[%ld] ", selection.leftOutByLimits) + Msg("00174") + "\n\n" + Msg("00175"),
                                "00073", PromptIcon::Exclamation, PromptButtons::Ok);
                }
            }
            if (selection.plates.empty() || selection.plates.isSelected(-1)) return true;
            LoadEditorFn entryPoint = host_.EngineEntry();
            if (!entryPoint) {
                return ++failedAttempts_ <= kMaxFailedAttempts;
            }
            if (!WriteEngineInput(inputPath, job_, material, selection.plates, materialPieces, &s_)) return true;
            ++entry.attempts;
            const std::string resultPath = RunOptimiseCall(entryPoint, s_, inputPath, host_.ParentWindow());
            if (resultPath.empty()) return true;
            const std::string n = RunFileName(jobPath_, run);
            Stage(resultPath, n);
            RunMachineFileCall(entryPoint, s_, resultPath, host_.ParentWindow());
            const std::string machine = JoinPath(s_.cncFolder, n);
            const std::string written = JoinPath(s_.cncFolder, base_ + MachineFileExtension(resultPath));
            if (!EqualsNoCase(written, machine)) {
                if (PathExists(machine)) Platform::DeleteFile(machine);
                if (PathExists(written)) Platform::RenameFile(written, machine);
            }
            Platform::DeleteFile(JoinPath(s_.cncFolder, Format("%08ld.HLG", run)));
            Platform::DeleteFile(JoinPath(s_.cncFolder, Format("%08ld.LG", run)));
            if (!PathExists(machine)) return true;
            PlateList used, offcuts;
            const bool found = SplitEngineResult(machine, material, used, offcuts, run, selection.plates);
            std::string info = Title(material);
            if (selection.leftOutByLimits > 0)
                info += ". ---> " + Format("[%ld] ", selection.leftOutByLimits) + Msg("00174");
            const bool again = host_.ReviewPlates(selection.plates, used, Msg("00147"), info);
            if (again && !selection.plates.isSelected(-1)) {
                repeat = true;
                Platform::DeleteFile(machine);
                continue;
            }
            Accept(material, found, used, offcuts, machine, entry, materialPieces);
            report_.materials.push_back(std::move(entry));
            return true;
        }
    }

    void Accept(const Material& material, bool found, const PlateList& used, const PlateList& offcuts,
                const std::string& machine, MaterialRunReport& entry, const PieceList& pieces) {
        entry.accepted = true;
        entry.usedPlates = used;
        entry.offcuts = offcuts;
        for (const Piece& p : pieces) entry.piecesArea += p.width * p.height * p.quantity;
        for (const StockPlate& p : used) entry.platesArea += p.width * p.height * p.quantity;
        bool keepMachine = false;
        if (found) {
            const std::string text = Msg("00102") + " " + material.serie + " " + material.code +
                                     (material.treatment.empty() ? "" : " " + material.treatment) + "\n" +
                                     Msg(ReadCheckWasteFlag(s_) ? "00093" : "00246");
            if (prompt_.Ask(text, "00073", PromptIcon::Question, PromptButtons::YesNo, 1) == PromptAnswer::Yes) {
                for (const StockPlate& p : used) {
                    Material owner(p.key.serie, p.key.code, p.key.treatment);
                    stock_.consume(owner, p.quantity, p.width, p.height);
                }
                for (const StockPlate& offcut : offcuts) {
                    StockPlate copy = offcut.duplicate();
                    stock_.addOrMerge(std::move(copy), true);
                }
                entry.stockUpdated = stock_.save(JoinPath(s_.dataFolder, "Plates.dat"), UnitInUse());
                if (entry.stockUpdated) MarkResultApplied(JoinPath(s_.mrFolder, RunFileName(jobPath_, entry.runNumber)));
                if (!entry.stockUpdated)
                    prompt_.Ask(Msg("00265"), "00073", PromptIcon::Exclamation, PromptButtons::Ok);
                keepMachine = true;
            }
        }
        if (!keepMachine) Platform::DeleteFile(machine);
        job_.materials.add(material.key(), false, static_cast<int>(lastAccepted_));
        lastAccepted_ = entry.runNumber;
    }

    bool CanCreate(const std::string& path) {
        std::FILE* f = std::fopen(path.c_str(), "a");
        if (!f) return false;
        std::fclose(f);
        return true;
    }

    void Stage(const std::string& resultPath, const std::string& name) {
        const std::string target = JoinPath(scratch_, name);
        const bool existed = PathExists(target);
        if (Platform::CopyFile(resultPath, target) && !existed) staged_.push_back(name);
    }

    void Finish() {
        if (job_.materials.empty()) DeleteJobResults();
        else host_.SetResultsPresent(true);
        DeleteMatching(s_.cncFolder, "*.HLG");
        DeleteMatching(s_.cncFolder, "*.LG");
        for (const std::string& name : staged_) {
            if (Platform::CopyFile(JoinPath(scratch_, name), JoinPath(s_.mrFolder, name)))
                Platform::DeleteFile(JoinPath(scratch_, name));
        }
        if (scratchInInstall_) {
            DeleteMatching(scratch_, "*.*");
            Platform::RemoveFolder(scratch_);
        }
        host_.EnableResultsButton(PathExists(JoinPath(s_.mrFolder, base_ + "R01")));
        if (savedAtStart_) host_.SaveAgain();
        host_.RefreshModified();
        CleanIso();
    }

    AppSettings& s_;
    Job& job_;
    const std::string jobPath_;
    UserPrompt& prompt_;
    OptimiseHost& host_;
    const std::string base_;
    OptimiseReport report_;
    std::string scratch_;
    bool scratchInInstall_ = false;
    bool savedAtStart_ = false;
    MaterialList catalogue_;
    PieceList runPieces_;
    MaterialList runMaterials_;
    PlateList stock_;
    long lastAccepted_ = 0;
    int failedAttempts_ = 0;
    std::vector<std::string> staged_;
};

}  // namespace

PieceList RunPieces(const PieceList& pieces, const MaterialList& catalogue, const MaterialKeyList& chosen,
                    MaterialKeyList& missing) {
    PieceList run;
    PieceList filtered = pieces.filterByMaterials(chosen);
    std::optional<Material> material;
    MaterialKey lastKey;
    bool looked = false;
    for (const Piece& piece : filtered) {
        const MaterialKey key(piece.serie, piece.code, piece.treatment);
        if (!looked || !(key == lastKey)) {
            material = catalogue.find(piece.serie, piece.code, piece.treatment);
            lastKey = key;
            looked = true;
            if (!material) missing.add(key, true);
        }
        if (!material) continue;
        if (!material->isComposite()) {
            run.append(piece.duplicate());
            continue;
        }
        for (const MaterialKey& layer : material->components) {
            Piece copy = piece.duplicate();
            copy.serie = layer.serie;
            copy.code = layer.code;
            copy.treatment = layer.treatment;
            copy.engineKey = piece.engineKey;
            run.append(std::move(copy));
        }
    }
    return run;
}

PieceList MaterialPieces(const PieceList& runPieces, const Material& material) {
    // A plain copy of a piece takes its engine name from its material again, which would give a
    // laminate's layers their own names on the cutting plans; the layers keep the laminate's.
    PieceList pieces;
    for (const Piece& piece : runPieces) {
        if (!material.hasKey(piece.serie, piece.code, piece.treatment)) continue;
        Piece copy = piece.duplicate();
        copy.engineKey = piece.engineKey;
        pieces.append(std::move(copy));
    }
    return pieces;
}

std::string MaterialLine(const std::string& serie, const std::string& code, const std::string& treatment) {
    return serie + ", " + code + (treatment.empty() ? "" : ", " + treatment);
}

bool ChosenMaterials(const MaterialList& used, const std::vector<bool>& selected, MaterialKeyList& chosen,
                     UserPrompt& prompt) {
    bool any = false;
    for (size_t i = 0; i < selected.size() && i < static_cast<size_t>(used.count()); ++i) any = any || selected[i];
    if (!any) {
        prompt.Ask(Msg("00094"), "00073", PromptIcon::Exclamation, PromptButtons::Ok);
        return false;
    }
    chosen.clear();
    for (int i = 0; i < used.count(); ++i)
        if (static_cast<size_t>(i) < selected.size() && selected[size_t(i)])
            chosen.add(used.at(i).key(), true, i);
    return true;
}

OptimiseReport Optimise(AppSettings& settings, Job& job, const std::string& jobPath, UserPrompt& prompt,
                        OptimiseHost& host) {
    OptimiseRun run(settings, job, jobPath, prompt, host);
    return run.Run();
}
