#pragma once
// Path splitting and joining. Splitting accepts both "\" and "/" so paths written on either
// platform work; joining always uses this platform's separator.

#include <string>

namespace tavrel {

struct PathParts {
    std::string folder;
    std::string fileName;
    std::string drive;
    std::string baseName;
    std::string extension;
};

// Splits at the last separator; base name and extension split at the FIRST "." of the name.
PathParts SplitPath(const std::string& path);
bool HasExtension(const std::string& path, const std::string& extension);
// a + separator + b (b may itself hold "\" parts, which become separators).
std::string JoinPath(const std::string& a, const std::string& b);
// Turns every "\" into the platform separator.
std::string NativePath(const std::string& path);
bool IsSeparator(char c);

}  // namespace tavrel
