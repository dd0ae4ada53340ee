#pragma once
// The six data folders of an installation, described once: which AppSettings field holds each,
// its default name below the installation folder, its key in Tavrel.INI, the message that names
// it for the user and the settings window's controls for it. Start-up, the folder flags, the
// settings window and the settings files all walk this table.

#include <array>
#include <string>
#include <vector>

#include "common/FileUtils.h"

namespace tavrel {

struct AppSettings;
class UserPrompt;

struct DataFolder {
    std::string AppSettings::*field;
    const char* defaultName;  // below the installation folder
    const char* iniKey;       // in [Directories] of Tavrel.INI
    const char* messageId;    // the folder's name in messages and in the settings window
    int editId;               // settings window: the folder's edit box
    int browseId;             // settings window: its browse button
};

// Folder positions: 0 data, 1 jobs, 2 results, 3 temporary, 4 CNC, 5 spreadsheet import.
constexpr int kDataFolderCount = 6;
constexpr int kCncFolderPosition = 4;
const std::array<DataFolder, kDataFolderCount>& DataFolders();

// A copied or moved installation still names the old installation's folders in Tavrel.INI. The
// start-up always stores the CNC folder as <installation>/CNC, so a stored CNC folder named CNC
// elsewhere tells where the settings were saved from; when at least one other folder lies in
// that former installation folder as well, every folder inside it (and not inside this
// installation) is moved to the same place inside this one. Folders kept elsewhere stay.
// Returns the positions changed, and the former installation folder in `former`.
std::vector<int> AdoptFormerInstallationFolders(AppSettings& settings, std::string& former);
// The box telling the user which folders were taken over (nothing when none was).
void ReportAdoptedFolders(const AppSettings& settings, const std::vector<int>& positions,
                          const std::string& former, UserPrompt& prompt);

// Forces the CNC folder back to installFolder/CNC. True when it was changed. A failed write of
// Tavrel.INI is added to `failed`.
bool EnforceCncFolder(AppSettings& settings, UserPrompt& prompt, std::vector<FailedSave>* failed = nullptr);
// Tests (and creates where allowed) the six data folders, reports the missing ones in one box:
// those that do not exist, and apart from them those that cannot be created.
bool CheckFolders(AppSettings& settings, UserPrompt& prompt);
// The per-folder step of CheckFolders: empty when the folder exists (after creating it when it
// is at its default place), else one report line. `cannotCreate` is set when the folder was to
// be created and its parent folder cannot be written.
std::string FolderProblem(const AppSettings& settings, const std::string& folder,
                          const std::string& defaultName, const std::string& messageId,
                          bool* missing = nullptr, bool* cannotCreate = nullptr);
// The six folders exist, tested without creating or telling anything.
bool FoldersPresent(const AppSettings& settings);

}  // namespace tavrel
