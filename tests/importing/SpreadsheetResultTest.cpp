#include <chrono>
#include <random>

#include <gtest/gtest.h>

#include "common/UserPrompt.h"
#include "model/Job.h"
#include "model/JobFile.h"
#include "model/SpreadsheetResult.h"
#include "settings/Units.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

// A result file as the import program leaves it: data lines, then its general section.
std::string Result(const std::string& dataLines, const std::string& general = "FILE_VERSION=1\n") {
    return dataLines + "[XNI_GENERAL]\nFORMAT=TAVREL\nDESCRIPTION=Customer X\n" + general;
}

class ResultFile : public ::testing::Test {
protected:
    std::string write(const std::string& content) {
        const std::string path = dir / "order.TVX";
        WriteText(path, content);
        return path;
    }
    SpreadsheetResultReport import(const std::string& content, const CurrentUnit& unit = Millimetres()) {
        return job.importSpreadsheet(write(content), unit);
    }
    TempDir dir;
    Job job;
};

std::string Reasons(const SpreadsheetResultReport& report) {
    std::string text;
    for (const auto& p : report.problems)
        text += std::to_string(p.line) + ":" + p.reasonId + "[" + p.detail + "] ";
    return text;
}

}  // namespace

TEST_F(ResultFile, SevenFieldLineGivesThePieceInEveryUnitAndDecimalSetting) {
    for (int decimals = kMinDecimals; decimals <= kMaxDecimals; ++decimals) {
        for (const CurrentUnit& unit : {Millimetres(decimals), Inches(decimals)}) {
            SCOPED_TRACE(unit.linearLabel + " " + std::to_string(decimals));
            Job imported;
            const std::string path = write(Result("A;B;;3;1000;500;P1\n"));
            const SpreadsheetResultReport report = imported.importSpreadsheet(path, unit);
            ASSERT_TRUE(report.read());
            EXPECT_TRUE(report.problems.empty()) << Reasons(report);
            ASSERT_EQ(imported.pieces.count(), 1);
            const Piece& p = imported.pieces.at(0);
            EXPECT_EQ(p.serie, "A");
            EXPECT_EQ(p.code, "B");
            EXPECT_EQ(p.treatment, "");
            EXPECT_EQ(p.quantity, 3);
            EXPECT_EQ(p.pieceId, "P1");
            EXPECT_EQ(p.text1 + p.text2 + p.text3, "");
            EXPECT_EQ(p.width, DisplayLength(unit, 1000, 10, 1));
            EXPECT_EQ(p.height, DisplayLength(unit, 500, 10, 1));
            if (unit.linearLabel == "in") {
                EXPECT_NEAR(p.width, 1000 / 25.4, 0.5);
            }
            EXPECT_EQ(imported.pieces.idMode, PiecesFromSpreadsheet);
            // Saved in the user's unit and read back in millimetres, the sizes are the file's.
            ASSERT_TRUE(imported.save(dir / "job.TVL", unit));
            Job reloaded;
            ASSERT_TRUE(reloaded.load(dir / "job.TVL", Millimetres(3)));
            ASSERT_EQ(reloaded.pieces.count(), 1);
            EXPECT_DOUBLE_EQ(reloaded.pieces.at(0).width, 1000.0);
            EXPECT_DOUBLE_EQ(reloaded.pieces.at(0).height, 500.0);
        }
    }
}

TEST_F(ResultFile, AnnouncedItemsLimitTheLinesAndTheRestIsNamed) {
    const std::string five =
        "A;B;;1;100;100;P1\nA;B;;1;200;100;P2\nA;B;;1;300;100;P3\n"
        "A;B;;1;400;100;P4\nA;B;;1;500;100;P5\n";
    SpreadsheetResultReport report = import(Result(five, "FILE_VERSION=1\nITEMS=2\n"));
    EXPECT_EQ(job.pieces.count(), 2);
    EXPECT_EQ(report.leftOutCount, 3);
    EXPECT_EQ(report.leftOutFirst, 3);
    EXPECT_EQ(report.leftOutLast, 5);
    ScriptedPrompt prompt;
    ASSERT_TRUE(TellSpreadsheetProblems(report, "order.TVX", prompt));
    EXPECT_NE(prompt.shown()[0].text.find("00417 3-5: 00424 (ITEMS=2)"), std::string::npos)
        << prompt.shown()[0].text;

    report = import(Result(five, "FILE_VERSION=1\nITEMS=0\n"));
    EXPECT_EQ(job.pieces.count(), 5) << "0 does not limit";
    EXPECT_FALSE(TellSpreadsheetProblems(report, "order.TVX", prompt));
    report = import(Result(five));
    EXPECT_EQ(job.pieces.count(), 5) << "missing does not limit";

    // A file cut short: it announces seven lines and holds five.
    report = import(Result(five, "FILE_VERSION=1\nITEMS=7\n"));
    EXPECT_EQ(job.pieces.count(), 5);
    EXPECT_TRUE(report.shortOfAnnounced());
    prompt.clear();
    ASSERT_TRUE(TellSpreadsheetProblems(report, "order.TVX", prompt));
    EXPECT_NE(prompt.shown()[0].text.find("00425 7, 5"), std::string::npos);
}

TEST_F(ResultFile, UnreadableLinesAreNamedWithTheirReasonAndTheRestIsTaken) {
    const std::string lines =
        "A;B;T;1;300;400;ID1;hidden;x;y\n"  // 1 good, all ten fields
        "C;D;;2;100;200\n"                  // 2 good: no carry-over of ID1's texts
        ";B;;1;100;100\n"                   // 3 no serie
        "A;;;1;100;100\n"                   // 4 no code
        "A;B;;abc;100;100\n"                // 5 quantity text
        "A;B;;0;100;100\n"                  // 6 quantity 0
        "A;B;;2.5;100;100\n"                // 7 half a piece
        "A;B;;1;1000,5;100\n"               // 8 a decimal comma
        "A;B;;1;-3;100\n"                   // 9 negative width
        "A;B;;1;100;\n"                     // 10 no height
        "A;B;;1;100\n"                      // 11 five fields
        "A;B;;1,200;1,250.5;0.5\n"          // 12 good: thousands separators, half a millimetre
        "A;B;;99999999999;100;100\n";       // 13 quantity beyond any count
    const SpreadsheetResultReport report = import(Result(lines));
    ASSERT_TRUE(report.read());
    EXPECT_EQ(Reasons(report),
              "3:00419[] 4:00420[] 5:00421[abc] 6:00421[0] 7:00421[2.5] 8:00422[1000,5] 9:00422[-3] "
              "10:00423[] 11:00418[] 13:00421[99999999999] ");
    ASSERT_EQ(job.pieces.count(), 3);
    EXPECT_EQ(job.pieces.at(0).treatment, "T");
    EXPECT_EQ(job.pieces.at(0).text1, "hidden");
    EXPECT_EQ(job.pieces.at(0).text3, "y");
    EXPECT_EQ(job.pieces.at(1).pieceId, "");
    EXPECT_EQ(job.pieces.at(1).text1 + job.pieces.at(1).text2 + job.pieces.at(1).text3, "");
    EXPECT_EQ(job.pieces.at(2).quantity, 1200);
    EXPECT_DOUBLE_EQ(job.pieces.at(2).width, 1250.5);
    EXPECT_DOUBLE_EQ(job.pieces.at(2).height, 0.5);
    EXPECT_EQ(report.taken, 3);

    ScriptedPrompt prompt;
    ASSERT_TRUE(TellSpreadsheetProblems(report, "/imports/order.TVX", prompt));
    const std::string& text = prompt.shown()[0].text;
    EXPECT_EQ(text.rfind("00416\n/imports/order.TVX\n", 0), 0u) << text;
    EXPECT_NE(text.find("00417 5: 00421 \"abc\""), std::string::npos);
    EXPECT_NE(text.find("00417 10: 00423 \"\""), std::string::npos);
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Exclamation);
}

TEST_F(ResultFile, ManyBadLinesShowTheFirstOnesAndACount) {
    std::string lines;
    for (int i = 0; i < 50; ++i) lines += "A;B;;x;100;100\n";
    const SpreadsheetResultReport report = import(Result(lines));
    EXPECT_EQ(report.problems.size(), 50u);
    ScriptedPrompt prompt;
    ASSERT_TRUE(TellSpreadsheetProblems(report, "r.TVX", prompt));
    EXPECT_NE(prompt.shown()[0].text.find("00417 20: "), std::string::npos);
    EXPECT_EQ(prompt.shown()[0].text.find("00417 21: "), std::string::npos);
    EXPECT_NE(prompt.shown()[0].text.find("00426 30"), std::string::npos);
}

TEST_F(ResultFile, AWindowsStationsFileReadsTheSame) {
    // CR LF, Windows-1252 texts, quoted fields (one holding ";"), blanks around the line, a long
    // last text and a section header in another letter case.
    const std::string longText(3000, 'L');
    const std::string content =
        "  \"FL\";\"4MM\";\"SAT\";\"2\";\"1000.0\";\"500\";\"CAF\xC9\";\"h\";\"a;b\";\"" + longText +
        "\"  \r\n"
        "\r\n"
        "FL;4MM;SAT;3;1000;500;CAF\xC9\r\n"
        "[xni_general]\r\nFORMAT=tavrel\r\nFILE_VERSION=1\r\nITEMS=0\r\n";
    const SpreadsheetResultReport report = import(content);
    ASSERT_TRUE(report.read());
    EXPECT_TRUE(report.problems.empty()) << Reasons(report);
    ASSERT_EQ(job.pieces.count(), 1) << "equal lines merge";
    const Piece& p = job.pieces.at(0);
    EXPECT_EQ(p.quantity, 5);
    EXPECT_EQ(p.treatment, "SAT");
    EXPECT_EQ(p.pieceId, "CAF\xC9");
    EXPECT_EQ(p.text1, "h");
    EXPECT_EQ(p.text3, longText) << "a long line is not split";
    EXPECT_EQ(report.merged, 1);
    EXPECT_EQ(report.dataLines, 2);
}

TEST_F(ResultFile, ANulInATextIsTheBlankTheJobSavesItAs) {
    // Pieces that differ only by NULs (a damaged or foreign file) are the one piece the job file
    // makes of them, before the save as after it.
    const std::string lines = std::string("A;B;;4;400;100;P8\n") +
                              std::string("A;B;;1;400;100;P8\0\0\n", 20) +
                              std::string("A;B;;2;400;100;P9;x\0y\n", 22);
    const SpreadsheetResultReport report = import(Result(lines));
    ASSERT_TRUE(report.read());
    EXPECT_TRUE(report.problems.empty()) << Reasons(report);
    ASSERT_EQ(job.pieces.count(), 2);
    EXPECT_EQ(job.pieces.at(0).quantity, 5);
    EXPECT_EQ(job.pieces.at(1).text1, "x y");
    Job again;
    ASSERT_TRUE(JobFile::read(JobFile::write(job, Millimetres()), again, Millimetres()));
    ASSERT_EQ(again.pieces.count(), 2);
    EXPECT_EQ(again.pieces.at(0).quantity, 5);
    EXPECT_EQ(again.pieces.at(1).text1, job.pieces.at(1).text1);
}

TEST_F(ResultFile, AFileThatIsNoResultOfAKnownVersionLeavesThePieces) {
    job.pieces.addOrMerge(Piece("KEEP", "ME", "", 10, 20, 1));
    ScriptedPrompt prompt;
    SpreadsheetResultReport report = job.importSpreadsheet(dir / "missing.TVX", Millimetres());
    EXPECT_EQ(report.outcome, SpreadsheetResultReport::Outcome::CannotOpen);
    EXPECT_TRUE(TellSpreadsheetProblems(report, "missing.TVX", prompt));

    report = import("A;B;;1;100;100\n[XNI_GENERAL]\nFORMAT=TAVREL\n");
    EXPECT_EQ(report.outcome, SpreadsheetResultReport::Outcome::NoVersion);
    EXPECT_TRUE(TellSpreadsheetProblems(report, "order.TVX", prompt));

    report = import(Result("A;B;;1;100;100\n", "FILE_VERSION=2\n"));
    EXPECT_EQ(report.outcome, SpreadsheetResultReport::Outcome::NewerVersion);
    EXPECT_TRUE(TellSpreadsheetProblems(report, "order.TVX", prompt));

    ASSERT_EQ(job.pieces.count(), 1);
    EXPECT_EQ(job.pieces.at(0).serie, "KEEP");
    ASSERT_EQ(prompt.shown().size(), 3u);
    EXPECT_EQ(prompt.shown()[0].text, "00413\nmissing.TVX");
    EXPECT_EQ(prompt.shown()[1].text, "00414\norder.TVX");
    EXPECT_EQ(prompt.shown()[2].text, "00415\norder.TVX\nFILE_VERSION=2");

    // A readable result replaces the pieces.
    report = import(Result("A;B;;1;100;100\n"));
    ASSERT_EQ(job.pieces.count(), 1);
    EXPECT_EQ(job.pieces.at(0).serie, "A");
}

TEST(ResultLine, FieldsAndNumbersAsTheImportProgramWritesThem) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitResultLine("A;B;;3"), (V{"A", "B", "", "3"}));
    EXPECT_EQ(SplitResultLine("\"a;b\";c"), (V{"a;b", "c"}));
    EXPECT_EQ(SplitResultLine("\"say \"hi\"\";c"), (V{"say \"hi\"", "c"}));
    EXPECT_EQ(SplitResultLine("\"open;c"), (V{"open", "c"})) << "no closing quote";
    EXPECT_EQ(SplitResultLine("1;2;3;4;5;6;7;8;9;10;11;12"),
              (V{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10;11;12"}));
    EXPECT_EQ(SplitResultLine("1;2;3;4;5;6;7;8;9;\"x\";y"),
              (V{"1", "2", "3", "4", "5", "6", "7", "8", "9", "\"x\";y"}));
    EXPECT_EQ(SplitResultLine("1;2;3;4;5;6;7;8;9;\"a;b\""),
              (V{"1", "2", "3", "4", "5", "6", "7", "8", "9", "a;b"}));
    EXPECT_EQ(SplitResultLine(""), (V{""}));
    EXPECT_EQ(SplitResultLine("a;"), (V{"a", ""}));
    EXPECT_EQ(SplitResultLine("\""), (V{""}));

    double v = -1;
    for (const auto& [text, value] : std::vector<std::pair<std::string, double>>{{"1000", 1000},
                                                                                 {" 0.1 ", 0.1},
                                                                                 {"1,234,567.25", 1234567.25},
                                                                                 {".5", 0.5},
                                                                                 {"12.", 12},
                                                                                 {"+3", 3},
                                                                                 {"-2", -2},
                                                                                 {"3000000", 3000000}}) {
        EXPECT_TRUE(ParseResultNumber(text, v)) << text;
        EXPECT_DOUBLE_EQ(v, value) << text;
    }
    for (const char* bad : {"", " ", "1000,5", "1,23", "1,2345", "1234,567", ",500", "1e3", "0x10", "12a",
                            "1.2.3", ".", "-", "inf", "nan", "1 000"})
        EXPECT_FALSE(ParseResultNumber(bad, v)) << bad;
    int n = 0;
    EXPECT_TRUE(ParseResultInteger("1,200", n));
    EXPECT_EQ(n, 1200);
    EXPECT_TRUE(ParseResultInteger("7.000", n));
    EXPECT_EQ(n, 7);
    EXPECT_TRUE(ParseResultInteger("2147483647", n));
    EXPECT_FALSE(ParseResultInteger("2147483648", n));
    EXPECT_FALSE(ParseResultInteger("7.5", n));
    EXPECT_FALSE(ParseResultInteger(".0", n));
}

TEST_F(ResultFile, ThousandsOfLinesReadQuicklyAndRandomBytesNeverCrash) {
    std::string lines;
    for (int i = 0; i < 20000; ++i)
        lines += "FL;4MM;;1;" + std::to_string(100 + i % 50) + ".5;" + std::to_string(200 + i % 7) + ";\n";
    const auto start = std::chrono::steady_clock::now();
    const SpreadsheetResultReport report = import(Result(lines), Inches(3));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(report.taken, 20000);
    EXPECT_EQ(job.pieces.count(), 350) << "50 widths by 7 heights";
    int total = 0;
    for (int i = 0; i < job.pieces.count(); ++i) total += job.pieces.at(i).quantity;
    EXPECT_EQ(total, 20000);

    std::mt19937 rng(14);
    for (int round = 0; round < 60; ++round) {
        std::string bytes = RandomBytes(rng, 400);
        if (round % 2) bytes = Result(bytes);
        Job random;
        const SpreadsheetResultReport r = random.importSpreadsheet(write(bytes), Millimetres());
        ScriptedPrompt prompt;
        TellSpreadsheetProblems(r, "x", prompt);
        for (int i = 0; i < random.pieces.count(); ++i) {
            EXPECT_GT(random.pieces.at(i).quantity, 0);
            EXPECT_GT(random.pieces.at(i).width, 0.0);
        }
    }
}
