#pragma once
// The commands of tavrel-batch. Each command is one function taking the prepared context and its
// own arguments; it prints what it did and returns the process exit code. A new command is one
// more function and one more row in BatchCommands().

#include <memory>
#include <string>
#include <vector>

namespace tavrel {
struct AppSettings;
}  // namespace tavrel
using tavrel::AppSettings;

// Exit codes shared by every command.
enum BatchExit : int { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

struct BatchContext {
    std::string installFolder;
    // Settings of that installation, units loaded and registered process-wide.
    std::unique_ptr<AppSettings> settings;
};

using BatchCommandFn = int (*)(BatchContext& context, const std::vector<std::string>& args);

struct BatchCommand {
    const char* name;
    const char* usage;    // arguments after the command name
    const char* summary;  // one line for the help text
    BatchCommandFn run;
};

const std::vector<BatchCommand>& BatchCommands();

// The commands.
int RunResave(BatchContext& context, const std::vector<std::string>& args);
int RunOptimise(BatchContext& context, const std::vector<std::string>& args);
int RunWriteInput(BatchContext& context, const std::vector<std::string>& args);
int RunResults(BatchContext& context, const std::vector<std::string>& args);
int RunStartupCommand(BatchContext& context, const std::vector<std::string>& args);
int RunReport(BatchContext& context, const std::vector<std::string>& args);
int RunExport(BatchContext& context, const std::vector<std::string>& args);
int RunLabels(BatchContext& context, const std::vector<std::string>& args);
int RunSheets(BatchContext& context, const std::vector<std::string>& args);

// A job file as given, else in the installation's job folder, made absolute (the commands may
// change the current folder); empty when neither exists.
std::string ResolveJob(const AppSettings& settings, const std::string& given);
