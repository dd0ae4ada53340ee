// The engine input file read back column by column, against lines printed with the program's
// own format strings for the three record kinds.

#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "files/EngineInput.h"
#include "plans/PlanRecords.h"

namespace {

std::string LineA(const char* key, long pos, long thickness, long w, long h, long qty, long prio, long order,
                  const char* treatment, char letter) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "%-16.16s%-5ld%-16.16s%-12.12s%-12.12s%-8.8s%08ld%08ld%08ld%8.8s%8.8s%05ld%05ld%5.5s"
                  "%5.5s%05ld%-32.32s%-6.6s%c%08ld%08ld%c\n",
                  key, pos, key, "CUSTOMER", "ORDER-7", "", thickness, w, h, "", "", qty, prio, "", "", order,
                  treatment, "", ' ', 0L, 0L, letter);
    return buf;
}

// p1..p7 of the material and the plate parameter, all in tenths.
std::string LineB(long p1, long p2, long p3, long p4, long p5, long p6, long p7, long plate, long weight,
                  const char* label) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%05ld%05ld%05ld%05ld"
                  "%05ld%08ld%05ld%-32.32s%-23.23s%c\n",
                  0L, 0L, p5, p4, p1, p6, p2, p3, plate, plate, p7, p7, 0L, 0L, 0L, 0L, 0L, weight, 0L, label,
                  "", 'T');
    return buf;
}

std::string PieceLine(const char* key, long type, long w, long h, long qty, const char* text, const char* id,
                      bool turn) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "%-16.16s%-5ld%-16.16s%-12.12s%-12.12s%-8.8s%8.8s%08ld%08ld%08ld%08ld%05ld%05ld%05ld"
                  "%05ld%05ld%-32.32s%-6.6s%-16.16s%c%c\n",
                  key, type, key, "CUSTOMER", "ORDER-7", "", "", w, h, 0L, 0L, qty, 0L, 0L, 0L, 0L, text,
                  text, id, ' ', turn ? 'S' : 'N');
    return buf;
}

std::string GoodFile() {
    return LineA("FLOAT_4", 1, 400, 32100, 22500, 99999, 0, 0, "CLEAR", 'Y') +
           LineB(100, 150, 200, 0, 3000, 2000, 5, 99990, 250, "JOB 12") +
           LineA("FLOAT_4", 3, 400, 12000, 8000, 2, 999, 999, "CLEAR", 'l') +
           LineB(100, 150, 200, 0, 3000, 2000, 5, 50, 250, "JOB 12") +
           PieceLine("FLOAT_4", 1, 5000, 3000, 4, "kitchen", "PZ_1", true) +
           PieceLine("FLOAT_4", 2, 12345, 6789, 1, "door", "D-2", true);
}

}  // namespace

TEST(EngineInput, GoldenLinesAreExactly190Columns) {
    EXPECT_EQ(LineA("K", 1, 0, 1, 1, 1, 1, 1, "", 'R').size(), 191u);
    EXPECT_EQ(LineB(0, 0, 0, 0, 0, 0, 0, 99990, 0, "").size(), 191u);
    EXPECT_EQ(PieceLine("K", 1, 1, 1, 1, "", "", false).size(), 191u);
}

TEST(EngineInput, ReadsEveryFieldTheEngineUses) {
    EngineInput in;
    std::string why;
    ASSERT_TRUE(ParseEngineInput(GoodFile(), in, &why)) << why;
    ASSERT_EQ(in.plates.size(), 2u);
    ASSERT_EQ(in.pieces.size(), 2u);
    const EnginePlateRecord& a = in.plates[0];
    EXPECT_EQ(a.materialKey, "FLOAT_4");
    EXPECT_EQ(a.position, 1);
    EXPECT_EQ(a.customer, "CUSTOMER");
    EXPECT_EQ(a.order, "ORDER-7");
    EXPECT_EQ(a.thickness, 400);
    EXPECT_EQ(a.width, 32100);
    EXPECT_EQ(a.height, 22500);
    EXPECT_EQ(a.quantity, 99999);
    EXPECT_EQ(a.treatment, "CLEAR");
    EXPECT_EQ(a.orientation, 'Y');
    EXPECT_EQ(a.trimX, 100);
    EXPECT_EQ(a.trimY, 150);
    EXPECT_EQ(a.minCutDistance, 200);
    EXPECT_EQ(a.cutWidth, 0);
    EXPECT_EQ(a.minOffcutWidth, 3000);
    EXPECT_EQ(a.minOffcutHeight, 2000);
    EXPECT_EQ(a.grinding, 5);
    EXPECT_EQ(a.plateTrim, 99990);
    EXPECT_EQ(a.weight, 250);
    EXPECT_EQ(a.jobLabel, "JOB 12");
    EXPECT_EQ(in.plates[1].position, 3);
    EXPECT_EQ(in.plates[1].priority, 999);
    EXPECT_EQ(in.plates[1].rank, 999);
    EXPECT_EQ(in.plates[1].plateTrim, 50);
    const EnginePieceRecord& p = in.pieces[1];
    EXPECT_EQ(p.typeNumber, 2);
    EXPECT_EQ(p.width, 12345);
    EXPECT_EQ(p.height, 6789);
    EXPECT_EQ(p.quantity, 1);
    EXPECT_EQ(p.text, "door");
    EXPECT_EQ(p.pieceId, "D-2");
    EXPECT_TRUE(p.rotatable);
}

TEST(EngineInput, ThePlatesPlaceInTheStockIsReadWhereGivenAndNeverRequired) {
    // Columns 62-69 of line A: the program writes the place left-aligned; another writer may
    // leave them blank or put any text there, which names no place and is no error.
    const auto withField6 = [](const std::string& field) {
        std::string a = LineA("FLOAT_4", 2, 400, 9800, 6400, 2, 999, 999, "CLEAR", 'r');
        a.replace(61, 8, (field + std::string(8, ' ')).substr(0, 8));
        return a + LineB(100, 150, 200, 0, 3000, 2000, 5, 99990, 250, "JOB") +
               PieceLine("FLOAT_4", 1, 5000, 3000, 4, "", "PZ_1", true);
    };
    const std::vector<std::pair<std::string, long>> cases = {
        {"4", 4}, {"12345678", 12345678}, {"00000007", 7}, {"", 0}, {"ABC", 0}, {"-3", 0}, {"4 4", 0}};
    for (const auto& [field, place] : cases) {
        EngineInput in;
        std::string why;
        ASSERT_TRUE(ParseEngineInput(withField6(field), in, &why)) << field << ": " << why;
        EXPECT_EQ(in.plates[0].stockPlace, place) << field;
        EXPECT_EQ(in.plates[0].position, 2) << field;
        EXPECT_EQ(in.plates[0].order, "ORDER-7") << "the order before it keeps its columns";
        EXPECT_EQ(in.plates[0].thickness, 400) << "and the thickness after it";
    }
}

TEST(EngineInput, BuildsTheInstanceWithTheDocumentedMeanings) {
    EngineInput in;
    ASSERT_TRUE(ParseEngineInput(GoodFile(), in));
    engine::Instance inst;
    std::string why;
    ASSERT_TRUE(BuildInstance(in, inst, &why)) << why;
    const engine::PlateType& unlimited = inst.plate(0);
    EXPECT_TRUE(unlimited.unlimited());
    EXPECT_EQ(unlimited.firstCut, engine::FirstCut::Horizontal);
    EXPECT_EQ(unlimited.trimX, 100);  // p1
    EXPECT_EQ(unlimited.trimY, 150);  // p2
    const engine::PlateType& offcut = inst.plate(1);
    EXPECT_EQ(offcut.quantity, 2);
    EXPECT_TRUE(offcut.offcut);
    EXPECT_EQ(offcut.firstCut, engine::FirstCut::Vertical);
    EXPECT_EQ(offcut.trimX, 50);  // the plate parameter replaces both trims
    EXPECT_EQ(offcut.trimY, 50);
    EXPECT_EQ(inst.preferenceOrder().front(), 1) << "priority 999 comes first";
    EXPECT_EQ(inst.rules().minCutDistance, 200);
    EXPECT_EQ(inst.rules().minOffcutWidth, 3000);
    EXPECT_EQ(inst.rules().minOffcutHeight, 2000);
    EXPECT_EQ(inst.rules().grinding, 5);
    EXPECT_EQ(inst.item(0).cutWidth, 5010);
    EXPECT_EQ(inst.pieceCount(), 5);
    EXPECT_TRUE(inst.item(0).rotatable);
}

TEST(EngineInput, WindowsLineEndsAndBlankLines) {
    std::string text;
    for (char c : GoodFile()) {
        if (c == '\n') {
            text += "\r\n";
        } else {
            text += c;
        }
    }
    EngineInput in;
    std::string why;
    ASSERT_TRUE(ParseEngineInput("\r\n" + text + "\n\n", in, &why)) << why;
    EXPECT_EQ(in.pieces.size(), 2u);
    EXPECT_EQ(in.pieces[0].pieceId, "PZ_1");
}

TEST(EngineInput, RefusesMalformedFilesWithTheLine) {
    const std::string a = LineA("K", 1, 0, 1000, 1000, 1, 1, 1, "", 'R');
    const std::string b = LineB(0, 0, 0, 0, 0, 0, 0, 99990, 0, "");
    const std::string p = PieceLine("K", 1, 100, 100, 1, "", "X", false);
    EngineInput in;
    std::string why;
    EXPECT_FALSE(ParseEngineInput(a + p, in, &why));
    EXPECT_NE(why.find("line 2"), std::string::npos) << why;
    EXPECT_FALSE(ParseEngineInput(a, in, &why));
    EXPECT_FALSE(ParseEngineInput(a + b + p + a + b, in, &why));
    EXPECT_FALSE(ParseEngineInput(a.substr(0, 150) + "\n", in, &why));
    EXPECT_FALSE(ParseEngineInput("9" + a, in, &why)) << "an overlong number shifts the columns";
    std::string letters = p;
    letters[80] = 'x';
    EXPECT_FALSE(ParseEngineInput(a + b + letters, in, &why));
    ASSERT_TRUE(ParseEngineInput(a + b + p, in, &why)) << why;
    engine::Instance inst;
    EXPECT_TRUE(BuildInstance(in, inst));
    EngineInput noPieces;
    ASSERT_TRUE(ParseEngineInput(a + b, noPieces));
    EXPECT_FALSE(BuildInstance(noPieces, inst, &why));
}

TEST(EngineInput, SurvivesAnyBytes) {
    std::mt19937 rng(7);
    const std::string good = GoodFile();
    for (int n = 0; n < 2000; ++n) {
        std::string text = good;
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            const size_t at = rng() % text.size();
            switch (rng() % 3) {
                case 0:
                    text[at] = static_cast<char>(rng() % 256);
                    break;
                case 1:
                    text.erase(at, 1 + rng() % 20);
                    break;
                default:
                    text.insert(at, std::string(1 + rng() % 5, static_cast<char>(rng() % 256)));
                    break;
            }
            if (text.empty()) {
                text = "x";
            }
        }
        EngineInput in;
        if (ParseEngineInput(text, in)) {
            engine::Instance inst;
            BuildInstance(in, inst);
        }
    }
}
