#include "settings/SettingsChoice.h"

#include "common/FileUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "settings/LabelSheets.h"
#include "settings/Languages.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"

namespace tavrel {

SettingsChoice CurrentChoice(const AppSettings& settings) {
    SettingsChoice choice;
    for (size_t i = 0; i < DataFolders().size(); ++i) choice.folders[i] = settings.*DataFolders()[i].field;
    choice.unit = settings.selectedUnit == 1 ? 1 : 0;
    for (size_t unit = 0; unit < 2; ++unit) {
        choice.decimals[unit] = std::to_string(settings.units[unit].decimals);
        choice.initialDecimals[unit] = choice.decimals[unit];
    }
    choice.language = FindLanguage(settings.language).code;
    choice.labelSheet = ChosenLabelSheet(settings).key;
    return choice;
}

namespace {

// The unit change copies CONFIG.INI and BRENIX.INI to backups beside them and edits both in
// place; this names what stood in the way when it failed.
std::vector<FailedSave> UnitFilesInTheWay(const AppSettings& settings) {
    std::vector<FailedSave> failed;
    for (const std::string* path : {&settings.configIniPath, &settings.suiteIniPath}) {
        SaveProblem problem = Platform::IsFile(*path) ? ProbeSave(*path) : SaveProblem::Missing;
        if (problem == SaveProblem::None) problem = ProbeSave(*path + "_SAV");
        if (problem != SaveProblem::None) failed.push_back({*path, problem});
    }
    if (failed.empty())
        for (const std::string* path : {&settings.configIniPath, &settings.suiteIniPath})
            failed.push_back({*path, SaveProblem::Failed});
    return failed;
}

// The catalogue is read once, at start, and every open window holds its texts already: the new
// language waits for the next start. A catalogue that is not there would leave it in English.
void TellLanguageChange(const AppSettings& settings, UserPrompt& prompt) {
    const std::string path = CataloguePath(settings);
    if (Platform::IsFile(path))
        prompt.tell(Msg("00391"));
    else
        Warn(prompt, "00393", "\n\n" + path);
}

}  // namespace

bool ApplySettingsChoice(AppSettings& settings, SettingsChoice& choice, UserPrompt& prompt) {
    for (size_t i = 0; i < DataFolders().size(); ++i) settings.*DataFolders()[i].field = choice.folders[i];
    const std::string language =
        choice.language.empty() ? settings.language : FindLanguage(choice.language).code;
    const bool languageChanged = language != FindLanguage(settings.language).code;
    settings.language = language;
    std::vector<FailedSave> failed = SaveDirectories(settings, true);
    // Tavrel.OPT is written only for a change: an installation that never chose a sheet keeps
    // the file as it was (or without one).
    const LabelSheet* sheet = FindLabelSheet(choice.labelSheet);
    if (sheet && sheet != &ChosenLabelSheet(settings) && !WriteLabelSheet(settings, *sheet))
        NoteFailedSave(failed, settings.optPath);
    ReportFailedSettingsSaves(failed, prompt);
    CheckFolders(settings, prompt);
    bool saved = failed.empty();
    // Unsaved, the choice is gone at the next start; the box above has said so already.
    if (languageChanged && saved) TellLanguageChange(settings, prompt);

    const int chosen = choice.unit == 1 ? 1 : 0;
    if (chosen == settings.selectedUnit && choice.decimals == choice.initialDecimals) return saved;
    std::string& text = choice.decimals[size_t(chosen)];
    text = Trim(text);
    if (text.empty()) text = "0";
    const int previous = settings.selectedUnit;
    if (!SaveUnitChoice(settings, chosen, int(ToLong(text)))) {
        // Offer only the unit in use next time: the files still say it is the one.
        settings.units[size_t(chosen)].found = 0;
        if (previous == 0 || previous == 1) settings.units[size_t(previous)].found = 1;
        prompt.ask(Msg("00276") + "\n\n" + FailedSavesText(UnitFilesInTheWay(settings)), "00073",
                   PromptIcon::Exclamation, PromptButtons::Ok);
        saved = false;
    }
    choice.initialDecimals = choice.decimals;
    return saved;
}

}  // namespace tavrel
