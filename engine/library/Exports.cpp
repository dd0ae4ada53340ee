// The C entry points of libZORUDIR.so, as the program resolves them by name.

#include "library/EditorCalls.h"
#include "library/UnitText.h"
#ifdef ZORUDIR_WITH_WINDOWS
#include "viewer/Windows.h"
#endif

#include <cstring>
#include <string>

#define ZORUDIR_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr size_t kPathBuffer = 512;
constexpr size_t kParamBuffer = 1024;
constexpr size_t kTextBuffer = 64;  // what CnvDimFromSysUMC writes at most, terminator included

// A zero-terminated text from a caller's buffer that may lack the terminator.
std::string FromBuffer(const char* buffer, size_t size) {
    if (!buffer) {
        return {};
    }
    const void* end = std::memchr(buffer, 0, size);
    return std::string(buffer, end ? static_cast<const char*>(end) - buffer : size);
}

void ToBuffer(char* buffer, size_t size, const std::string& text) {
    std::memset(buffer, 0, size);
    if (text.size() < size) {
        std::memcpy(buffer, text.data(), text.size());
    }
}

}  // namespace

// parentWindow: the caller's window (a QWidget* of the program), or null for no window at all.
// path: in, the engine input file (" /OPT ") or a result file; out, after " /OPT ", the result
// file or "" for none.
ZORUDIR_EXPORT int LoadEditor(void* parentWindow, char* path, char* params, int* result) {
    if (!path) {
        return 0;
    }
    const std::string file = FromBuffer(path, kPathBuffer);
    const EditorOptions options = ParseEditorOptions(FromBuffer(params, kParamBuffer));
    EditorStatus status = EditorStatus::Ok;
    if (options.optimise) {
        std::string resultPath;
#ifdef ZORUDIR_WITH_WINDOWS
        if (parentWindow) {
            resultPath = RunOptimiseWithProgress(parentWindow, file, options, status);
        } else
#endif
        {
            resultPath = RunOptimise(file, options, status);
        }
        if (resultPath.size() >= kPathBuffer) {
            resultPath.clear();
            status = EditorStatus::CannotWrite;
        }
        ToBuffer(path, kPathBuffer, resultPath);
    } else {
        WriteMachineFile(file, status);
#ifdef ZORUDIR_WITH_WINDOWS
        if (parentWindow) {
            ShowLayoutViewer(parentWindow, file);
        }
#endif
    }
    (void)parentWindow;
    if (result) {
        *result = static_cast<int>(status);
    }
    return status == EditorStatus::Ok ? 1 : 0;
}

// Writes the text of a system length (millimetres) in the unit of CONFIG.INI section
// "UM<sectionNumber>". `out` must hold 64 bytes. The two constant arguments are not used.
ZORUDIR_EXPORT int CnvDimFromSysUMC(char* out, int a, int sectionNumber, int b, double value) {
    (void)a;
    (void)b;
    if (!out) {
        return 0;
    }
    ToBuffer(out, kTextBuffer, LengthText(value, sectionNumber));
    return 1;
}

// Reads a length text in the unit of section "UM<sectionNumber>" into millimetres.
ZORUDIR_EXPORT int CnvDimToSysUMC(const char* text, int sectionNumber, double* out, int reserved) {
    (void)reserved;
    if (!text || !out) {
        return 0;
    }
    return LengthValue(FromBuffer(text, 256), sectionNumber, *out) ? 1 : 0;
}
