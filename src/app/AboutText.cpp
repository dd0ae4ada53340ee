#include "app/AboutText.h"

#include "common/DateTime.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"

namespace tavrel {

std::string CleanProductVersion(const std::string& version) {
    std::string v = version;
    RemoveChars(v, " ");
    ReplaceChars(v, ",", '.');
    size_t dot = v.rfind('.');
    if (dot != std::string::npos) v.erase(dot);
    dot = v.rfind('.');
    if (dot != std::string::npos) v[dot] = '/';
    return v;
}

std::string VersionLine(const VersionInfo& info) {
    return info.productName + " v. " + CleanProductVersion(info.productVersion) + " (Build " +
           info.privateBuild + ") " + DateText(info.comments);
}

std::string ServicePackLine(const std::string& installFolder) {
    std::string line = " " + Msg("00245") + ":   ";
    std::string pack;
    if (ReadServicePackLine(JoinPath(installFolder, "SvPack.INI"), pack)) line += pack;
    return line;
}

}  // namespace tavrel
