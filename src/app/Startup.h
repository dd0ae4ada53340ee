#pragma once
// The start-up sequence that the main window (and the batch tool) runs before showing anything:
// settings, settings files, message catalogue, suite values, engine library, folders.

#include <memory>
#include <string>

struct AppSettings;
class KLanguage;
class SuiteLibrary;
class UserPrompt;

struct StartupResult {
    bool foldersOk = false;   // false: the settings button shows the missing-folder icon
    bool libraryOk = false;
    bool cncReset = false;    // the configured CNC folder was moved back to its default
};

// Runs every non-window start-up step. `language` receives the catalogue, which is also
// registered process-wide; the caller keeps it alive for the run.
StartupResult RunStartup(AppSettings& settings, UserPrompt& prompt, std::unique_ptr<KLanguage>& language,
                         SuiteLibrary& library);

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
