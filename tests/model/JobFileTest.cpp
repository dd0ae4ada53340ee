#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "common/FileUtils.h"
#include "common/TextUtils.h"
#include "model/Job.h"
#include "model/JobFile.h"
#include "model/ReadReport.h"
#include "model/UnitsForTests.h"

namespace {

const char* const kEightLines =
    "FILE_VERSION=3\n"
    "\"K1\"\n"
    "\"\"\n"
    "\"\"\n"
    "\"0.000;0.000;0;1;0\"\n"
    "1\n"
    "\"FL\";\"4MM\";\"\";2;1000.000;500.000;\"A\";\"\";\"\";\"\"\n"
    "0\n";

Job Read(const std::string& text, ReadReport* report = nullptr)
{
    Job job;
    EXPECT_TRUE(JobFile::read(text, job, report));
    return job;
}

void ExpectSameJob(const Job& a, const Job& b)
{
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.customer, b.customer);
    EXPECT_EQ(a.order, b.order);
    EXPECT_EQ(a.maxPlateWidth, b.maxPlateWidth);
    EXPECT_EQ(a.maxPlateHeight, b.maxPlateHeight);
    EXPECT_EQ(a.preferOffcuts, b.preferOffcuts);
    EXPECT_EQ(a.preferLargePlates, b.preferLargePlates);
    EXPECT_EQ(a.preferPlentifulPlates, b.preferPlentifulPlates);
    EXPECT_EQ(a.pieces, b.pieces);
    EXPECT_EQ(a.materials, b.materials);
    for (int i = 0; i < b.materials.count(); ++i) EXPECT_EQ(b.materials.at(i).position, i);
}

}  // namespace

TEST(JobFile, EightLineExampleWritesAndReadsBack)
{
    UnitsForTests units;
    Job job;
    job.name = "K1";
    job.preferLargePlates = 1;
    job.pieces.addOrMerge(Piece("FL", "4MM", "", 1000, 500, 2, "A"));
    EXPECT_EQ(JobFile::write(job), kEightLines);

    Job back = Read(kEightLines);
    ExpectSameJob(job, back);
    EXPECT_EQ(back.pieces.at(0).internalId, "INT_ID_000000001");
}

TEST(JobFile, HeaderTexts)
{
    UnitsForTests units;
    Job job;
    job.name = std::string(600, 'n');
    job.customer = std::string(499, 'c') + "\xC3\xA9";  // 501 bytes ending in a 2-byte "é"
    job.order = "line\nbreak \"quoted\"";
    const std::string text = JobFile::write(job);
    EXPECT_EQ(job.name.size(), 500u);
    EXPECT_EQ(job.customer, std::string(499, 'c')) << "never cut inside a character";
    Job back = Read(text);
    EXPECT_EQ(back.name, std::string(500, 'n'));
    EXPECT_EQ(back.order, "line break \"quoted\"");
    EXPECT_EQ(back.customer, job.customer);
}

TEST(JobFile, IdenticalLinesMergeAndOlderVersionsRead)
{
    UnitsForTests units;
    const std::string line = "\"FL\";\"4MM\";\"\";2;1000.000;500.000;\"A\";\"\";\"\";\"\"\n";
    ReadReport report;
    Job job = Read("FILE_VERSION=3\n\"\"\n\"\"\n\"\"\n\"\"\n2\n" + line + line + "0\n", &report);
    ASSERT_EQ(job.pieces.count(), 1);
    EXPECT_EQ(job.pieces.at(0).quantity, 4);
    EXPECT_EQ(report.merged, 1);

    job = Read("FILE_VERSION=2\n\"J\"\n\"C\"\n\"O\"\n1\n" + line + "1\n\"FL\";\"4MM\";\"\"\n");
    EXPECT_EQ(job.maxPlateWidth, 0.0);
    EXPECT_EQ(job.preferLargePlates, 0);
    EXPECT_EQ(job.pieces.at(0).pieceId, "A");
    ASSERT_EQ(job.materials.count(), 1);
    EXPECT_EQ(job.materials.at(0), MaterialKey("FL", "4MM", ""));

    job = Read("FILE_VERSION=1\n\"J\"\n\"\"\n\"\"\n1\n" + line + "0\n");
    ASSERT_EQ(job.pieces.count(), 1);
    EXPECT_EQ(job.pieces.at(0).pieceId, "") << "version 1 lines hold six fields";
    EXPECT_EQ(job.pieces.at(0).text1, "");
    EXPECT_EQ(job.pieces.at(0).height, 500.0);
}

TEST(JobFile, RefusedFilesLeaveTheJobUnchanged)
{
    UnitsForTests units;
    Job job = Read(kEightLines);
    for (const char* text : {"FILE_VERSION=4\n\"X\"\n", "FILE_VERSION=0\n\"X\"\n", "VERSION 3\n",
                             "", "\xff\xfe"}) {
        EXPECT_FALSE(JobFile::read(text, job)) << text;
        EXPECT_EQ(job.name, "K1");
        EXPECT_EQ(job.pieces.count(), 1);
    }
    EXPECT_FALSE(job.load(units.path("missing.TVL")));
    EXPECT_EQ(job.name, "K1");
}

TEST(JobFile, DamagedBlocks)
{
    UnitsForTests units;
    // A blank line uses up its place without repeating the piece before it.
    ReadReport report;
    Job job = Read("FILE_VERSION=3\n\"\"\n\"\"\n\"\"\n\"\"\n3\n"
                   "\"FL\";\"4MM\";\"\";2;1000;500;\"A\";\"\";\"\";\"\"\n"
                   "   \n"
                   "\"FL\";\"5MM\";\"\";7\n"
                   "1\n\"FL\";\"4MM\";\"\"\n",
                   &report);
    ASSERT_EQ(job.pieces.count(), 2);
    EXPECT_EQ(job.pieces.at(0).quantity, 2);
    EXPECT_EQ(report.blankInBlock, 1);
    // Fields missing from a short line are empty, not the previous piece's.
    EXPECT_EQ(job.pieces.at(1).quantity, 7);
    EXPECT_EQ(job.pieces.at(1).width, 0.0);
    EXPECT_EQ(job.pieces.at(1).pieceId, "");
    EXPECT_EQ(job.materials.count(), 1);

    // A count beyond the end of the file stops there.
    report = ReadReport();
    job = Read("FILE_VERSION=3\n\"\"\n\"\"\n\"\"\n\"\"\n2000000000\n\"A\";\"B\";\"\";1;1;1\n",
               &report);
    EXPECT_EQ(job.pieces.count(), 1);
    EXPECT_EQ(report.missingLines, 2000000000 - 1);
    EXPECT_EQ(job.materials.count(), 0);
}

TEST(JobFile, LongLinesStayOneRecord)
{
    UnitsForTests units;
    Job job;
    job.pieces.addOrMerge(Piece("FL", "4MM", "", 1000, 500, 2, "A", std::string(300, 'x'), "t2",
                                "t3"));
    job.pieces.addOrMerge(Piece("FL", "4MM", "", 1000, 500, 1, "B"));
    ReadReport report;
    Job back = Read(JobFile::write(job), &report);
    EXPECT_EQ(report.longLines, 1);
    ExpectSameJob(job, back);
}

TEST(JobFile, TextsReadBackAsSaved)
{
    UnitsForTests units;
    Job job;
    job.pieces.addOrMerge(Piece("FL", "4MM", "", 1000, 500, 2, "  P1  ", "\"lead", "a;b", "tail\""));
    job.pieces.addOrMerge(Piece("FL", "4MM", "", 1000, 500, 2, "", "\"", "\"\"", "x\"y"));
    job.pieces.assignPieceIds();
    job.materials.add(MaterialKey("FL", "4MM", "a;b"), false);
    EXPECT_EQ(job.pieces.at(0).text2, "a,b") << "a \";\" cannot live in a record";
    EXPECT_EQ(job.pieces.at(1).pieceId.size(), 16u);
    ASSERT_TRUE(job.save(units.path("j.TVL")));
    EXPECT_EQ(job.pieces.at(0).pieceId, "P1") << "saving trims the identifier in place";
    EXPECT_EQ(job.pieces.at(1).pieceId, "PZ_1");
    EXPECT_EQ(job.materials.at(0).treatment, "a,b");
    Job back;
    ASSERT_TRUE(back.load(units.path("j.TVL")));
    ExpectSameJob(job, back);
}

TEST(JobFile, InchesConvert)
{
    UnitsForTests units(UnitsForTests::Inches);
    Job job = Read("FILE_VERSION=3\n\"\"\n\"\"\n\"\"\n\"2540.000;25.400;1;0;0\"\n1\n"
                   "\"FL\";\"4MM\";\"\";2;2540.000;1270.000;\"A\";\"\";\"\";\"\"\n0\n");
    EXPECT_DOUBLE_EQ(job.maxPlateWidth, 100.0);
    EXPECT_DOUBLE_EQ(job.maxPlateHeight, 1.0);
    EXPECT_EQ(job.preferOffcuts, 1);
    EXPECT_DOUBLE_EQ(job.pieces.at(0).width, 100.0);
    EXPECT_DOUBLE_EQ(job.pieces.at(0).height, 50.0);
    EXPECT_NE(JobFile::write(job).find("2540.000;1270.000"), std::string::npos);
}

// Random jobs written and read back give the job that was written, in both units, and writing
// that again gives the same text.
TEST(JobFile, RoundTripOfRandomJobs)
{
    for (auto unit : {UnitsForTests::Millimetres, UnitsForTests::Inches}) {
        UnitsForTests units(unit);
        std::mt19937 rng(unit == UnitsForTests::Inches ? 11 : 5);
        auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        auto text = [&](int maxLength) {
            static const std::string alphabet = "abcXYZ09 _-.;\"'|/\xC3\xA9";
            std::string s;
            for (int n = pick(maxLength + 1); n > 0; --n) s += alphabet[pick(int(alphabet.size()))];
            return s;
        };
        const double step = unit == UnitsForTests::Inches ? 100.0 : 10.0;
        for (int round = 0; round < 30; ++round) {
            Job job;
            job.name = text(20);
            job.customer = text(5);
            job.order = text(5);
            job.maxPlateWidth = pick(50000) / step;
            job.maxPlateHeight = pick(50000) / step;
            job.preferOffcuts = pick(2);
            job.preferLargePlates = pick(2);
            job.preferPlentifulPlates = pick(2);
            for (int i = pick(40); i > 0; --i)
                job.pieces.addOrMerge(Piece(text(3), text(3), text(3), pick(40000) / step,
                                            pick(40000) / step, 1 + pick(50), Trim(text(6)), text(8),
                                            text(8), text(8)));
            for (int i = pick(4); i > 0; --i)
                job.materials.add(MaterialKey(text(3), text(3), text(3)), false);
            const std::string written = JobFile::write(job);
            Job back = Read(written);
            ExpectSameJob(job, back);
            EXPECT_EQ(JobFile::write(back), written);
        }
    }
}

TEST(JobFile, AFailedSaveLeavesTheOldFile)
{
    UnitsForTests units;
    const std::string path = units.path("job.TVL");
    Job job = Read(kEightLines);
    ASSERT_TRUE(job.save(path));
    const std::string before = ReadText(path);

    job.name = "changed";
    for (int i = 0; i < 50; ++i) job.pieces.addOrMerge(Piece("S", "C", "", i + 1, 1, 1));
    SetWriteFailureAfterBytes(static_cast<long long>(JobFile::write(job).size() / 2));
    EXPECT_FALSE(job.save(path));
    SetWriteFailureAfterBytes(-1);
    EXPECT_EQ(ReadText(path), before);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(units.dir.path())) {
        const std::string name = entry.path().filename().string();
        if (name != "job.TVL" && name.find("job.TVL") != std::string::npos) ++files;
    }
    EXPECT_EQ(files, 0) << "no temporary file is left behind";

    EXPECT_FALSE(job.save(units.path("no-such-folder/job.TVL")));
}
