#include "app/Startup.h"

#include "common/IniFile.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "settings/DataFolders.h"
#include "settings/SettingsFiles.h"
#include "suite/KLanguage.h"
#include "suite/SuiteLibrary.h"

namespace tavrel {

StartupResult RunStartup(AppSettings& settings, UserPrompt& prompt, std::unique_ptr<KLanguage>& language,
                         SuiteLibrary& library) {
    StartupResult result;
    SetCurrentSettings(&settings);
    LoadSettings(settings);
    // Before the settings files are rewritten, so they name this installation's folders.
    std::string former;
    const std::vector<int> adopted = AdoptFormerInstallationFolders(settings, former);
    std::vector<FailedSave> failed = SaveDirectories(settings, true);
    language = std::make_unique<KLanguage>(JoinPath(settings.installFolder, "Msg\\Tavrel.msg"));
    SetCurrentCatalogue(language.get());
    language->LoadStrings();
    for (const auto& f : ApplyStartupSuiteValues(settings)) failed.push_back(f);
    // The catalogue is there now, so these boxes can speak.
    ReportAdoptedFolders(settings, adopted, former, prompt);
    result.foldersAdopted = !adopted.empty();
    Platform::SetCurrentFolder(settings.installFolder);
    result.libraryOk = library.load(settings, prompt, false);
    result.cncReset = EnforceCncFolder(settings, prompt, &failed);
    ReportFailedSettingsSaves(failed, prompt);
    result.settingsSaved = failed.empty();
    result.foldersOk = CheckFolders(settings, prompt);
    return result;
}

}  // namespace tavrel
