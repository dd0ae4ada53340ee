#include "common/IniFile.h"

#include <vector>

#include "common/FileUtils.h"
#include "common/TextUtils.h"

namespace tavrel {

namespace IniFile {
namespace {

// The section name of a header line, or false when the line is no header.
bool SectionOf(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    auto close = t.find(']');
    if (close == std::string::npos) return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

bool KeyOf(const std::string& line, std::string& key, std::string& value) {
    std::string t = Trim(line);
    if (t.empty() || t.front() == ';') return false;
    auto eq = t.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    // Matching quotes around a value are not part of it.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return !key.empty();
}

struct Located {
    int header = -1;    // line of the section header
    int end = -1;       // first line after the section
    int keyLine = -1;   // line of the key inside it
    int lastUsed = -1;  // last non-blank line of the section
};

Located Locate(const std::vector<std::string>& lines, const std::string& section, const std::string& key) {
    Located at;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        std::string name;
        if (SectionOf(lines[i], name)) {
            if (at.header >= 0) {
                at.end = i;
                return at;
            }
            if (EqualsNoCase(name, section)) at.header = at.lastUsed = i;
            continue;
        }
        if (at.header < 0) continue;
        if (!Trim(lines[i]).empty()) at.lastUsed = i;
        std::string k, v;
        if (at.keyLine < 0 && !key.empty() && KeyOf(lines[i], k, v) && EqualsNoCase(k, key)) at.keyLine = i;
    }
    if (at.header >= 0) at.end = static_cast<int>(lines.size());
    return at;
}

bool Save(const std::string& path, const std::vector<std::string>& lines) {
    std::string content;
    for (const auto& l : lines) {
        content += l;
        content += '\n';
    }
    return WriteFileAtomically(path, content);
}

std::string Cut(const std::string& value, int bufferSize) {
    if (bufferSize <= 0) return std::string();
    if (static_cast<int>(value.size()) > bufferSize - 1) return value.substr(0, size_t(bufferSize - 1));
    return value;
}

}  // namespace

int ReadString(const std::string& path, const std::string& section, const std::string& key,
               const std::string& def, std::string& value, int bufferSize) {
    value = Cut(def, bufferSize);
    std::string content;
    if (!ReadWholeFile(path, content)) return static_cast<int>(value.size());
    const auto lines = SplitLines(content);
    Located at = Locate(lines, section, key);
    if (at.keyLine >= 0) {
        std::string k, v;
        KeyOf(lines[size_t(at.keyLine)], k, v);
        value = Cut(v, bufferSize);
    }
    return static_cast<int>(value.size());
}

std::string Read(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& def, int bufferSize) {
    std::string value;
    ReadString(path, section, key, def, value, bufferSize);
    return value;
}

bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value) {
    if (section.empty() || key.empty()) return false;
    // A value holding a line break would add lines of its own to the file.
    if (value.find_first_of("\r\n") != std::string::npos) return false;
    // A missing file is an empty one: the write creates it.
    std::string content;
    if (!ReadWholeFile(path, content)) content.clear();
    auto lines = SplitLines(content);
    Located at = Locate(lines, section, key);
    const std::string line = key + "=" + value;
    if (at.keyLine >= 0) {
        // The key keeps the spelling it already had in the file.
        std::string oldKey, oldValue;
        KeyOf(lines[size_t(at.keyLine)], oldKey, oldValue);
        lines[size_t(at.keyLine)] = oldKey + "=" + value;
    } else if (at.header >= 0) {
        lines.insert(lines.begin() + at.lastUsed + 1, line);
    } else {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back("");
        lines.push_back("[" + section + "]");
        lines.push_back(line);
    }
    return Save(path, lines);
}

bool DeleteSection(const std::string& path, const std::string& section) {
    std::string content;
    if (!ReadWholeFile(path, content)) return true;
    auto lines = SplitLines(content);
    Located at = Locate(lines, section, "");
    if (at.header < 0) return true;
    lines.erase(lines.begin() + at.header, lines.begin() + at.end);
    return Save(path, lines);
}

bool DeleteKey(const std::string& path, const std::string& section, const std::string& key) {
    std::string content;
    if (!ReadWholeFile(path, content)) return true;
    auto lines = SplitLines(content);
    Located at = Locate(lines, section, key);
    if (at.keyLine < 0) return true;
    lines.erase(lines.begin() + at.keyLine);
    return Save(path, lines);
}

}  // namespace IniFile

}  // namespace tavrel
