#pragma once
// The languages the program speaks, described once: the code stored in Tavrel.CFG, the name the
// settings window offers and the message catalogue file in the installation's Msg folder. The
// start-up loads the chosen catalogue; the settings window offers this list.

#include <string>
#include <vector>

namespace tavrel {

struct AppSettings;

struct Language {
    const char* code;       // in [Configuration] Language of Tavrel.CFG
    const char* name;       // in the language itself, so a user finds theirs whatever is shown
    const char* catalogue;  // file name in the Msg folder of the installation
};

// English first: it is the catalogue every other one falls back on.
const std::vector<Language>& Languages();
const Language& EnglishLanguage();
// The language of a stored code, without regard to case; English for an empty or unknown code.
const Language& FindLanguage(const std::string& code);
// Where the installation keeps the catalogue of `language`.
std::string CataloguePath(const AppSettings& settings, const Language& language);
// The catalogue of the language chosen in the settings.
std::string CataloguePath(const AppSettings& settings);

}  // namespace tavrel
