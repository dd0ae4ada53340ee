#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "common/TextUtils.h"
#include "model/Job.h"
#include "model/JobFile.h"
#include "model/ReadReport.h"
#include "support/FormatSuite.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;

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

const CurrentUnit kMm = Millimetres();

Job Read(const std::string& text, ReadReport* report = nullptr, const CurrentUnit& unit = kMm) {
    Job job;
    EXPECT_TRUE(JobFile::read(text, job, unit, report));
    return job;
}

bool SameJob(const Job& a, const Job& b) {
    if (a.name != b.name || a.customer != b.customer || a.order != b.order ||
        a.maxPlateWidth != b.maxPlateWidth || a.maxPlateHeight != b.maxPlateHeight ||
        a.preferOffcuts != b.preferOffcuts || a.preferLargePlates != b.preferLargePlates ||
        a.preferPlentifulPlates != b.preferPlentifulPlates || !(a.materials == b.materials) ||
        a.pieces.count() != b.pieces.count())
        return false;
    for (int i = 0; i < a.pieces.count(); ++i) {
        const Piece& p = a.pieces.at(i);
        const Piece& q = b.pieces.at(i);
        if (!p.sameLine(q) || p.quantity != q.quantity || p.text1 != q.text1 || p.text2 != q.text2 ||
            p.text3 != q.text3)
            return false;
    }
    return true;
}

void ExpectSameJob(const Job& a, const Job& b) {
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

TEST(JobFile, EightLineExampleWritesAndReadsBack) {
    Job job;
    job.name = "K1";
    job.preferLargePlates = 1;
    job.pieces.addOrMerge(Piece("FL", "4MM", "", 1000, 500, 2, "A"));
    EXPECT_EQ(JobFile::write(job, kMm), kEightLines);

    Job back = Read(kEightLines);
    ExpectSameJob(job, back);
    EXPECT_EQ(back.pieces.at(0).internalId, "INT_ID_000000001");
}

TEST(JobFile, HeaderTexts) {
    Job job;
    job.name = std::string(600, 'n');
    job.customer = std::string(499, 'c') + "\xC3\xA9";  // 501 bytes ending in a 2-byte "é"
    job.order = "line\nbreak \"quoted\"";
    const std::string text = JobFile::write(job, kMm);
    EXPECT_EQ(job.name.size(), 600u) << "writing leaves the job alone";
    JobFile::clean(job);
    EXPECT_EQ(job.name.size(), 500u);
    EXPECT_EQ(job.customer, std::string(499, 'c')) << "never cut inside a character";
    Job back = Read(text);
    EXPECT_EQ(back.name, std::string(500, 'n'));
    EXPECT_EQ(back.order, "line break \"quoted\"");
    EXPECT_EQ(back.customer, job.customer);
}

TEST(JobFile, IdenticalLinesMergeAndOlderVersionsRead) {
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

TEST(JobFile, RefusedFilesLeaveTheJobUnchanged) {
    Job job = Read(kEightLines);
    for (const char* text :
         {"FILE_VERSION=4\n\"X\"\n", "FILE_VERSION=0\n\"X\"\n", "VERSION 3\n", "", "\xff\xfe"}) {
        EXPECT_FALSE(JobFile::read(text, job, kMm)) << text;
        EXPECT_EQ(job.name, "K1");
        EXPECT_EQ(job.pieces.count(), 1);
    }
    TempDir dir;
    EXPECT_FALSE(job.load(dir / "missing.TVL", kMm));
    EXPECT_EQ(job.name, "K1");
}

TEST(JobFile, DamagedBlocks) {
    // A blank line uses up its place without repeating the piece before it.
    ReadReport report;
    Job job = Read(
        "FILE_VERSION=3\n\"\"\n\"\"\n\"\"\n\"\"\n3\n"
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

    // A count that promises fewer lines than follow, or a negative one, loses none of them; a
    // count line where the material block should end fits nowhere and is reported.
    report = ReadReport();
    job = Read(
        "FILE_VERSION=3\n\"\"\n\"\"\n\"\"\n\"\"\n1\n"
        "\"FL\";\"4MM\";\"\";2;1000;500;\"A\";\"\";\"\";\"\"\n"
        "\"FL\";\"4MM\";\"\";1;900;500;\"B\";\"\";\"\";\"\"\n"
        "\n"
        "\"FL\";\"4MM\";\"\";1;800;500;\"C\";\"\";\"\";\"\"\n"
        "-4\n\"FL\";\"4MM\";\"\"\n\"FL\";\"5MM\";\"\"\n7\n",
        &report);
    ASSERT_EQ(job.pieces.count(), 3);
    EXPECT_EQ(job.pieces.at(2).pieceId, "C");
    EXPECT_EQ(job.materials.count(), 2);
    EXPECT_EQ(report.surplusLines, 4);
    EXPECT_EQ(report.blankLines, 1);
    EXPECT_EQ(report.ignoredLines, 1);
    EXPECT_EQ(report.missingLines, 0);

    // A count line that is missing leaves the record after it a record.
    job = Read("FILE_VERSION=3\n\"\"\n\"\"\n\"\"\n\"\"\n\"FL\";\"4MM\";\"\";2;1000;500;\"A\"\n");
    EXPECT_EQ(job.pieces.count(), 1);

    // A count beyond the end of the file stops there.
    report = ReadReport();
    job = Read("FILE_VERSION=3\n\"\"\n\"\"\n\"\"\n\"\"\n2000000000\n\"A\";\"B\";\"\";1;1;1\n", &report);
    EXPECT_EQ(job.pieces.count(), 1);
    EXPECT_EQ(report.missingLines, 2000000000 - 1);
    EXPECT_EQ(job.materials.count(), 0);
}

TEST(JobFile, LongLinesStayOneRecord) {
    Job job;
    job.pieces.addOrMerge(Piece("FL", "4MM", "", 1000, 500, 2, "A", std::string(300, 'x'), "t2", "t3"));
    job.pieces.addOrMerge(Piece("FL", "4MM", "", 1000, 500, 1, "B"));
    ReadReport report;
    Job back = Read(JobFile::write(job, kMm), &report);
    EXPECT_EQ(report.longLines, 1);
    ExpectSameJob(job, back);
}

TEST(JobFile, TextsReadBackAsSaved) {
    Job job;
    job.pieces.addOrMerge(Piece("FL", "4MM", "", 1000, 500, 2, "  P1  ", "\"lead", "a;b", "tail\""));
    job.pieces.addOrMerge(Piece("FL", "4MM", "", 1000, 500, 2, "", "\"", "\"\"", "x\"y"));
    job.pieces.assignPieceIds();
    job.materials.add(MaterialKey("FL", "4MM", "a;b"), false);
    EXPECT_EQ(job.pieces.at(0).text2, "a,b") << "a \";\" cannot live in a record";
    EXPECT_EQ(job.pieces.at(1).pieceId.size(), 16u);
    TempDir dir;
    ASSERT_TRUE(job.save(dir / "j.TVL", kMm));
    EXPECT_EQ(job.pieces.at(0).pieceId, "P1") << "saving trims the identifier in place";
    EXPECT_EQ(job.pieces.at(1).pieceId, "PZ_1");
    EXPECT_EQ(job.materials.at(0).treatment, "a,b");
    Job back;
    ASSERT_TRUE(back.load(dir / "j.TVL", kMm));
    ExpectSameJob(job, back);
}

TEST(JobFile, InchesConvert) {
    const CurrentUnit inches = Inches();
    Job job = Read(
        "FILE_VERSION=3\n\"\"\n\"\"\n\"\"\n\"2540.000;25.400;1;0;0\"\n1\n"
        "\"FL\";\"4MM\";\"\";2;2540.000;1270.000;\"A\";\"\";\"\";\"\"\n0\n",
        nullptr, inches);
    EXPECT_DOUBLE_EQ(job.maxPlateWidth, 100.0);
    EXPECT_DOUBLE_EQ(job.maxPlateHeight, 1.0);
    EXPECT_EQ(job.preferOffcuts, 1);
    EXPECT_DOUBLE_EQ(job.pieces.at(0).width, 100.0);
    EXPECT_DOUBLE_EQ(job.pieces.at(0).height, 50.0);
    EXPECT_NE(JobFile::write(job, inches).find("2540.000;1270.000"), std::string::npos);
}

namespace {

struct JobFormat {
    using Model = Job;

    static Model Random(std::mt19937& rng, const FormatValues& values) {
        auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        auto text = [&](int maxLength) {
            static const std::string alphabet = "abcXYZ09 _-.\"'|/\xC3\xA9\xC9";
            std::string s;
            for (int n = pick(maxLength + 1); n > 0; --n)
                s += alphabet[std::size_t(pick(int(alphabet.size())))];
            return s;
        };
        Job job;
        job.name = text(20);
        job.customer = text(5);
        job.order = text(5);
        job.maxPlateWidth = values.Length(rng);
        job.maxPlateHeight = values.Length(rng);
        job.preferOffcuts = pick(2);
        job.preferLargePlates = pick(2);
        job.preferPlentifulPlates = pick(2);
        for (int i = pick(40); i > 0; --i)
            job.pieces.addOrMerge(Piece(text(3), text(3), text(3), values.Length(rng), values.Length(rng),
                                        1 + pick(50), Trim(text(6)), text(8), text(8), text(8)));
        for (int i = pick(4); i > 0; --i) job.materials.add(MaterialKey(text(3), text(3), text(3)), false);
        return job;
    }
    static std::string Write(const Model& model, const CurrentUnit& unit) {
        return JobFile::write(model, unit);
    }
    static bool Read(const std::string& text, Model& model, const CurrentUnit& unit) {
        return JobFile::read(text, model, unit);
    }
    static bool Save(const std::string& path, Model& model, const CurrentUnit& unit) {
        return model.save(path, unit);
    }
    static bool Equal(const Model& a, const Model& b) { return SameJob(a, b); }
    static int Size(const Model& model) { return model.pieces.count(); }
    static void SetFirstLength(Model& model, double value) { model.pieces.at(0).width = value; }
    static constexpr int kFirstLengthLine = 6;
    static constexpr int kFirstLengthField = 4;
    static const char* Sample() {
        return "FILE_VERSION=3\n\"Job\"\n\"Customer\"\n\"Order\"\n\"3000.000;2000.000;1;0;1\"\n3\n"
               "\"FL\";\"4MM\";\"\";2;1000.000;500.000;\"A\";\"t1\";\"t2\";\"t3\"\n"
               "\"FL\";\"4MM\";\"SAT\";1;1200.500;800.000;\"B\";\"\";\"\";\"\"\n"
               "\"LAM\";\"33.1\";\"\";4;900.000;700.000;\"C\";\"\";\"\";\"\"\n"
               "2\n\"FL\";\"4MM\";\"\"\n\"LAM\";\"33.1\";\"\"\n";
    }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Jobs, FormatSuite, JobFormat);
