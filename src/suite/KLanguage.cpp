#include "suite/KLanguage.h"

#include <cctype>

#include "common/FileUtils.h"
#include "common/TextUtils.h"

namespace tavrel {

KLanguage::KLanguage(std::string path) : path_(std::move(path)) {}

bool KLanguage::IsMessageId(const std::string& text) {
    if (text.size() != 5) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

int KLanguage::LoadStrings() {
    texts_.clear();
    const int own = Read(path_);
    if (!fallbackPath_.empty()) Read(fallbackPath_);
    return own;
}

int KLanguage::Read(const std::string& path) {
    std::string content;
    if (!ReadWholeFile(path, content)) return 0;
    // An editor on a Windows station may put a byte order mark before the first ID.
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
    int count = 0;
    for (const auto& line : SplitLines(content)) {
        if (line.empty() || line[0] == '#') continue;
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string id = Trim(line.substr(0, eq));
        if (!IsMessageId(id)) continue;
        std::string text;
        const std::string raw = line.substr(eq + 1);
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == 'n') {
                text.push_back('\n');
                ++i;
            } else if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == '\\') {
                text.push_back('\\');
                ++i;
            } else {
                text.push_back(raw[i]);
            }
        }
        // A translation saved in Windows-1252 shows its accents like a UTF-8 one: the texts
        // only ever go to the screen.
        if (texts_.emplace(std::move(id), DisplayText(text)).second) ++count;  // first definition wins
    }
    return count;
}

std::string KLanguage::Message(const std::string& id) const {
    auto it = texts_.find(id);
    return it == texts_.end() ? id : it->second;
}

}  // namespace tavrel
