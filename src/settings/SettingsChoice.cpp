#include "settings/SettingsChoice.h"

#include "common/TextUtils.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"

SettingsChoice CurrentChoice(const AppSettings& settings) {
    SettingsChoice choice;
    for (size_t i = 0; i < DataFolders().size(); ++i) choice.folders[i] = settings.*DataFolders()[i].field;
    choice.unit = settings.selectedUnit == 1 ? 1 : 0;
    for (size_t unit = 0; unit < 2; ++unit) {
        choice.decimals[unit] = std::to_string(settings.units[unit].decimals);
        choice.initialDecimals[unit] = choice.decimals[unit];
    }
    return choice;
}

void ApplySettingsChoice(AppSettings& settings, SettingsChoice& choice, UserPrompt& prompt) {
    for (size_t i = 0; i < DataFolders().size(); ++i) settings.*DataFolders()[i].field = choice.folders[i];
    SaveDirectories(settings, false, &prompt);

    const int chosen = choice.unit == 1 ? 1 : 0;
    if (chosen == settings.selectedUnit && choice.decimals == choice.initialDecimals) return;
    std::string& text = choice.decimals[size_t(chosen)];
    text = Trim(text);
    if (text.empty()) text = "0";
    const int previous = settings.selectedUnit;
    if (!SaveUnitChoice(settings, chosen, int(ToLong(text)))) {
        // Offer only the unit in use next time: the files still say it is the one.
        settings.units[size_t(chosen)].found = 0;
        if (previous == 0 || previous == 1) settings.units[size_t(previous)].found = 1;
    }
    choice.initialDecimals = choice.decimals;
}
