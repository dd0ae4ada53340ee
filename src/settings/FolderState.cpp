#include "settings/FolderState.h"

#include <array>

#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "settings/DataFolders.h"

namespace tavrel {

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
    bool all = true;
    for (size_t i = 0; i < DataFolders().size(); ++i) {
        g_exists[i] = Platform::IsDirectory(s->*DataFolders()[i].field);
        all = all && g_exists[i];
    }
    return all;
}

bool FolderState(int position) {
    if (position < 0 || position >= kFolderPositions) return false;
    return g_exists[size_t(position)];
}

}  // namespace tavrel
