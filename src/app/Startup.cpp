#include "app/Startup.h"

#include "common/IniFile.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "settings/DataFolders.h"
#include "settings/Languages.h"
#include "settings/SettingsFiles.h"
#include "suite/KLanguage.h"
#include "suite/SuiteLibrary.h"

namespace tavrel {

bool LoadChosenCatalogue(const AppSettings& settings, std::unique_ptr<KLanguage>& language) {
    const Language& chosen = FindLanguage(settings.language);
    const bool english = &chosen == &EnglishLanguage();
    language = std::make_unique<KLanguage>(CataloguePath(settings, chosen));
    // A translation leans on the English catalogue for the texts added since it was made.
    if (!english) language->SetFallback(CataloguePath(settings, EnglishLanguage()));
    SetCurrentCatalogue(language.get());
    return language->LoadStrings() == 0 && !english;
}

StartupResult RunStartup(AppSettings& settings, UserPrompt& prompt, std::unique_ptr<KLanguage>& language,
                         SuiteLibrary& library) {
    StartupResult result;
    SetCurrentSettings(&settings);
    LoadSettings(settings);
    // Before the settings files are rewritten, so they name this installation's folders.
    std::string former;
    const std::vector<int> adopted = AdoptFormerInstallationFolders(settings, former);
    std::vector<FailedSave> failed = SaveDirectories(settings, true);
    result.catalogueFallback = LoadChosenCatalogue(settings, language);
    for (const auto& f : ApplyStartupSuiteValues(settings)) failed.push_back(f);
    // The catalogue is there now, so these boxes can speak.
    if (result.catalogueFallback) Warn(prompt, "00392", "\n\n" + language->path());
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
