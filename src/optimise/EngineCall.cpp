#include "optimise/EngineCall.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "common/PathUtils.h"
#include "common/Process.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"

namespace tavrel {

namespace {

constexpr size_t kPathBuffer = 512;
constexpr size_t kParamBuffer = 1024;

void WaitOnOldSystems() {
    if (IsOldWindows() != -1) std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

void Fill(char* buffer, size_t size, const std::string& text) {
    std::memset(buffer, 0, size);
    std::memcpy(buffer, text.data(), text.size() < size - 1 ? text.size() : size - 1);
}

}  // namespace

OptimiseCallResult RunOptimiseCall(LoadEditorFn entry, const AppSettings& settings,
                                   const std::string& inputPath, void* parentWindow) {
    if (!entry) return {};
    Platform::SetCurrentFolder(settings.installFolder);
    WaitOnOldSystems();
    char path[kPathBuffer];
    char params[kParamBuffer];
    Fill(path, sizeof path, inputPath);
    Fill(params, sizeof params, " /OPT " + settings.editorParameters);
    int status = 0;
    entry(parentWindow, path, params, &status);
    path[kPathBuffer - 1] = 0;  // whatever the library left, the text ends inside the buffer
    return OptimiseCallResult{std::string(path), EngineStatusOf(status)};
}

void RunMachineFileCall(LoadEditorFn entry, const AppSettings& settings, const std::string& resultPath,
                        void* parentWindow) {
    if (!entry || resultPath.empty()) return;
    WaitOnOldSystems();
    char path[kPathBuffer];
    char params[kParamBuffer];
    Fill(path, sizeof path, resultPath);
    Fill(params, sizeof params, settings.editorParameters);
    int status = 0;
    entry(parentWindow, path, params, &status);
}

std::string MachineFileExtension(const std::string& resultPath) {
    const std::string name = SplitPath(resultPath).fileName;
    auto dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 >= name.size()) return "R01";
    return name.substr(dot + 1);
}

}  // namespace tavrel
