#pragma once
// The engine library of the suite (libZORUDIR.so beside the executable), loaded at run time.
// Its absence is never fatal: the user is told once and everything else keeps working.

#include <string>

#include "settings/Units.h"

namespace tavrel {

struct AppSettings;
class UserPrompt;

// Engine entry: parent window (nullptr for none), path buffer (512), parameter buffer (1024),
// result code.
using LoadEditorFn = int (*)(void* parentWindow, char* path, char* params, int* result);
using CnvDimToSysFn = int (*)(const char* text, int sectionNumber, double* out, int reserved);

extern const char* const kSuiteLibraryName;

class SuiteLibrary {
public:
    ~SuiteLibrary();
    // Loads the library when a load is pending or `force` is set, then resolves the entries,
    // telling the user about anything missing. True when every entry is there.
    bool load(const AppSettings& settings, UserPrompt& prompt, bool force,
              LoadEditorFn* loadEditor = nullptr);
    // Unloads the library; the next load() loads it again.
    void release();
    bool loaded() const { return handle_ != nullptr; }
    LoadEditorFn loadEditor() const { return loadEditor_; }
    CnvDimFromSysFn cnvDimFromSys() const { return cnvDimFromSys_; }
    CnvDimToSysFn cnvDimToSys() const { return cnvDimToSys_; }

    // The one library of the process.
    static SuiteLibrary& instance();

private:
    void* handle_ = nullptr;
    bool pending_ = true;
    CnvDimFromSysFn cnvDimFromSys_ = nullptr;
    CnvDimToSysFn cnvDimToSys_ = nullptr;
    LoadEditorFn loadEditor_ = nullptr;
};

}  // namespace tavrel
