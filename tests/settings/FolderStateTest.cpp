#include <filesystem>

#include <gtest/gtest.h>

#include "settings/AppSettings.h"
#include "settings/DataFolders.h"
#include "settings/FolderState.h"
#include "support/TempDir.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {

// An installation whose six folders exist, registered as the current settings.
struct Installed {
    TempDir dir;
    AppSettings settings{dir.path()};
    Installed() {
        for (const auto& row : DataFolders()) fs::create_directories(settings.*row.field);
        SetCurrentSettings(&settings);
    }
    ~Installed() { SetCurrentSettings(nullptr); }
};

}  // namespace

TEST(FolderState, EachFlagFollowsItsOwnFolder) {
    Installed inst;
    ASSERT_TRUE(RefreshFolderState(-1));
    // One folder missing at a time: exactly its flag drops, so a wrong field or position shows.
    for (int missing = 0; missing < kDataFolderCount; ++missing) {
        const std::string folder = inst.settings.*DataFolders()[size_t(missing)].field;
        fs::remove_all(folder);
        EXPECT_FALSE(RefreshFolderState(-1)) << missing;
        for (int position = 0; position < kDataFolderCount; ++position)
            EXPECT_EQ(FolderState(position), position != missing)
                << "missing " << missing << ", flag " << position;
        fs::create_directories(folder);
    }
    EXPECT_TRUE(RefreshFolderState(-1));
}

TEST(FolderState, TypingOneFolderLeavesTheOthersAlone) {
    Installed inst;
    RefreshFolderState(-1);
    EXPECT_FALSE(RefreshFolderState(1, inst.dir / "no such folder"));
    EXPECT_FALSE(FolderState(1));
    EXPECT_TRUE(FolderState(0));
    EXPECT_TRUE(FolderState(2));
    WriteText(inst.dir / "a file", "x");
    EXPECT_FALSE(RefreshFolderState(0, inst.dir / "a file")) << "a file is no folder";
    EXPECT_FALSE(RefreshFolderState(0, ""));
    EXPECT_TRUE(RefreshFolderState(1, inst.dir.path()));
    EXPECT_TRUE(FolderState(1));
}

TEST(FolderState, OutsideThePositionsNothingIsStored) {
    Installed inst;
    RefreshFolderState(-1);
    EXPECT_FALSE(RefreshFolderState(7, inst.dir.path()));
    EXPECT_FALSE(FolderState(7));
    EXPECT_FALSE(FolderState(-1));
    for (int position = 0; position < kDataFolderCount; ++position) EXPECT_TRUE(FolderState(position));
    SetCurrentSettings(nullptr);
    EXPECT_FALSE(RefreshFolderState(-1)) << "without settings there is nothing to test";
}
