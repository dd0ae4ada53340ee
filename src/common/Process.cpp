#include "common/Process.h"

#include "common/FileUtils.h"
#include "platform/Platform.h"

namespace tavrel {

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false;
    bool have = false;
    for (char c : commandLine) {
        if (c == '"') {
            inQuotes = !inQuotes;
            have = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (have) args.push_back(current);
            current.clear();
            have = false;
        } else {
            current.push_back(c);
            have = true;
        }
    }
    if (have) args.push_back(current);
    return args;
}

bool RunAndWait(const std::string& program, const std::string& commandLine, int* lastError, int* exitCode) {
    if (!PathExists(program)) {
        if (lastError) *lastError = 0;
        if (exitCode) *exitCode = 0;
        return false;
    }
    // As on the platform this came from, the command line's first word is the program's own
    // name (argv[0]); the rest are its arguments.
    auto args = SplitCommandLine(commandLine);
    if (args.empty()) args.push_back(program);
    return Platform::RunProcess(program, args, exitCode, lastError);
}

bool OpenDocument(const std::string& path) {
    if (path.empty()) return false;
    return Platform::OpenWithDesktop(path);
}

int IsOldWindows() { return Platform::OsVersion().empty() ? 0 : -1; }

}  // namespace tavrel
