#pragma once
// Private-profile style settings files, as the suite's companion programs read and write them:
// section and key names match without regard to letter case, a missing file, section or key
// gives the caller's default, a value is cut to the buffer size minus one, a write creates the
// file, the section and the key as needed, and ";" starts a comment line. Every write rewrites
// the file through a temporary file, so a failed write never leaves half a settings file.

#include <string>

namespace tavrel {

namespace IniFile {

// Reads one value. Returns the number of characters placed in `value` (after cutting it to
// bufferSize - 1). A missing file, section or key gives `def` (also cut).
int ReadString(const std::string& path, const std::string& section, const std::string& key,
               const std::string& def, std::string& value, int bufferSize = 1024);

// Convenience form of ReadString that returns the value itself.
std::string Read(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& def = "", int bufferSize = 1024);

// Writes one value, creating what is missing. Returns false when the file cannot be written.
bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value);

// Removes a whole section. Returns false when the file exists but cannot be rewritten.
bool DeleteSection(const std::string& path, const std::string& section);

// Removes one key. Returns false when the file exists but cannot be rewritten.
bool DeleteKey(const std::string& path, const std::string& section, const std::string& key);

}  // namespace IniFile

}  // namespace tavrel
