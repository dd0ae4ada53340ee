#pragma once
// What the user confirmed in the settings window, and the one function that stores it: the
// window only collects the texts of its boxes, so the same rules run under tests.

#include <array>
#include <string>

#include "settings/DataFolders.h"

namespace tavrel {

struct AppSettings;
class UserPrompt;

struct SettingsChoice {
    std::array<std::string, kDataFolderCount> folders;  // in folder position order
    int unit = 0;                                       // 0 millimetres, 1 inches
    std::array<std::string, 2> decimals;                // as typed, per unit
    std::array<std::string, 2> initialDecimals;         // as shown when the window opened
    std::string language;                               // code (Languages.h); empty keeps it
    std::string labelSheet;                             // key of the label sheet (LabelSheets.h)
};

// The choice as the settings hold it now.
SettingsChoice CurrentChoice(const AppSettings& settings);

// Stores the folders and the language (the folder check may prompt) and the label sheet when it
// changed, then the unit and its decimals when any of them changed. A new language is used from
// the next start, and the user is told so, or told that its catalogue is not installed. An empty
// decimals box of the chosen unit counts as "0" and is written back into `choice`. Every file
// that cannot be written is reported by name; the folders then apply until the program closes,
// and when the unit files cannot be written only the unit still in use stays offered. True when
// everything was saved.
bool ApplySettingsChoice(AppSettings& settings, SettingsChoice& choice, UserPrompt& prompt);

}  // namespace tavrel
