// The result file: what the optimiser writes must read back to the same plan, identical
// plates must collapse into one pattern with a count, and the reader must survive any bytes.

#include <random>

#include "TestInstances.h"
#include "common/TextUtils.h"
#include "cutting/Optimize.h"
#include "files/EngineResult.h"
#include "files/EngineStatus.h"
#include "plans/PlanRecords.h"

using namespace tavrel;

using namespace engine;
using namespace enginetest;

namespace {

EngineInput OnePlateInput() {
    EngineInput in;
    EnginePlateRecord r;
    r.materialKey = "FLOAT_4";
    r.position = 7;
    r.stockPlace = 12;
    r.thickness = 400;
    r.jobLabel = "JOB";
    in.plates.push_back(r);
    return in;
}

}  // namespace

TEST(EngineResult, NumbersAsDecimalTexts) {
    EXPECT_EQ(TenthsText(32100), "3210.0");
    EXPECT_EQ(TenthsText(5), "0.5");
    EXPECT_EQ(TenthsText(-15), "-1.5");
    EXPECT_EQ(HundredthsText(400), "4.00");
    EXPECT_EQ(HundredthsText(1005), "10.05");
    Length v = 0;
    EXPECT_TRUE(ParseScaled("3210.0", 10, v));
    EXPECT_EQ(v, 32100);
    EXPECT_TRUE(ParseScaled(" 12.34 ", 10, v));
    EXPECT_EQ(v, 123);
    EXPECT_TRUE(ParseScaled("12.35", 10, v));
    EXPECT_EQ(v, 124) << "halves round up";
    EXPECT_TRUE(ParseScaled("-2", 100, v));
    EXPECT_EQ(v, -200);
    EXPECT_TRUE(ParseScaled(".5", 10, v));
    EXPECT_EQ(v, 5);
    EXPECT_FALSE(ParseScaled("", 10, v));
    EXPECT_FALSE(ParseScaled("1.2.3", 10, v));
    EXPECT_FALSE(ParseScaled("12a", 10, v));
    EXPECT_FALSE(ParseScaled("9999999999999", 10, v));
}

TEST(EngineResult, RoundTripKeepsEveryPlacement) {
    CutRules r;
    r.minOffcutWidth = 100;
    r.minOffcutHeight = 100;
    InstanceBuilder b;
    b.setRules(r);
    PlateType p = Plate(2000, 1000, -1, FirstCut::Horizontal, 7);
    p.trimX = 10;
    p.trimY = 10;
    b.addPlateType(p);
    b.addItemType(Item(980, 490, 8, false, "A;1"));  // four to a plate: two identical plates
    b.addItemType(Item(300, 200, 1, true, "B"));
    const Instance inst = Build(b);
    Parameters params;
    params.iterationLimit = 200;
    const Output out = Optimize(inst, params);
    ASSERT_TRUE(out.solution.check());
    ASSERT_TRUE(out.solution.complete());

    const ResultPlan plan = PlanFromSolution(out.solution, OnePlateInput());
    long plates = 0;
    size_t placements = 0;
    for (const ResultPattern& pat : plan.patterns) {
        plates += pat.count;
        placements += pat.pieces.size() * static_cast<size_t>(pat.count);
        EXPECT_EQ(pat.position, 7);
        EXPECT_EQ(pat.stockPlace, 12);
        EXPECT_EQ(pat.thickness, 400);
    }
    EXPECT_EQ(plates, out.solution.plateCount());
    EXPECT_EQ(placements, 9u);
    EXPECT_LT(plan.patterns.size(), static_cast<size_t>(out.solution.plateCount()))
        << "identical plates make one pattern";

    const std::string text = FormatResult(plan);
    ResultPlan back;
    std::string why;
    ASSERT_TRUE(ParseResult(text, back, &why)) << why;
    ASSERT_EQ(back.patterns.size(), plan.patterns.size());
    for (size_t i = 0; i < plan.patterns.size(); ++i) {
        const ResultPattern& x = plan.patterns[i];
        const ResultPattern& y = back.patterns[i];
        EXPECT_EQ(y.count, x.count);
        EXPECT_EQ(y.width, 2000);
        EXPECT_EQ(y.height, 1000);
        EXPECT_EQ(y.firstCut, 'H');
        EXPECT_EQ(y.position, 7);
        EXPECT_EQ(PlateNumber(y), 12) << "the plans name the plate by its place in the stock";
        EXPECT_EQ(y.trimX, 10);
        ASSERT_EQ(y.pieces.size(), x.pieces.size());
        for (size_t k = 0; k < x.pieces.size(); ++k) {
            EXPECT_EQ(y.pieces[k].x, x.pieces[k].x);
            EXPECT_EQ(y.pieces[k].y, x.pieces[k].y);
            EXPECT_EQ(y.pieces[k].width, x.pieces[k].width);
            EXPECT_EQ(y.pieces[k].rotated, x.pieces[k].rotated);
            EXPECT_EQ(y.pieces[k].id, x.pieces[k].id);
        }
        EXPECT_FALSE(PatternCuts(y).empty()) << "the viewer can number the cuts";
        ASSERT_EQ(y.offcuts.size(), x.offcuts.size());
        ASSERT_EQ(y.infos.size(), x.infos.size());
        for (size_t k = 0; k < x.infos.size(); ++k) {
            EXPECT_EQ(y.infos[k].id, x.infos[k].id);
            EXPECT_EQ(y.infos[k].count, x.infos[k].count);
            EXPECT_EQ(y.infos[k].width, x.infos[k].width);
        }
    }
    EXPECT_EQ(back.headerValue("material"), "FLOAT_4");
}

TEST(EngineResult, ReaderNeedsClosedBlocksAndSurvivesAnyBytes) {
    ResultPlan plan;
    std::string why;
    EXPECT_FALSE(ParseResult("[Header]\nA=1\n", plan, &why));
    EXPECT_FALSE(ParseResult("BLOCKSTART\n[PATTERN]\nPieces=1\n", plan, &why));
    EXPECT_FALSE(ParseResult("BLOCKSTART\n[CUT]\nX=1;Y=2\nBLOCKEND\n", plan, &why));
    ASSERT_TRUE(ParseResult("blockstart\n[pattern]\npieces=3\nwidth=100.5\nBlockEnd\n", plan, &why)) << why;
    EXPECT_EQ(plan.patterns[0].count, 3);
    EXPECT_EQ(plan.patterns[0].width, 1005);
    // A file from before the stock place, or with one that names no place, shows the position.
    ASSERT_TRUE(
        ParseResult("BLOCKSTART\r\n[PATTERN]\r\nPos=3\r\nBLOCKEND\r\n"
                    "BLOCKSTART\n[PATTERN]\nPos=2\nPlace=0\nBLOCKEND\n"
                    "BLOCKSTART\n[PATTERN]\nPos=4\nPlace=x\nBLOCKEND\n"
                    "BLOCKSTART\n[PATTERN]\nplace=9\nPos=5\nBLOCKEND\n",
                    plan, &why))
        << why;
    ASSERT_EQ(plan.patterns.size(), 4u);
    EXPECT_EQ(PlateNumber(plan.patterns[0]), 3);
    EXPECT_EQ(PlateNumber(plan.patterns[1]), 2);
    EXPECT_EQ(PlateNumber(plan.patterns[2]), 4);
    EXPECT_EQ(PlateNumber(plan.patterns[3]), 9);
    EXPECT_EQ(plan.patterns[3].position, 5);
    EXPECT_EQ(FormatResult(plan).find("Place=3"), std::string::npos) << "no place is made up";

    const std::string good =
        "[Header]\nJobBase=A.\nBLOCKSTART\n[PATTERN]\nPieces=2\nWidth=100.0\nHeight=50.0\n"
        "Thickness=4.00\nPos=1\n[CUT]\nX=0.0;Y=0.0;W=10.0;H=5.0;R=0;N=1;ID=Z\n[OFFCUT]\n"
        "Width=90.0\nHeight=50.0\nX=10.0\nY=0.0\n[INFO]\nID=Z\nNumber=1\nSize=10.0x5.0\nCount=1\nBLOCKEND\n";
    std::mt19937 rng(3);
    for (int n = 0; n < 3000; ++n) {
        std::string text = good;
        for (int e = 0; e < 1 + static_cast<int>(rng() % 6); ++e) {
            const size_t at = rng() % text.size();
            text[at] = static_cast<char>(rng() % 256);
        }
        ResultPlan p;
        ParseResult(text, p);
    }
}

TEST(EngineResult, BlanksAtTheEndsOfATextComeBack) {
    // The reader trims every value, so blanks at the ends of a text go escaped, inner ones not.
    EXPECT_EQ(EscapeResultText(" W 1  "), "%20W 1%20%20");
    EXPECT_EQ(EscapeResultText("   "), "%20%20%20");
    EXPECT_EQ(UnescapeResultText(EscapeResultText(" W 1  ")), " W 1  ");
    const std::string text =
        "[Header]\nJobBase=A.\nBLOCKSTART\n[PATTERN]\nPieces=1\nWidth=100.0\nHeight=50.0\n"
        "Thickness=4.00\nPos=1\n[CUT]\nX=0.0;Y=0.0;W=10.0;H=5.0;R=0;N=1;ID=%20Z\n[INFO]\nID=W%20\n"
        "Number=1\nSize=10.0x5.0\nCount=1\nBLOCKEND\n";
    ResultPlan plan;
    ASSERT_TRUE(ParseResult(text, plan));
    ASSERT_EQ(plan.patterns.size(), 1u);
    ASSERT_EQ(plan.patterns[0].infos.size(), 1u);
    EXPECT_EQ(plan.patterns[0].infos[0].id, "W ");
    EXPECT_EQ(plan.patterns[0].pieces[0].id, " Z");
    const std::string written = FormatResult(plan);
    ResultPlan again;
    ASSERT_TRUE(ParseResult(written, again));
    EXPECT_EQ(again.patterns[0].infos[0].id, "W ");
    EXPECT_EQ(again.patterns[0].pieces[0].id, " Z");
    EXPECT_EQ(FormatResult(again), written);

    // A header key of blanks alone is no key: it is not kept, so it cannot come back changed.
    ResultPlan blankKey;
    ASSERT_TRUE(ParseResult("[Header]\n \t =Wor\nJob=A\n" + text.substr(text.find("BLOCKSTART")), blankKey));
    ASSERT_EQ(blankKey.header.size(), 1u);
    EXPECT_EQ(blankKey.headerValue("Job"), "A");
    ResultPlan blankAgain;
    ASSERT_TRUE(ParseResult(FormatResult(blankKey), blankAgain));
    EXPECT_EQ(FormatResult(blankAgain), FormatResult(blankKey));
}

TEST(EngineResult, UserTextsNeverHoldAMarker) {
    const std::string hostile = "Job BLOCKSTART [cut] blockend 100% k\r\nx";
    const std::string escaped = EscapeResultText(hostile);
    for (const char* marker : {"BLOCK", "[", "]", "\n", "\r"}) {
        EXPECT_EQ(ToUpper(escaped).find(marker), std::string::npos) << marker;
    }
    EXPECT_EQ(UnescapeResultText(escaped), hostile);
    EXPECT_EQ(UnescapeResultText("50%"), "50%") << "a bare percent from an older file stays";
    EXPECT_EQ(UnescapeResultText("%4"), "%4");
    EngineReport report;
    report.status = EngineStatus::PieceTooLarge;
    report.pieceId = "P=1 [X]";
    report.pieceWidth = 40000;
    report.areaLeft = 12345678901LL;
    report.pieceNumber = 417;
    report.areaLacking = 98765432109876LL;
    EngineReport back;
    ASSERT_TRUE(ParseEngineReport(FormatEngineReport(report), back));
    EXPECT_EQ(back.status, EngineStatus::PieceTooLarge);
    EXPECT_EQ(back.pieceId, "P=1 [X]");
    EXPECT_EQ(back.pieceWidth, 40000);
    EXPECT_EQ(back.areaLeft, 12345678901LL);
    EXPECT_EQ(back.pieceNumber, 417);
    EXPECT_EQ(back.areaLacking, 98765432109876LL);
    // A report written before the shortage and the piece number were told still reads, from a
    // Windows station too; the new keys stay 0.
    ASSERT_TRUE(ParseEngineReport("Status=3\r\nPiecesLeft=2\r\nPieces=9\r\nAreaLeft=72000000\r\n", back));
    EXPECT_EQ(back.status, EngineStatus::StockTooSmall);
    EXPECT_EQ(back.piecesLeft, 2);
    EXPECT_EQ(back.areaLeft, 72000000);
    EXPECT_EQ(back.areaLacking, 0);
    EXPECT_EQ(back.pieceNumber, 0);
    EXPECT_FALSE(ParseEngineReport("garbage\n", back));
    EXPECT_EQ(EngineStatusOf(99), EngineStatus::UnreadableInput);
}
