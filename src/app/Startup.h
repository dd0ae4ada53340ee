#pragma once
// The start-up sequence that the main window (and the batch tool) runs before showing anything:
// settings, settings files, message catalogue, suite values, engine library, folders.

#include <memory>
#include <string>

#include "settings/DataFolders.h"

namespace tavrel {

struct AppSettings;
class KLanguage;
class SuiteLibrary;
class UserPrompt;

struct StartupResult {
    bool foldersOk = false;  // false: the settings button shows the missing-folder icon
    bool libraryOk = false;
    bool cncReset = false;           // the configured CNC folder was moved back to its default
    bool foldersAdopted = false;     // folders of a former installation folder were replaced by ours
    bool settingsSaved = false;      // every settings file that needed writing was written
    bool catalogueFallback = false;  // the chosen language's catalogue was unreadable: English
};

// Creates, registers and loads the catalogue of the language chosen in the settings, with the
// English one beneath it for any ID a translation lacks. True when the chosen catalogue could not
// be read at all, so the texts are English (the caller tells the user, see message 00392).
bool LoadChosenCatalogue(const AppSettings& settings, std::unique_ptr<KLanguage>& language);

// Runs every non-window start-up step. `language` receives the catalogue, which is also
// registered process-wide; the caller keeps it alive for the run.
StartupResult RunStartup(AppSettings& settings, UserPrompt& prompt, std::unique_ptr<KLanguage>& language,
                         SuiteLibrary& library);

}  // namespace tavrel
