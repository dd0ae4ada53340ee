// INI files (the settings files of the program and of the suite): reads of any bytes, then
// writes and deletions, after which a written value reads back as written.

#include <cstdlib>

#include "FuzzInput.h"
#include "common/IniFile.h"

using namespace tavrel;

namespace {

// The first section and key the file itself names, so the writes hit what is there.
void FirstNames(const std::string& content, std::string& section, std::string& key) {
    const std::size_t open = content.find('[');
    const std::size_t close = open == std::string::npos ? open : content.find(']', open);
    if (close != std::string::npos && close - open < 40) section = content.substr(open + 1, close - open - 1);
    const std::size_t line = close == std::string::npos ? 0 : content.find('\n', close);
    const std::size_t eq = line == std::string::npos ? line : content.find('=', line);
    if (eq != std::string::npos && eq - line < 40) key = content.substr(line + 1, eq - line - 1);
}

bool Printable(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 32 || c == '[' || c == ']' || c == '=' || c == ';') return false;
    return !text.empty() && text.front() != ' ' && text.back() != ' ';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    static const std::string path = FuzzScratchPath("settings.ini");
    WriteScratch(path, in.content);

    std::string section = "OPTIONS", key = "PATH";
    FirstNames(in.content, section, key);
    std::string value;
    IniFile::ReadString(path, section, key, "default", value, 1 + (size > 0 ? data[0] : 0));
    (void)IniFile::Read(path, "Machine", "Name");

    if (IniFile::WriteString(path, section, key, "1234.5") && Printable(section) && Printable(key) &&
        IniFile::Read(path, section, key) != "1234.5")
        std::abort();
    (void)IniFile::WriteString(path, "NEW", "KEY", "x");
    (void)IniFile::DeleteKey(path, section, key);
    (void)IniFile::DeleteSection(path, section);
    (void)IniFile::Read(path, "NEW", "KEY");
    return 0;
}
