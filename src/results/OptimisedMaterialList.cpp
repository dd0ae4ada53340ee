#include "results/OptimisedMaterialList.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "common/DateTime.h"
#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/Process.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "model/Material.h"
#include "model/MaterialKey.h"
#include "model/PlateList.h"
#include "optimise/EngineInput.h"
#include "optimise/OptimiseCommand.h"
#include "plates/PlatesFile.h"
#include "platform/Platform.h"
#include "results/ResultFiles.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"

namespace tavrel {

std::vector<std::string> OptimisedMaterialLines(MaterialKeyList& materials) {
    materials.sort();
    std::vector<std::string> lines;
    for (const MaterialKey& k : materials) lines.push_back(MaterialText(k));
    return lines;
}

std::string StoredResultPath(const AppSettings& settings, const std::string& jobPath,
                             const MaterialKey& key) {
    return JoinPath(settings.mrFolder, RunFileName(jobPath, key.position + 1));
}

std::string MachineResultPath(const AppSettings& settings, const std::string& jobPath,
                              const MaterialKey& key) {
    return JoinPath(settings.cncFolder, RunFileName(jobPath, key.position + 1));
}

std::string AppliedMarkPath(const std::string& storedResultPath) { return storedResultPath + ".applied"; }

bool MarkResultApplied(const std::string& storedResultPath) {
    return WriteFileAtomically(AppliedMarkPath(storedResultPath),
                               std::string("stock updated ") + NowText() + "\n");
}

bool ProcessOptimisedMaterial(const MaterialKey& key, const std::string& jobPath, const AppSettings& settings,
                              LoadEditorFn entry, void* parentWindow, UserPrompt& prompt) {
    if (!entry) return false;
    const PathParts parts = SplitPath(jobPath);
    if (parts.folder.empty()) return false;
    char path[512];
    char params[1024];
    std::memset(path, 0, sizeof path);
    std::memset(params, 0, sizeof params);
    const std::string stored = StoredResultPath(settings, jobPath, key);
    std::snprintf(path, sizeof path, "%s", stored.c_str());
    std::snprintf(params, sizeof params, "%s", settings.editorParameters.c_str());
    if (IsOldWindows() != -1) std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Platform::SetCurrentFolder(settings.installFolder);
    int status = 0;
    entry(parentWindow, path, params, &status);
    const std::string machine = MachineResultPath(settings, jobPath, key);
    if (!PathExists(machine)) return false;
    if (PathExists(AppliedMarkPath(stored))) {
        prompt.ask(Msg("00266"), "00073", PromptIcon::Information, PromptButtons::Ok);
        Platform::DeleteFile(machine);
        return false;
    }
    const std::string question =
        Msg("00092") + " " + MaterialText(key, KeyStyle::Words) + "\n" + Msg("00093");
    if (prompt.ask(question, "00073", PromptIcon::Question, PromptButtons::YesNo, 1) != PromptAnswer::Yes) {
        Platform::DeleteFile(machine);
        // The question said the machine file was written; say what is left of it now.
        prompt.tell(Msg("00316"));
        return false;
    }
    const std::string platesPath = PlatesFile::pathIn(settings.dataFolder);
    PlateList stock;
    if (!stock.load(platesPath, UnitInUse()) && PathExists(platesPath)) {
        // A catalogue we cannot read must not be replaced by what little we could make of it.
        Warn(prompt, "00265", "\n\n" + Msg("00320") + "\n" + platesPath);
        return false;
    }
    Material material(key.serie, key.code, key.treatment);
    material.engineFlag = 1;
    if (!ApplyResult(stock, machine, material, settings.current)) return false;
    if (stock.save(platesPath, UnitInUse())) {
        MarkResultApplied(stored);
        return true;
    }
    Warn(prompt, "00265", "\n\n" + SaveFailureMessage(platesPath));
    return false;
}

}  // namespace tavrel
