#include "app/Startup.h"

#include "app/AppSettings.h"
#include "common/IniFile.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "platform/Platform.h"
#include "settings/SettingsFiles.h"
#include "suite/KLanguage.h"
#include "suite/SuiteLibrary.h"

namespace {

struct FolderRow {
    std::string AppSettings::*field;
    const char* defaultName;
    const char* messageId;
};

const FolderRow kFolders[] = {
    {&AppSettings::dataFolder, "DAT", "00014"},
    {&AppSettings::jobFolder, "TVL", "00015"},
    {&AppSettings::mrFolder, "M.R", "00016"},
    {&AppSettings::tempFolder, "TEMP", "00017"},
    {&AppSettings::cncFolder, "CNC", "00018"},
    {&AppSettings::excelImportFolder, "Addins\\ExcelEXE", "00218"},
};

}  // namespace

StartupResult RunStartup(AppSettings& settings, UserPrompt& prompt, std::unique_ptr<KLanguage>& language,
                         SuiteLibrary& library) {
    StartupResult result;
    SetCurrentSettings(&settings);
    LoadSettings(settings);
    SaveDirectories(settings, true);
    language = std::make_unique<KLanguage>(JoinPath(settings.installFolder, "Msg\\Tavrel.msg"));
    SetCurrentLanguage(language.get());
    language->LoadStrings();
    ApplyStartupSuiteValues(settings);
    Platform::SetCurrentFolder(settings.installFolder);
    result.libraryOk = library.Load(settings, prompt, false);
    result.cncReset = EnforceCncFolder(settings, prompt);
    result.foldersOk = CheckFolders(settings, prompt);
    return result;
}

bool EnforceCncFolder(AppSettings& settings, UserPrompt& prompt) {
    const std::string def = JoinPath(settings.installFolder, "CNC");
    if (EqualsNoCase(settings.cncFolder, def)) return false;
    const std::string text = Msg("00073") + "\n\n\n" + Msg("00018") + "\n\n" + Msg("00257") +
                             Msg("  [ ") + settings.cncFolder + Msg(" ] ...") + "\n\n" + Msg("... ") +
                             Msg("00258") + Msg("  [ ") + def + Msg(" ]");
    prompt.Ask(text, "00073", PromptIcon::Exclamation, PromptButtons::Ok);
    if (!Platform::IsDirectory(def)) Platform::CreateFolder(def);
    if (!Platform::IsDirectory(def)) return false;
    settings.cncFolder = def;
    IniFile::WriteString(settings.iniPath, "Directories", "CNCFilesLocation", def);
    return true;
}

std::string FolderProblem(const AppSettings& settings, const std::string& folder,
                          const std::string& defaultName, const std::string& messageId, bool* missing) {
    if (!Platform::IsDirectory(folder) &&
        EqualsNoCase(folder, JoinPath(settings.installFolder, defaultName)))
        Platform::CreateFolder(folder);
    if (missing) *missing = false;
    if (Platform::IsDirectory(folder)) return std::string();
    if (missing) *missing = true;
    return Msg(messageId) + " ...... " + folder + "\n";
}

bool CheckFolders(AppSettings& settings, UserPrompt& prompt) {
    std::string report;
    for (const auto& row : kFolders)
        report += FolderProblem(settings, settings.*row.field, row.defaultName, row.messageId);
    if (report.empty()) return true;
    prompt.Ask(Msg("00073") + "\n\n\n" + Msg("00207") + "\n\n" + report, "00073", PromptIcon::Information,
               PromptButtons::Ok);
    return false;
}

bool FoldersPresent(const AppSettings& settings) {
    for (const auto& row : kFolders)
        if (!Platform::IsDirectory(settings.*row.field)) return false;
    return true;
}
