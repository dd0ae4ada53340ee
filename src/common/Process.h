#pragma once
#include <string>
#include <vector>

namespace tavrel {

// Starts `program` with `commandLine` (split into arguments the way a command line is: blanks
// separate, double quotes group) and waits for it without a time limit. True when the child ran
// and ended; its exit code does not decide the result.
bool RunAndWait(const std::string& program, const std::string& commandLine, int* lastError = nullptr,
                int* exitCode = nullptr);
// Splits a command line into arguments.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
// Asks the desktop to open a file or address; nothing for an empty path.
bool OpenDocument(const std::string& path);
// 1 on very old systems, -1 on later ones, 0 when unknown. Never 1 here.
int IsOldWindows();

}  // namespace tavrel
