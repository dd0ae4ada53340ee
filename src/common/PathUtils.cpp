#include "common/PathUtils.h"

#include <cctype>

#include "platform/Platform.h"

namespace tavrel {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

PathParts SplitPath(const std::string& path) {
    PathParts parts;
    if (path.empty()) return parts;
    size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) {
        parts.fileName = path;
    } else {
        parts.fileName = path.substr(cut + 1);
        if (cut != 0) {
            parts.folder = path.substr(0, cut);
            if (path.size() > 1 && path[1] == ':') parts.drive = path.substr(0, 1);
        }
    }
    const std::string& name = parts.fileName;
    size_t dot = name.find('.');
    if (dot == std::string::npos) {
        parts.baseName = name;
    } else if (dot > 0) {
        parts.baseName = name.substr(0, dot);
        parts.extension = name.substr(dot + 1);
    }
    return parts;
}

bool HasExtension(const std::string& path, const std::string& extension) {
    if (path.empty()) return false;
    const std::string ext = SplitPath(path).extension;
    if (ext.size() != extension.size()) return false;
    for (size_t i = 0; i < ext.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(ext[i])) !=
            std::tolower(static_cast<unsigned char>(extension[i])))
            return false;
    return true;
}

std::string NativePath(const std::string& path) {
    std::string out = path;
    const char sep = Platform::Separator();
    for (char& c : out)
        if (IsSeparator(c)) c = sep;
    return out;
}

std::string JoinPath(const std::string& a, const std::string& b) {
    if (a.empty()) return NativePath(b);
    return NativePath(a + Platform::Separator() + b);
}

}  // namespace tavrel
