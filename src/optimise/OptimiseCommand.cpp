#include "optimise/OptimiseCommand.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PieceList.h"
#include "model/ReadReport.h"
#include "optimise/EngineCall.h"
#include "optimise/EngineInput.h"
#include "optimise/EngineResultSplit.h"
#include "optimise/PlateSelection.h"
#include "plates/PlatesFile.h"
#include "platform/Platform.h"
#include "results/OptimisedMaterialList.h"
#include "results/ResultFiles.h"
#include "settings/AppSettings.h"
#include "settings/DataFolders.h"
#include "settings/SettingsFiles.h"
#include "settings/UnitDef.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

// A piece's or plate's area in square millimetres from the sizes its file holds. Shown in inches
// with few decimals the sizes are rounded: with none, the kitchen demo's 42.93 % came out 42.57 %.
template <class Record>
double StoredArea(const Record& r, const CurrentUnit& unit) {
    auto mm = [&](std::size_t slot, double value) {
        return r.stored.storedFor(slot, value, [&] { return ToSystem(unit, value, Kind::Length); });
    };
    return mm(Record::StoredWidth, r.width) * mm(Record::StoredHeight, r.height);
}

constexpr int kMaxFailedAttempts = 2000;

std::string KeyList(const MaterialKeyList& keys) {
    std::string text;
    for (const MaterialKey& k : keys) text += "\n" + MaterialText(k);
    return text;
}

// One material's way through the run loop.
struct MaterialState {
    explicit MaterialState(const Material& m) : material(m) { entry.key = m.key(); }
    const Material& material;
    MaterialRunReport entry;
    PlateSelection selection;
    PieceList pieces;
    PlateList used;
    PlateList offcuts;
    bool found = false;  // the split found used plates or offcuts
    bool repeat = false;
};

// Everything one run of the command keeps while it goes through the materials.
class OptimiseRun {
public:
    OptimiseRun(AppSettings& settings, Job& job, const std::string& jobPath, UserPrompt& prompt,
                OptimiseHost& host)
        : s_(settings),
          job_(job),
          jobPath_(jobPath),
          prompt_(prompt),
          host_(host),
          base_(JobBaseName(jobPath)) {}

    OptimiseReport Run() {
        PrepareScratch();
        CleanIso();
        report_.stop = host_.openedFromMainWindow() ? Checks() : RunStop::NotFromMainWindow;
        if (report_.stop == RunStop::None) {
            report_.reachedRunLoop = true;
            RunLoop();
            Finish();
        }
        RemoveInstallScratch();
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

    // A scratch folder made in the installation folder goes, however the command ended.
    void RemoveInstallScratch() {
        if (!scratchInInstall_) return;
        DeleteMatching(scratch_, "*.*");
        Platform::RemoveFolder(scratch_);
    }

    void CleanIso() {
        const std::string iso = JoinPath(s_.installFolder, "iso");
        if (Platform::IsDirectory(iso)) DeleteMatching(iso, "*.INF");
    }

    // Steps before the run loop; anything but RunStop::None ends the command.
    RunStop Checks() {
        CheckFolders(s_, prompt_);
        if (!host_.CommitAndSave(savedAtStart_)) return RunStop::SaveRefused;
        catalogue_.load(MaterialsFile::pathIn(s_.dataFolder), UnitInUse());
        MaterialKeyList missing;
        MaterialList used = job_.pieces.materialsUsed(catalogue_, missing);
        if (!missing.empty()) Warn(prompt_, "00098", "\n" + KeyList(missing));
        if (used.empty()) return RunStop::NoMaterial;
        MaterialKeyList chosen;
        if (!host_.ChooseMaterials(used, chosen)) return RunStop::NothingChosen;
        if (!BuildRunPieces(chosen)) return RunStop::MissingLayers;
        MaterialKeyList unused;
        runMaterials_ = runPieces_.materialsUsed(catalogue_, unused);
        const std::string platesPath = PlatesFile::pathIn(s_.dataFolder);
        ReadReport report;
        if (!stock_.load(platesPath, UnitInUse(), &report) && PathExists(platesPath)) {
            // A damaged catalogue is not an empty stock: adding plates would not help.
            Warn(prompt_, "00320", "\n" + platesPath);
            return RunStop::UnreadableStock;
        }
        if (!report.problems.empty()) Warn(prompt_, "00321", "\n" + DescribeProblems(platesPath, report));
        std::string withoutPlates;
        for (const Material& m : runMaterials_)
            if (!stock_.hasPlateFor(m.serie, m.code, m.treatment))
                withoutPlates += "\n" + MaterialText(m.key());
        if (!withoutPlates.empty()) {
            Warn(prompt_, "00099", "\n" + withoutPlates);
            return RunStop::MaterialsWithoutPlates;
        }
        return RunStop::None;
    }

    bool BuildRunPieces(const MaterialKeyList& chosen) {
        MaterialKeyList missing;
        runPieces_ = RunPieces(job_.pieces, catalogue_, chosen, missing);
        if (missing.empty()) return true;
        Warn(prompt_, "00098", "\n" + KeyList(missing));
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
        bool stopped = false;
        for (const Material& material : runMaterials_) {
            if (!stopped) {
                stopped = !RunMaterial(material);
                continue;
            }
            // The materials after the one that ended the loop are not optimised either.
            MaterialState rest(material);
            End(rest, stopReason_);
        }
    }

    // One material, repeats included. False ends the whole loop.
    bool RunMaterial(const Material& material) {
        MaterialState m(material);
        for (;;) {
            if (!m.repeat && !AskToOptimise(material)) return Stop(m, NotOptimised::Cancelled);
            if (job_.materials.contains(material.serie, material.code, material.treatment))
                return End(m, NotOptimised::AlreadyOptimised);
            m.entry.runNumber = lastAccepted_ + 1;
            const std::string inputPath = JoinPath(s_.tempFolder, RunFileName(jobPath_, m.entry.runNumber));
            if (!CanCreate(inputPath)) return End(m, NotOptimised::InputNotWritten);
            if (!m.repeat && !SelectPlatesFor(m)) return End(m, NotOptimised::NoUsablePlate);
            if (m.selection.plates.isSelected(-1)) return End(m, NotOptimised::EveryPlateLeftOut);
            LoadEditorFn entryPoint = host_.EngineEntry();
            if (!entryPoint) {
                if (++failedAttempts_ <= kMaxFailedAttempts) return End(m, NotOptimised::EngineUnavailable);
                return Stop(m, NotOptimised::EngineUnavailable);
            }
            const NotOptimised why = RunEngine(m, entryPoint, inputPath);
            if (why != NotOptimised::No) return End(m, why);
            if (!Split(m)) return End(m, NotOptimised::UnreadableResult);
            if (ReviewAsksAgain(m)) {
                m.repeat = true;
                continue;
            }
            Accept(m);
            return End(m, NotOptimised::No);
        }
    }

    bool AskToOptimise(const Material& material) {
        const std::string text = Msg("00100") + "\n\n" + MaterialText(material.key()) + "\n\n" + Msg("00101");
        return prompt_.ask(text, "00073", PromptIcon::Question, PromptButtons::OkCancel) == PromptAnswer::Ok;
    }

    // The plates and pieces of a first run; false (after telling the user) when no plate is usable.
    bool SelectPlatesFor(MaterialState& m) {
        m.selection = SelectPlates(stock_, m.material, job_);
        if (m.selection.plates.empty()) {
            prompt_.tell(MaterialText(m.material.key(), KeyStyle::SerieCode) + "\n\n" +
                             Format("[%ld] ", m.selection.leftOutByLimits) + Msg("00174") + "\n\n" +
                             Msg("00175"),
                         "00073", PromptIcon::Exclamation);
            return false;
        }
        m.selection.plates.setSelected(false, -1);
        m.pieces = MaterialPieces(runPieces_, m.material);
        return true;
    }

    // Writes the input, runs both engine calls and leaves the machine result in the CNC folder.
    NotOptimised RunEngine(MaterialState& m, LoadEditorFn entryPoint, const std::string& inputPath) {
        const InputProblem problem =
            CheckEngineInput(job_, m.material, m.selection.plates, m.pieces, s_.current);
        if (problem.found) {
            m.entry.detail = problem.what;
            return problem.noSize ? NotOptimised::PieceWithoutSize : NotOptimised::ValueTooWide;
        }
        if (!WriteEngineInput(inputPath, job_, m.material, m.selection.plates, m.pieces, &s_, s_.current))
            return NotOptimised::InputNotWritten;
        ++m.entry.attempts;
        const long run = m.entry.runNumber;
        const OptimiseCallResult call = RunOptimiseCall(entryPoint, s_, inputPath, host_.ParentWindow());
        const std::string reportPath = EngineReportPath(inputPath);
        EngineReport told;
        const bool hasReport = ReadEngineReport(reportPath, told);
        Platform::DeleteFile(reportPath);
        if (call.resultPath.empty()) {
            m.entry.engineStatus = call.status;
            if (hasReport) {
                m.entry.engineReport = told;
                if (call.status == EngineStatus::Ok) m.entry.engineStatus = told.status;
            }
            return NotOptimised::EngineFailed;
        }
        const std::string n = RunFileName(jobPath_, run);
        Stage(call.resultPath, n);
        RunMachineFileCall(entryPoint, s_, call.resultPath, host_.ParentWindow());
        // The staged copy is what is kept; the engine's own file would pile up run after run.
        Platform::DeleteFile(call.resultPath);
        const std::string machine = MachinePath(run);
        const std::string written = JoinPath(s_.cncFolder, base_ + MachineFileExtension(call.resultPath));
        if (!EqualsNoCase(written, machine)) {
            if (PathExists(machine)) Platform::DeleteFile(machine);
            if (PathExists(written)) Platform::RenameFile(written, machine);
        }
        Platform::DeleteFile(JoinPath(s_.cncFolder, Format("%08ld.HLG", run)));
        Platform::DeleteFile(JoinPath(s_.cncFolder, Format("%08ld.LG", run)));
        return PathExists(machine) ? NotOptimised::No : NotOptimised::NoMachineFile;
    }

    // Splits the machine result into used plates and offcuts; false when it cannot be read.
    bool Split(MaterialState& m) {
        m.used = PlateList();
        m.offcuts = PlateList();
        bool readable = false;
        m.found = SplitEngineResult(MachinePath(m.entry.runNumber), m.material, m.used, m.offcuts,
                                    m.entry.runNumber, m.selection.plates, s_.current, &readable);
        return readable;
    }

    // Shows the split result; true when the user asks for another optimisation.
    bool ReviewAsksAgain(MaterialState& m) {
        const std::string machine = MachinePath(m.entry.runNumber);
        std::string info = MaterialText(m.material.key(), KeyStyle::Title);
        if (m.selection.leftOutByLimits > 0)
            info += ". ---> " + Format("[%ld] ", m.selection.leftOutByLimits) + Msg("00174");
        const bool again = host_.ReviewPlates(m.selection.plates, m.used, Msg("00147"), info);
        if (!again || m.selection.plates.isSelected(-1)) return false;
        Platform::DeleteFile(machine);
        return true;
    }

    void Accept(MaterialState& m) {
        MaterialRunReport& entry = m.entry;
        entry.accepted = true;
        entry.usedPlates = m.used;
        entry.offcuts = m.offcuts;
        for (const Piece& p : m.pieces) entry.piecesArea += StoredArea(p, s_.current) * p.quantity;
        for (const StockPlate& p : m.used) entry.platesArea += StoredArea(p, s_.current) * p.quantity;
        const std::string machine = MachinePath(entry.runNumber);
        bool keepMachine = false;
        if (m.found) {
            const std::string text = Msg("00102") + " " + MaterialText(m.material.key(), KeyStyle::Words) +
                                     "\n" + Msg(ReadCheckWasteFlag(s_) ? "00093" : "00246");
            if (prompt_.ask(text, "00073", PromptIcon::Question, PromptButtons::YesNo, 1) ==
                PromptAnswer::Yes) {
                // The stock in memory follows at once, so the next material is cut from what is
                // left; the catalogue on disk follows at the end of the run (SaveStock).
                ApplyToStock(stock_, m.used, m.offcuts);
                stockRuns_.push_back(entry.runNumber);
                keepMachine = true;
            }
        }
        if (!keepMachine) Platform::DeleteFile(machine);
        job_.materials.add(m.material.key(), false, static_cast<int>(lastAccepted_));
        lastAccepted_ = entry.runNumber;
    }

    // Records how the material's run ended, telling the user when it failed; the loop goes on.
    bool End(MaterialState& m, NotOptimised reason) {
        m.entry.reason = reason;
        if (IsFailure(reason))
            Warn(prompt_, "00300",
                 "\n\n" + MaterialText(m.entry.key) + "\n\n" + NotOptimisedText(m.entry, s_.current));
        report_.materials.push_back(std::move(m.entry));
        return true;
    }

    // Records how the material's run ended and ends the loop: the materials after it share the reason.
    bool Stop(MaterialState& m, NotOptimised reason) {
        stopReason_ = reason;
        End(m, reason);
        return false;
    }

    std::string MachinePath(long run) const { return JoinPath(s_.cncFolder, RunFileName(jobPath_, run)); }

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
        if (job_.materials.empty())
            DeleteJobResults();
        else
            host_.SetResultsPresent(true);
        DeleteMatching(s_.cncFolder, "*.HLG");
        DeleteMatching(s_.cncFolder, "*.LG");
        for (const std::string& name : staged_) {
            if (Platform::CopyFile(JoinPath(scratch_, name), JoinPath(s_.mrFolder, name)))
                Platform::DeleteFile(JoinPath(scratch_, name));
        }
        host_.EnableResultsButton(PathExists(JoinPath(s_.mrFolder, base_ + "R01")));
        if (savedAtStart_) host_.SaveAgain();
        SaveStock();
        host_.RefreshModified();
        CleanIso();
    }

    // The stock moves last, in one save for every material whose result was accepted with the
    // stock update, once the results are stored and the job lists them: a run killed before
    // this leaves results not yet applied, which the optimised material list applies; a stock
    // saved after each material would follow results that a kill later in the run loses. One
    // save also keeps the stock all or nothing: a failed save marks no result applied.
    void SaveStock() {
        if (stockRuns_.empty()) return;
        const std::string path = PlatesFile::pathIn(s_.dataFolder);
        const bool saved = stock_.save(path, UnitInUse());
        for (MaterialRunReport& entry : report_.materials) {
            if (!entry.accepted ||
                std::find(stockRuns_.begin(), stockRuns_.end(), entry.runNumber) == stockRuns_.end())
                continue;
            entry.stockUpdated = saved;
            if (saved) MarkResultApplied(JoinPath(s_.mrFolder, RunFileName(jobPath_, entry.runNumber)));
        }
        if (!saved) Warn(prompt_, "00265", "\n\n" + SaveFailureMessage(path));
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
    NotOptimised stopReason_ = NotOptimised::Cancelled;
    std::vector<std::string> staged_;
    std::vector<long> stockRuns_;  // accepted with the stock update, saved by SaveStock
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
        // A layer missing from the catalogue would be cut without it: the whole run must stop.
        bool layersKnown = true;
        for (const MaterialKey& layer : material->components) {
            if (catalogue.find(layer.serie, layer.code, layer.treatment)) continue;
            missing.add(layer, true);
            layersKnown = false;
        }
        if (!layersKnown) continue;
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

std::string MaterialText(const MaterialKey& key, KeyStyle style) {
    const bool treated = !key.treatment.empty() && style != KeyStyle::SerieCode;
    switch (style) {
        case KeyStyle::Title:
            return key.serie + ", " + key.code + (treated ? " [" + key.treatment + "]" : "");
        case KeyStyle::Words:
            return key.serie + " " + key.code + (treated ? " " + key.treatment : "");
        case KeyStyle::List:
        case KeyStyle::SerieCode:
            break;
    }
    return key.serie + ", " + key.code + (treated ? ", " + key.treatment : "");
}

bool IsFailure(NotOptimised reason) {
    switch (reason) {
        case NotOptimised::No:
        case NotOptimised::Cancelled:
        case NotOptimised::AlreadyOptimised:
        case NotOptimised::NoUsablePlate:      // told by its own box
        case NotOptimised::EveryPlateLeftOut:  // the user's choice
        case NotOptimised::EngineUnavailable:  // told by the loader
            return false;
        default:
            return true;
    }
}

namespace {

std::string AreaText(long long squareTenths, const CurrentUnit& unit) {
    const double squareMillimetres = static_cast<double>(squareTenths) / 100.0;
    const bool inches = NearlyEqual(unit.linearFactor, 25.4);
    const double value = squareMillimetres / (inches ? 92903.04 : 1e6);  // ft2 or m2
    return FormatNumber("%.2lf", value) + (unit.areaLabel.empty() ? "" : " " + unit.areaLabel);
}

std::string EngineText(const MaterialRunReport& r, const CurrentUnit& unit) {
    const EngineReport& told = r.engineReport;
    switch (r.engineStatus) {
        case EngineStatus::PieceTooLarge: {
            const std::string format = unit.numberFormat.empty() ? "%.1lf" : unit.numberFormat;
            return Msg("00301") + "\n" + Msg("00054") + " " + told.pieceId + " (" +
                   FormatNumber(format, ResultLength(told.pieceWidth, unit)) + " x " +
                   FormatNumber(format, ResultLength(told.pieceHeight, unit)) + ")";
        }
        case EngineStatus::StockTooSmall:
            // Whether more plate area would do, or only plates of other sizes: the user adds
            // different plates in the two cases.
            return Msg("00302") + "\n" + Format("%ld / %ld ", told.piecesLeft, told.piecesTotal) +
                   Msg("00261") + ", " + AreaText(told.areaLeft, unit) + "\n" +
                   (told.areaLacking > 0 ? Msg("00317") + " " + AreaText(told.areaLacking, unit)
                                         : Msg("00318"));
        case EngineStatus::UnreadableInput:
            return Msg("00303") + (told.detail.empty() ? "" : "\n" + told.detail);
        case EngineStatus::CannotWrite:
            return Msg("00304");
        case EngineStatus::InvalidPlan:
            return Msg("00305");
        case EngineStatus::UnreadableResult:
            return Msg("00310");
        case EngineStatus::Ok:
            break;
    }
    return Msg("00306");
}

}  // namespace

std::string NotOptimisedText(const MaterialRunReport& r, const CurrentUnit& unit) {
    switch (r.reason) {
        case NotOptimised::No:
            return {};
        case NotOptimised::Cancelled:
            return Msg("00312");
        case NotOptimised::AlreadyOptimised:
            return Msg("00313");
        case NotOptimised::InputNotWritten:
            return Msg("00308");
        case NotOptimised::NoUsablePlate:
            return Msg("00175");
        case NotOptimised::EveryPlateLeftOut:
            return Msg("00314");
        case NotOptimised::EngineUnavailable:
            return Msg("00311");
        case NotOptimised::EngineFailed:
            return EngineText(r, unit);
        case NotOptimised::NoMachineFile:
            return Msg("00307");
        case NotOptimised::UnreadableResult:
            return Msg("00310");
        case NotOptimised::ValueTooWide:
            return Msg("00309") + "\n" + r.detail;
        case NotOptimised::PieceWithoutSize:
            return Msg("00315") + "\n" + r.detail;
    }
    return {};
}

bool ChosenMaterials(const MaterialList& used, const std::vector<bool>& selected, MaterialKeyList& chosen,
                     UserPrompt& prompt) {
    bool any = false;
    for (size_t i = 0; i < selected.size() && i < static_cast<size_t>(used.count()); ++i)
        any = any || selected[i];
    if (!any) {
        Warn(prompt, "00094");
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

}  // namespace tavrel
