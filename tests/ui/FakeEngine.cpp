// Stand-ins for the engine library, so the main window's loading can be tested without the real
// optimiser: one with every entry, one without the editor entry.

#include <cstdio>

extern "C" {

__attribute__((visibility("default"))) int CnvDimFromSysUMC(char* out, int, int, int, double value) {
    std::snprintf(out, 32, "%.1f", value);
    return 0;
}

__attribute__((visibility("default"))) int CnvDimToSysUMC(const char*, int, double* out, int) {
    *out = 0;
    return 0;
}

#ifndef WITHOUT_EDITOR
__attribute__((visibility("default"))) int LoadEditor(void*, char*, char*, int* result) {
    *result = 0;
    return 0;
}
#endif
}
