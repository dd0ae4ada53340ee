#include "suite/SuiteLibrary.h"

#include <dlfcn.h>

#include "common/PathUtils.h"
#include "common/UserPrompt.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"

namespace tavrel {

const char* const kSuiteLibraryName = "libZORUDIR.so";

SuiteLibrary::~SuiteLibrary() { release(); }

SuiteLibrary& SuiteLibrary::instance() {
    static SuiteLibrary library;
    return library;
}

void SuiteLibrary::release() {
    if (cnvDimFromSys_ && GetCnvDimFromSys() == cnvDimFromSys_) SetCnvDimFromSys(nullptr);
    cnvDimFromSys_ = nullptr;
    cnvDimToSys_ = nullptr;
    loadEditor_ = nullptr;
    if (handle_) ::dlclose(handle_);
    handle_ = nullptr;
    pending_ = true;
}

bool SuiteLibrary::load(const AppSettings& settings, UserPrompt& prompt, bool force,
                        LoadEditorFn* loadEditor) {
    if (loadEditor) *loadEditor = nullptr;
    if (pending_ || force) {
        release();
        // Only the installation's own copy is wanted, never one found on the search path.
        const std::string path = JoinPath(settings.installFolder, kSuiteLibraryName);
        if (Platform::IsFile(path)) handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        pending_ = false;
    }
    const std::string saved = Platform::CurrentFolder();
    Platform::SetCurrentFolder(settings.installFolder);
    if (!handle_) {
        prompt.ask(Msg("00117") + " '" + kSuiteLibraryName + "'", "00073", PromptIcon::Exclamation,
                   PromptButtons::Ok);
        Platform::SetCurrentFolder(saved);
        return false;
    }
    bool all = true;
    auto resolve = [&](const char* name) {
        void* symbol = ::dlsym(handle_, name);
        if (!symbol) {
            prompt.ask(Msg("00115") + " '" + name + "' " + Msg("00116"), "00073", PromptIcon::Exclamation,
                       PromptButtons::Ok);
            all = false;
        }
        return symbol;
    };
    cnvDimFromSys_ = reinterpret_cast<CnvDimFromSysFn>(resolve("CnvDimFromSysUMC"));
    cnvDimToSys_ = reinterpret_cast<CnvDimToSysFn>(resolve("CnvDimToSysUMC"));
    loadEditor_ = reinterpret_cast<LoadEditorFn>(resolve("LoadEditor"));
    if (loadEditor) *loadEditor = loadEditor_;
    SetCnvDimFromSys(cnvDimFromSys_);
    Platform::SetCurrentFolder(saved);
    return all;
}

}  // namespace tavrel
