#include "app/Startup.h"

#include "settings/AppSettings.h"
#include "common/IniFile.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "platform/Platform.h"
#include "settings/DataFolders.h"
#include "settings/SettingsFiles.h"
#include "suite/KLanguage.h"
#include "suite/SuiteLibrary.h"

StartupResult RunStartup(AppSettings& settings, UserPrompt& prompt, std::unique_ptr<KLanguage>& language,
                         SuiteLibrary& library) {
    StartupResult result;
    SetCurrentSettings(&settings);
    LoadSettings(settings);
    SaveDirectories(settings, true);
    language = std::make_unique<KLanguage>(JoinPath(settings.installFolder, "Msg\\Tavrel.msg"));
    SetCurrentCatalogue(language.get());
    language->LoadStrings();
    ApplyStartupSuiteValues(settings);
    Platform::SetCurrentFolder(settings.installFolder);
    result.libraryOk = library.Load(settings, prompt, false);
    result.cncReset = EnforceCncFolder(settings, prompt);
    result.foldersOk = CheckFolders(settings, prompt);
    return result;
}
