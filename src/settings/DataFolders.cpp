#include "settings/DataFolders.h"

#include "common/IniFile.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"

const std::array<DataFolder, kDataFolderCount>& DataFolders() {
    static const std::array<DataFolder, kDataFolderCount> folders = {{
        {&AppSettings::dataFolder, "DAT", "DATFilesLocation", "00014", 1002, 1119},
        {&AppSettings::jobFolder, "TVL", "TVLFilesLocation", "00015", 1003, 1120},
        {&AppSettings::mrFolder, "M.R", "R01FilesLocation", "00016", 1004, 1121},
        {&AppSettings::tempFolder, "TEMP", "TemporaryFilesLocation", "00017", 1005, 1008},
        {&AppSettings::cncFolder, "CNC", "CNCFilesLocation", "00018", 1006, 1009},
        {&AppSettings::excelImportFolder, "Addins\\ExcelEXE", "EXCELIMPORTFilesLocation", "00218", 1072, 1010},
    }};
    return folders;
}

bool EnforceCncFolder(AppSettings& settings, UserPrompt& prompt) {
    const DataFolder& cnc = DataFolders()[kCncFolderPosition];
    const std::string def = JoinPath(settings.installFolder, cnc.defaultName);
    if (EqualsNoCase(settings.cncFolder, def)) return false;
    const std::string text = Msg("00073") + "\n\n\n" + Msg(cnc.messageId) + "\n\n" + Msg("00257") +
                             Msg("  [ ") + settings.cncFolder + Msg(" ] ...") + "\n\n" + Msg("... ") +
                             Msg("00258") + Msg("  [ ") + def + Msg(" ]");
    prompt.Ask(text, "00073", PromptIcon::Exclamation, PromptButtons::Ok);
    if (!Platform::IsDirectory(def)) Platform::CreateFolder(def);
    if (!Platform::IsDirectory(def)) return false;
    settings.cncFolder = def;
    IniFile::WriteString(settings.iniPath, "Directories", cnc.iniKey, def);
    return true;
}

std::string FolderProblem(const AppSettings& settings, const std::string& folder,
                          const std::string& defaultName, const std::string& messageId, bool* missing) {
    if (!Platform::IsDirectory(folder) && EqualsNoCase(folder, JoinPath(settings.installFolder, defaultName)))
        Platform::CreateFolder(folder);
    if (missing) *missing = false;
    if (Platform::IsDirectory(folder)) return std::string();
    if (missing) *missing = true;
    return Msg(messageId) + " ...... " + folder + "\n";
}

bool CheckFolders(AppSettings& settings, UserPrompt& prompt) {
    std::string report;
    for (const auto& row : DataFolders())
        report += FolderProblem(settings, settings.*row.field, row.defaultName, row.messageId);
    if (report.empty()) return true;
    prompt.Ask(Msg("00073") + "\n\n\n" + Msg("00207") + "\n\n" + report, "00073", PromptIcon::Information,
               PromptButtons::Ok);
    return false;
}

bool FoldersPresent(const AppSettings& settings) {
    for (const auto& row : DataFolders())
        if (!Platform::IsDirectory(settings.*row.field)) return false;
    return true;
}
