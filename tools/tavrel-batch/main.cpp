// tavrel-batch: the program's catalogue and job operations without windows, for automation and
// end-to-end tests. Usage: tavrel-batch --install DIR COMMAND [ARGS...]

#include <cstdio>
#include <string>
#include <vector>

#include "BatchCommand.h"
#include "common/FileUtils.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"

using namespace tavrel;

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: tavrel-batch --install DIR COMMAND [ARGS...]\n\ncommands:\n");
    for (const BatchCommand& command : BatchCommands())
        std::fprintf(out, "  %s %s\n      %s\n", command.name, command.usage, command.summary);
}

const BatchCommand* FindCommand(const std::string& name) {
    for (const BatchCommand& command : BatchCommands())
        if (name == command.name) return &command;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    BatchContext context;
    std::size_t next = 0;
    while (next < args.size() && args[next].rfind("--", 0) == 0) {
        if (args[next] == "--help") {
            PrintUsage(stdout);
            return ExitOk;
        }
        if (args[next] == "--install" && next + 1 < args.size()) {
            // Made absolute at once: the start-up changes the current folder and stores the
            // installation's folders in Tavrel.INI, where a relative path would mislead later.
            context.installFolder = AbsolutePath(args[next + 1]);
            next += 2;
            continue;
        }
        std::fprintf(stderr, "tavrel-batch: unknown or incomplete option %s\n", args[next].c_str());
        PrintUsage(stderr);
        return ExitUsage;
    }
    if (next >= args.size()) {
        PrintUsage(stderr);
        return ExitUsage;
    }
    const BatchCommand* command = FindCommand(args[next]);
    if (!command) {
        std::fprintf(stderr, "tavrel-batch: unknown command %s\n", args[next].c_str());
        PrintUsage(stderr);
        return ExitUsage;
    }
    if (context.installFolder.empty()) {
        std::fprintf(stderr,
                     "tavrel-batch: --install DIR is required (the installation whose "
                     "settings and units apply)\n");
        return ExitUsage;
    }
    if (!FolderExists(context.installFolder)) {
        std::fprintf(stderr, "tavrel-batch: installation folder %s does not exist\n",
                     context.installFolder.c_str());
        return ExitFailed;
    }
    // Settings are only read here: a batch run never rewrites the installation's settings files.
    context.settings = std::make_unique<AppSettings>(context.installFolder);
    LoadSettings(*context.settings);
    SetCurrentSettings(context.settings.get());

    const int result =
        command->run(context, std::vector<std::string>(args.begin() + long(next) + 1, args.end()));
    SetCurrentSettings(nullptr);
    return result;
}
