// The optimise commands of tavrel-batch: the whole optimise command of the pieces editor run
// headless with the real engine library, and the engine input of one material alone.

#include <cstdio>
#include <filesystem>
#include <memory>

#include "BatchCommand.h"
#include "app/Startup.h"
#include "common/ConsolePrompt.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "optimise/EngineInput.h"
#include "optimise/OptimiseCommand.h"
#include "optimise/PlateSelection.h"
#include "pieces/JobOpening.h"
#include "plates/PlatesFile.h"
#include "platform/Platform.h"
#include "results/OptimisedMaterialList.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "suite/KLanguage.h"
#include "suite/SuiteLibrary.h"

using namespace tavrel;

std::string ResolveJob(const AppSettings& settings, const std::string& given) {
    std::error_code ec;
    if (std::filesystem::exists(given, ec)) return std::filesystem::absolute(given, ec).string();
    const std::string inJobs = JoinPath(settings.jobFolder, given);
    if (std::filesystem::exists(inJobs, ec)) return inJobs;
    return std::string();
}

namespace {

bool ParseKey(const std::string& text, MaterialKey& key) {
    auto parts = SplitFields(text, ',');
    if (parts.size() < 2 || parts.size() > 3) return false;
    key = MaterialKey(Trim(parts[0]), Trim(parts[1]), parts.size() == 3 ? Trim(parts[2]) : "");
    return true;
}

// A key typed on the command line names a stored key when the bytes agree, or when the stored
// key reads as the typed one: a terminal gives UTF-8, and a Windows station's catalogue holds
// Windows-1252.
bool Names(const MaterialKey& typed, const MaterialKey& stored) {
    if (typed == stored) return true;
    return DisplayText(stored.serie) == typed.serie && DisplayText(stored.code) == typed.code &&
           DisplayText(stored.treatment) == typed.treatment;
}

// A material as the console shows it.
std::string Shown(const MaterialKey& key) { return DisplayText(MaterialText(key)); }

class BatchHost : public OptimiseHost {
public:
    BatchHost(Job& job, std::string jobPath, std::vector<MaterialKey> wanted, LoadEditorFn entry)
        : job_(job), jobPath_(std::move(jobPath)), wanted_(std::move(wanted)), entry_(entry) {}

    bool CommitAndSave(bool& saved) override {
        // Opened as the editor opens it: when that made piece identifiers, the job is saved
        // first, as the editor's save question answered Yes would.
        saved = !modified || job_.save(jobPath_, UnitInUse());
        if (modified)
            std::printf("job saved with its new piece identifiers: %s%s\n", jobPath_.c_str(),
                        saved ? "" : " (FAILED)");
        return true;
    }
    bool SaveAgain() override {
        const bool ok = job_.save(jobPath_, UnitInUse());
        std::printf("job saved: %s%s\n", jobPath_.c_str(), ok ? "" : " (FAILED)");
        saveFailed = !ok;
        return ok;
    }
    bool ChooseMaterials(const MaterialList& used, MaterialKeyList& chosen) override {
        for (const Material& m : used) {
            bool take = wanted_.empty();
            for (const MaterialKey& k : wanted_) take = take || Names(k, m.key());
            if (take) chosen.add(m.key(), true);
        }
        if (chosen.empty()) std::fprintf(stderr, "tavrel-batch: none of the job's materials was chosen\n");
        return !chosen.empty();
    }
    bool ReviewPlates(PlateList&, const PlateList&, const std::string&, const std::string&) override {
        return false;  // every result is accepted as it comes
    }
    LoadEditorFn EngineEntry() override { return entry_; }

    bool saveFailed = false;
    bool modified = false;

private:
    Job& job_;
    std::string jobPath_;
    std::vector<MaterialKey> wanted_;
    LoadEditorFn entry_;
};

void PrintPlates(const char* what, const PlateList& plates) {
    for (const StockPlate& p : plates)
        std::printf("    %s %d x %s x %s\n", what, p.quantity, FormatNumber(LengthFormat(1), p.width).c_str(),
                    FormatNumber(LengthFormat(1), p.height).c_str());
}

struct Loaded {
    std::unique_ptr<KLanguage> language;
    Job job;
    std::string jobPath;
    JobOpening opening;
};

bool LoadLanguageAndJob(BatchContext& context, const std::string& given, Loaded& loaded) {
    AppSettings& s = *context.settings;
    if (LoadChosenCatalogue(s, loaded.language))
        std::fprintf(stderr, "tavrel-batch: %s %s\n", Msg("00392").c_str(), loaded.language->path().c_str());
    loaded.jobPath = ResolveJob(s, given);
    if (loaded.jobPath.empty()) {
        std::fprintf(stderr, "tavrel-batch: job file %s not found (looked in the current folder and in %s)\n",
                     given.c_str(), s.jobFolder.c_str());
        return false;
    }
    // Exactly as the pieces editor opens it: identifiers made, missing materials catalogued.
    ConsolePrompt prompt(stdout);
    if (!OpenJobAsEditor(s, loaded.jobPath, loaded.job, prompt, &loaded.opening)) {
        std::fprintf(stderr, "tavrel-batch: %s is not a readable job file\n", loaded.jobPath.c_str());
        return false;
    }
    return true;
}

}  // namespace

int RunOptimise(BatchContext& context, const std::vector<std::string>& args) {
    if (args.empty()) return ExitUsage;
    std::vector<MaterialKey> wanted;
    bool updateStock = true;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--materials" && i + 1 < args.size()) {
            for (++i; i < args.size() && args[i].rfind("--", 0) != 0; ++i) {
                if (args[i] == "all") continue;
                MaterialKey key;
                if (!ParseKey(args[i], key)) {
                    std::fprintf(stderr, "tavrel-batch: material %s is not SERIE,CODE[,TREATMENT]\n",
                                 args[i].c_str());
                    return ExitUsage;
                }
                wanted.push_back(key);
            }
            --i;
        } else if (args[i] == "--stock" && i + 1 < args.size() &&
                   (args[i + 1] == "update" || args[i + 1] == "keep")) {
            updateStock = args[++i] == "update";
        } else {
            std::fprintf(stderr, "tavrel-batch: unknown argument %s\n", args[i].c_str());
            return ExitUsage;
        }
    }
    Loaded loaded;
    if (!LoadLanguageAndJob(context, args[0], loaded)) return ExitFailed;
    AppSettings& s = *context.settings;
    // OK to every "optimise this material?" question, the stock question as told, defaults else.
    ConsolePrompt prompt(stdout, [&](const std::string&, PromptButtons buttons, int def) {
        if (buttons == PromptButtons::OkCancel) return PromptAnswer::Ok;
        if (buttons == PromptButtons::YesNo) return updateStock ? PromptAnswer::Yes : PromptAnswer::No;
        return ButtonAnswer(buttons, def);
    });
    SuiteLibrary& library = SuiteLibrary::instance();
    if (!library.load(s, prompt, false) || !library.loadEditor()) {
        std::fprintf(stderr, "tavrel-batch: the engine library %s could not be used from %s\n",
                     kSuiteLibraryName, s.installFolder.c_str());
        SetCurrentCatalogue(nullptr);
        return ExitFailed;
    }
    BatchHost host(loaded.job, loaded.jobPath, wanted, library.loadEditor());
    host.modified = loaded.opening.modified;
    OptimiseReport report = Optimise(s, loaded.job, loaded.jobPath, prompt, host);
    // The other stops before the run loop have told their reason through a message box already.
    if (report.stop == RunStop::NoMaterial)
        std::fprintf(stderr,
                     "tavrel-batch: no piece of %s has a material of the catalogue: nothing to optimise\n",
                     loaded.jobPath.c_str());
    double pieces = 0, plates = 0;
    int usedCount = 0, offcutCount = 0;
    bool allOptimised = true;
    for (const MaterialRunReport& m : report.materials) {
        if (!m.accepted) {
            // Every chosen material ends with its plates or with the reason it has none.
            allOptimised = allOptimised && m.reason == NotOptimised::AlreadyOptimised;
            std::string why = NotOptimisedText(m, s.current);
            for (size_t at = why.find('\n'); at != std::string::npos; at = why.find('\n', at + 5))
                why.replace(at, 1, "\n    ");
            std::printf("%s: not optimised\n    %s\n", Shown(m.key).c_str(), DisplayText(why).c_str());
            continue;
        }
        std::printf("%s: run %ld, %s\n", Shown(m.key).c_str(), m.runNumber,
                    m.stockUpdated ? "accepted, stock updated" : "accepted");
        PrintPlates("plate", m.usedPlates);
        PrintPlates("offcut", m.offcuts);
        for (const StockPlate& p : m.usedPlates) usedCount += p.quantity;
        for (const StockPlate& p : m.offcuts) offcutCount += p.quantity;
        std::printf("    yield %.2f%%\n", m.platesArea > 0 ? 100.0 * m.piecesArea / m.platesArea : 0.0);
        pieces += m.piecesArea;
        plates += m.platesArea;
    }
    size_t optimised = 0;
    for (const MaterialRunReport& m : report.materials) optimised += m.accepted ? 1 : 0;
    std::printf("total: %zu of %zu materials optimised; %d plates; %d offcuts; yield %.2f%%\n", optimised,
                report.materials.size(), usedCount, offcutCount, plates > 0 ? 100.0 * pieces / plates : 0.0);
    SetCurrentCatalogue(nullptr);
    if (!report.reachedRunLoop || report.materials.empty() || host.saveFailed || !allOptimised)
        return ExitFailed;
    return ExitOk;
}

int RunWriteInput(BatchContext& context, const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::string out;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size())
            out = args[++i];
        else
            positional.push_back(args[i]);
    }
    if (positional.size() < 3 || positional.size() > 4 || out.empty()) return ExitUsage;
    Loaded loaded;
    if (!LoadLanguageAndJob(context, positional[0], loaded)) return ExitFailed;
    AppSettings& s = *context.settings;
    MaterialList catalogue;
    PlateList stock;
    catalogue.load(MaterialsFile::pathIn(s.dataFolder), UnitInUse());
    stock.load(PlatesFile::pathIn(s.dataFolder), UnitInUse());
    const std::string treatment = positional.size() == 4 ? positional[3] : "";
    const MaterialKey typed(positional[1], positional[2], treatment);
    const Material* material = nullptr;
    for (const Material& m : catalogue)
        if (!material && Names(typed, m.key())) material = &m;
    // The catalogue stays registered until the input is written: the perimeter label is one of
    // its texts.
    if (!material) {
        SetCurrentCatalogue(nullptr);
        std::fprintf(stderr, "tavrel-batch: material %s is not in the catalogue\n", Shown(typed).c_str());
        return ExitFailed;
    }
    MaterialKeyList missing;
    MaterialList used = loaded.job.pieces.materialsUsed(catalogue, missing);
    MaterialKeyList all;
    for (const Material& m : used) all.add(m.key(), true);
    PieceList pieces = MaterialPieces(RunPieces(loaded.job.pieces, catalogue, all, missing), *material);
    PlateSelection selection = SelectPlates(stock, *material, loaded.job);
    const bool written =
        WriteEngineInput(out, loaded.job, *material, selection.plates, pieces, &s, s.current);
    SetCurrentCatalogue(nullptr);
    if (!written) {
        std::fprintf(stderr, "tavrel-batch: cannot write %s\n", out.c_str());
        return ExitFailed;
    }
    std::printf("%s: %d plate types (%ld left out by size limits), %d piece lines -> %s\n",
                Shown(material->key()).c_str(), selection.plates.count(), selection.leftOutByLimits,
                pieces.count(), out.c_str());
    return ExitOk;
}

int RunResults(BatchContext& context, const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    bool updateStock = true;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--stock" && i + 1 < args.size() && (args[i + 1] == "update" || args[i + 1] == "keep"))
            updateStock = args[++i] == "update";
        else
            positional.push_back(args[i]);
    }
    if (positional.empty() || positional.size() > 2) return ExitUsage;
    Loaded loaded;
    if (!LoadLanguageAndJob(context, positional[0], loaded)) return ExitFailed;
    AppSettings& s = *context.settings;
    const std::vector<std::string> lines = OptimisedMaterialLines(loaded.job.materials);
    if (positional.size() == 1) {
        for (size_t i = 0; i < lines.size(); ++i)
            std::printf("%s (result %s)\n", DisplayText(lines[i]).c_str(),
                        StoredResultPath(s, loaded.jobPath, loaded.job.materials.at(int(i))).c_str());
        if (lines.empty()) std::printf("%s\n", Msg("00103").c_str());
        SetCurrentCatalogue(nullptr);
        return ExitOk;
    }
    MaterialKey wanted;
    if (!ParseKey(positional[1], wanted)) {
        SetCurrentCatalogue(nullptr);
        return ExitUsage;
    }
    int index = -1;
    for (int i = 0; i < loaded.job.materials.count() && index < 0; ++i)
        if (Names(wanted, loaded.job.materials.at(i))) index = i;
    if (index < 0) {
        std::fprintf(stderr, "tavrel-batch: %s has no stored result in this job\n", positional[1].c_str());
        SetCurrentCatalogue(nullptr);
        return ExitFailed;
    }
    ConsolePrompt prompt(stdout, [&](const std::string&, PromptButtons buttons, int def) {
        if (buttons == PromptButtons::YesNo) return updateStock ? PromptAnswer::Yes : PromptAnswer::No;
        return ButtonAnswer(buttons, def);
    });
    SuiteLibrary& library = SuiteLibrary::instance();
    if (!library.load(s, prompt, false) || !library.loadEditor()) {
        std::fprintf(stderr, "tavrel-batch: the engine library %s could not be used\n", kSuiteLibraryName);
        SetCurrentCatalogue(nullptr);
        return ExitFailed;
    }
    const bool changed = ProcessOptimisedMaterial(loaded.job.materials.at(index), loaded.jobPath, s,
                                                  library.loadEditor(), nullptr, prompt);
    std::printf("stock %s\n", changed ? "updated" : "unchanged");
    std::printf("stored result kept: %s\n",
                StoredResultPath(s, loaded.jobPath, loaded.job.materials.at(index)).c_str());
    SetCurrentCatalogue(nullptr);
    return ExitOk;
}

int RunStartupCommand(BatchContext& context, const std::vector<std::string>&) {
    AppSettings& s = *context.settings;
    ConsolePrompt prompt(stdout);
    std::unique_ptr<KLanguage> language;
    std::printf("installation: %s\n", s.installFolder.c_str());
    StartupResult result = RunStartup(s, prompt, language, SuiteLibrary::instance());
    std::printf("unit: %s (%s)\n", s.units[size_t(s.selectedUnit < 0 ? 0 : s.selectedUnit)].name.c_str(),
                s.current.linearLabel.c_str());
    std::printf("catalogue: %zu messages from %s\n", language->size(), language->path().c_str());
    std::printf("folders: %s\nengine library: %s\n",
                result.foldersOk ? "all present" : "some missing (see above)",
                result.libraryOk ? "loaded" : "not available");
    if (result.foldersAdopted)
        std::printf("folders: taken over from a former installation folder (see above)\n");
    std::printf("settings files: %s\n",
                result.settingsSaved ? "saved" : "some could not be written (see above)");
    SetCurrentCatalogue(nullptr);
    return ExitOk;
}
