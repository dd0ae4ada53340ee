#include "settings/DataFolders.h"

#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"

namespace tavrel {

const std::array<DataFolder, kDataFolderCount>& DataFolders() {
    static const std::array<DataFolder, kDataFolderCount> folders = {{
        {&AppSettings::dataFolder, "DAT", "DATFilesLocation", "00014", 1002, 1119},
        {&AppSettings::jobFolder, "TVL", "TVLFilesLocation", "00015", 1003, 1120},
        {&AppSettings::mrFolder, "M.R", "R01FilesLocation", "00016", 1004, 1121},
        {&AppSettings::tempFolder, "TEMP", "TemporaryFilesLocation", "00017", 1005, 1008},
        {&AppSettings::cncFolder, "CNC", "CNCFilesLocation", "00018", 1006, 1009},
        {&AppSettings::excelImportFolder, "Addins\\ExcelEXE", "EXCELIMPORTFilesLocation", "00218", 1072,
         1010},
    }};
    return folders;
}

namespace {

// `folder` is `parent` or lies below it (letter case ignored, either separator).
bool IsInside(const std::string& folder, const std::string& parent) {
    if (parent.empty() || folder.size() < parent.size()) return false;
    if (!EqualsNoCase(folder.substr(0, parent.size()), parent)) return false;
    return folder.size() == parent.size() || IsSeparator(folder[parent.size()]) || IsSeparator(parent.back());
}

}  // namespace

std::vector<int> AdoptFormerInstallationFolders(AppSettings& settings, std::string& former) {
    former.clear();
    const DataFolder& cnc = DataFolders()[kCncFolderPosition];
    const std::string& storedCnc = settings.cncFolder;
    if (EqualsNoCase(storedCnc, JoinPath(settings.installFolder, cnc.defaultName))) return {};
    const PathParts parts = SplitPath(storedCnc);
    if (!EqualsNoCase(parts.fileName, cnc.defaultName) || parts.folder.empty()) return {};
    const std::string old = parts.folder;
    // The same installation reached by another path (a link to it) is no former one.
    if (EqualsNoCase(AbsolutePath(old), settings.installFolder) ||
        Platform::SameFolder(old, settings.installFolder))
        return {};

    std::vector<int> inside;
    bool another = false;
    for (int i = 0; i < kDataFolderCount; ++i) {
        const std::string& folder = settings.*DataFolders()[size_t(i)].field;
        if (!IsInside(folder, old) || IsInside(folder, settings.installFolder)) continue;
        inside.push_back(i);
        if (i != kCncFolderPosition) another = true;
    }
    // Only the CNC folder out there is a hand-edited CNC key, which the CNC rule deals with.
    if (!another) return {};
    for (int i : inside) {
        std::string& folder = settings.*DataFolders()[size_t(i)].field;
        std::string rest = folder.substr(old.size());
        while (!rest.empty() && IsSeparator(rest.front())) rest.erase(0, 1);
        folder = rest.empty() ? settings.installFolder : JoinPath(settings.installFolder, rest);
    }
    former = old;
    return inside;
}

void ReportAdoptedFolders(const AppSettings& settings, const std::vector<int>& positions,
                          const std::string& former, UserPrompt& prompt) {
    if (positions.empty()) return;
    std::string text = Msg("00277") + Msg("  [ ") + former + Msg(" ]") + "\n\n" + Msg("00278") + "\n\n";
    for (int i : positions)
        text += Msg(DataFolders()[size_t(i)].messageId) + " ...... " +
                settings.*DataFolders()[size_t(i)].field + "\n";
    prompt.ask(text, "00073", PromptIcon::Information, PromptButtons::Ok);
}

bool EnforceCncFolder(AppSettings& settings, UserPrompt& prompt, std::vector<FailedSave>* failed) {
    const DataFolder& cnc = DataFolders()[kCncFolderPosition];
    const std::string def = JoinPath(settings.installFolder, cnc.defaultName);
    if (EqualsNoCase(settings.cncFolder, def)) return false;
    if (!Platform::IsDirectory(def)) Platform::CreateFolder(def);
    const bool made = Platform::IsDirectory(def);
    std::string text = Msg("00073") + "\n\n\n" + Msg(cnc.messageId) + "\n\n" + Msg("00257") + Msg("  [ ") +
                       settings.cncFolder + Msg(" ] ...") + "\n\n";
    // Say what really happens: the standard folder is used only when it exists.
    text += made ? Msg("... ") + Msg("00258") + Msg("  [ ") + def + Msg(" ]")
                 : Msg("00280") + Msg("  [ ") + def + Msg(" ]");
    prompt.ask(text, "00073", PromptIcon::Exclamation, PromptButtons::Ok);
    if (!made) return false;
    settings.cncFolder = def;
    if (!IniFile::WriteString(settings.iniPath, "Directories", cnc.iniKey, def) && failed)
        NoteFailedSave(*failed, settings.iniPath);
    return true;
}

std::string FolderProblem(const AppSettings& settings, const std::string& folder,
                          const std::string& defaultName, const std::string& messageId, bool* missing,
                          bool* cannotCreate) {
    if (cannotCreate) *cannotCreate = false;
    bool tried = false;
    if (!Platform::IsDirectory(folder) &&
        EqualsNoCase(folder, JoinPath(settings.installFolder, defaultName))) {
        Platform::CreateFolder(folder);
        tried = true;
    }
    if (missing) *missing = false;
    if (Platform::IsDirectory(folder)) return std::string();
    if (missing) *missing = true;
    if (tried && cannotCreate) {
        // A missing parent (Addins of the import folder) means the folder is simply not there;
        // a parent that exists and refuses new entries means it cannot be made here.
        const std::string parent = SplitPath(folder).folder;
        *cannotCreate = Platform::IsDirectory(parent) && !Platform::FolderWritable(parent);
    }
    return Msg(messageId) + " ...... " + folder + "\n";
}

bool CheckFolders(AppSettings& settings, UserPrompt& prompt) {
    std::string missing;
    std::string uncreatable;
    for (const auto& row : DataFolders()) {
        bool cannotCreate = false;
        const std::string line = FolderProblem(settings, settings.*row.field, row.defaultName, row.messageId,
                                               nullptr, &cannotCreate);
        (cannotCreate ? uncreatable : missing) += line;
    }
    if (missing.empty() && uncreatable.empty()) return true;
    std::string text = Msg("00073") + "\n\n\n";
    if (!missing.empty()) text += Msg("00207") + "\n\n" + missing;
    if (!missing.empty() && !uncreatable.empty()) text += "\n";
    if (!uncreatable.empty()) text += Msg("00270") + "\n\n" + uncreatable;
    prompt.ask(text, "00073", PromptIcon::Information, PromptButtons::Ok);
    return false;
}

bool FoldersPresent(const AppSettings& settings) {
    for (const auto& row : DataFolders())
        if (!Platform::IsDirectory(settings.*row.field)) return false;
    return true;
}

}  // namespace tavrel
