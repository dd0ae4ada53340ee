#include "settings/FolderState.h"

#include <array>

#include "app/AppSettings.h"
#include "platform/Platform.h"

namespace {
std::array<bool, kFolderPositions> g_exists{};
}  // namespace

bool RefreshFolderState(int position, const std::string& path) {
    if (position >= kFolderPositions) return false;
    if (position >= 0) {
        g_exists[size_t(position)] = Platform::IsDirectory(path);
        return g_exists[size_t(position)];
    }
    const AppSettings* s = CurrentSettings();
    if (!s) return false;
    const std::string* folders[] = {&s->dataFolder, &s->jobFolder,  &s->mrFolder,
                                    &s->tempFolder, &s->cncFolder, &s->excelImportFolder};
    bool all = true;
    for (size_t i = 0; i < 6; ++i) {
        g_exists[i] = Platform::IsDirectory(*folders[i]);
        all = all && g_exists[i];
    }
    return all;
}

bool FolderState(int position) {
    if (position < 0 || position >= kFolderPositions) return false;
    return g_exists[size_t(position)];
}
