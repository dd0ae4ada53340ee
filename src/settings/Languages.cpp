#include "settings/Languages.h"

#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "settings/AppSettings.h"

namespace tavrel {

const std::vector<Language>& Languages() {
    static const std::vector<Language> languages = {
        {"en", "English", "Tavrel.msg"},
        {"it", "Italiano", "Tavrel.it.msg"},
    };
    return languages;
}

const Language& EnglishLanguage() { return Languages().front(); }

const Language& FindLanguage(const std::string& code) {
    const std::string wanted = Trim(code);
    for (const Language& language : Languages())
        if (EqualsNoCase(wanted, language.code)) return language;
    return EnglishLanguage();
}

std::string CataloguePath(const AppSettings& settings, const Language& language) {
    return JoinPath(settings.installFolder, std::string("Msg\\") + language.catalogue);
}

std::string CataloguePath(const AppSettings& settings) {
    return CataloguePath(settings, FindLanguage(settings.language));
}

}  // namespace tavrel
