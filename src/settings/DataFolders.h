#pragma once
// The six data folders of an installation, described once: which AppSettings field holds each,
// its default name below the installation folder, its key in Tavrel.INI, the message that names
// it for the user and the settings window's controls for it. Start-up, the folder flags, the
// settings window and the settings files all walk this table.

#include <array>
#include <string>

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

// Forces the CNC folder back to installFolder/CNC. True when it was changed.
bool EnforceCncFolder(AppSettings& settings, UserPrompt& prompt);
// Tests (and creates where allowed) the six data folders, reports the missing ones in one box.
bool CheckFolders(AppSettings& settings, UserPrompt& prompt);
// The per-folder step of CheckFolders: empty when the folder exists (after creating it when it
// is at its default place), else one report line.
std::string FolderProblem(const AppSettings& settings, const std::string& folder,
                          const std::string& defaultName, const std::string& messageId,
                          bool* missing = nullptr);
// The six folders exist, tested without creating or telling anything.
bool FoldersPresent(const AppSettings& settings);
