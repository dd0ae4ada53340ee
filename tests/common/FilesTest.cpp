#include <gtest/gtest.h>

#include <filesystem>

#include "common/FileUtils.h"
#include "support/TempDir.h"

TEST(FileTests, PatternsFollowFindFirstRules) {
    TempDir dir;
    WriteText(dir / "a1.txt", "x");
    std::filesystem::create_directory(dir / "a2.dir");
    WriteText(dir / "Empty.DAT", "");
    EXPECT_TRUE(PathExists(dir / "A?.TXT")) << "letter case is ignored";
    EXPECT_TRUE(FolderExists(dir / "a*")) << "walks past the file to the folder";
    EXPECT_FALSE(FolderExists(dir / "a1*"));
    EXPECT_FALSE(PathExists(dir / "b*"));
    EXPECT_TRUE(PathExists(dir / "empty.dat")) << "a plain name also ignores letter case";
    EXPECT_EQ(FileSize(dir / "missing"), -1);
    EXPECT_EQ(FileSize(dir / "Empty.DAT"), 0);
    EXPECT_EQ(FileSize(dir / "a1.txt"), 1);
}

TEST(FileTests, DeleteMatchingCountsFilesOnly) {
    TempDir dir;
    WriteText(dir / "x.LG", "1");
    WriteText(dir / "y.lg", "1");
    WriteText(dir / "z.txt", "1");
    std::filesystem::create_directory(dir / "w.lg");
    EXPECT_EQ(DeleteMatching(dir.path(), "*.LG"), 2);
    EXPECT_TRUE(std::filesystem::exists(dir / "z.txt"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "w.lg"));
}

TEST(FileTests, AtomicWriteKeepsOldFileOnFailure) {
    TempDir dir;
    const std::string path = dir / "Materials.dat";
    ASSERT_TRUE(WriteFileAtomically(path, std::string("old content\n")));
    SetWriteFailureAfterBytes(4);
    EXPECT_FALSE(WriteFileAtomically(path, std::string("new content that fails half way\n")));
    SetWriteFailureAfterBytes(-1);
    EXPECT_EQ(ReadText(path), "old content\n");
    size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++files;
    EXPECT_EQ(files, 1u) << "no temporary file is left behind";
    EXPECT_FALSE(WriteFileAtomically(dir / "no/such/folder/x", std::string("a")));
    EXPECT_TRUE(WriteFileAtomically(path, [](std::FILE* f) { return std::fputs("via writer\n", f) >= 0; }));
    EXPECT_EQ(ReadText(path), "via writer\n");
    EXPECT_FALSE(WriteFileAtomically(path, [](std::FILE*) { return false; }));
    EXPECT_EQ(ReadText(path), "via writer\n");
}

TEST(FileTests, LinesAndSectionBodies) {
    EXPECT_EQ(SplitLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    TempDir dir;
    WriteText(dir / "in.txt", "FILE_VERSION=3\n[A]\nKEY P17\nfirst [x]\n second\n[B]\nafter\n");
    std::FILE* in = std::fopen((dir / "in.txt").c_str(), "r");
    std::FILE* out = std::fopen((dir / "out.txt").c_str(), "w");
    EXPECT_EQ(ReadIntLine(in), 3);
    EXPECT_EQ(CopySectionBody("P17", in, out), 2) << "the line after the key is copied even with brackets";
    std::fclose(in);
    std::fclose(out);
    EXPECT_EQ(ReadText(dir / "out.txt"), "first [x]\n second\n");
    EXPECT_EQ(CopySectionBody("", nullptr, nullptr), -1);
}

TEST(FileTests, ReadLineTakesWholeLongLines) {
    TempDir dir;
    std::string longLine(5000, 'x');
    WriteText(dir / "l.txt", longLine + "\r\nshort");
    std::FILE* f = std::fopen((dir / "l.txt").c_str(), "r");
    std::string line;
    ASSERT_TRUE(ReadLine(f, line));
    EXPECT_EQ(line.size(), 5000u);
    ASSERT_TRUE(ReadLine(f, line));
    EXPECT_EQ(line, "short");
    EXPECT_FALSE(ReadLine(f, line));
    std::fclose(f);
}
