#include <algorithm>
#include <map>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "plans/PlanRecords.h"
#include "results/JobResultsFixture.h"
#include "results/PieceLabels.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

std::vector<std::string> Ids(const ResultPattern& pattern, const std::vector<size_t>& order) {
    std::vector<std::string> ids;
    for (const size_t i : order) ids.push_back(pattern.pieces.at(i).id);
    return ids;
}

// One label as "id pattern/plate", the order and count a test compares.
std::vector<std::string> Sequence(const PieceLabelSet& set) {
    std::vector<std::string> seq;
    for (const PieceLabel& l : set.labels)
        seq.push_back(l.pieceId + " " + std::to_string(l.run) + ":" + std::to_string(l.pattern) + "/" +
                      std::to_string(l.plate));
    return seq;
}

}  // namespace

TEST(PieceLabelOrder, PiecesComeInTheOrderTheCutsFreeThem) {
    // 1000 x 1000 mm, no trims: a strip of two pieces below a piece across the plate. The first
    // horizontal cut frees the wide piece; the vertical cut then frees both of the strip.
    ResultPattern p = Pattern(1, 10000, 10000);
    p.pieces = {Placed(0, 0, 4000, 3000, "A"), Placed(4000, 0, 6000, 3000, "B"),
                Placed(0, 3000, 10000, 7000, "C")};
    EXPECT_EQ(Ids(p, PiecesInCutOrder(p)), (std::vector<std::string>{"C", "A", "B"}));

    // Vertical first cuts, edge trims of 10 mm and a 4 mm kerf: columns left to right, and
    // in a column the pieces one by one from the bottom, the shorter piece after its trim cut.
    ResultPattern v = Pattern(1, 32100, 22500);
    v.firstCut = 'V';
    v.trimX = 100;
    v.trimY = 100;
    v.kerf = 40;
    v.pieces = {Placed(100 + 5000 + 40, 100, 8000, 22300, "TALL"),  // the second column
                Placed(100, 100 + 6000 + 40, 4000, 3000, "UPPER"),  // narrower than its column
                Placed(100, 100, 5000, 6000, "LOWER")};
    EXPECT_EQ(Ids(v, PiecesInCutOrder(v)), (std::vector<std::string>{"LOWER", "UPPER", "TALL"}));

    // Pieces that overlap leave no cutting order to derive: the file's order stays.
    ResultPattern bad = Pattern(1, 10000, 10000);
    bad.pieces = {Placed(0, 0, 5000, 5000, "X"), Placed(2000, 2000, 5000, 5000, "Y"),
                  Placed(8000, 0, 1000, 1000, "Z")};
    EXPECT_EQ(Ids(bad, PiecesInCutOrder(bad)), (std::vector<std::string>{"X", "Y", "Z"}));
    EXPECT_TRUE(PiecesInCutOrder(Pattern(1, 10000, 10000)).empty());
}

TEST_F(JobResultsTest, OneLabelPerPieceOfEveryPlateMaterialByMaterialInCuttingOrder) {
    // Two materials by hand: a pattern cut on three plates, then one on a single plate; the
    // second material's result missing between them counts as unread and gives no labels.
    ResultPlan first;
    ResultPattern a = Pattern(3, 10000, 10000);
    a.pieces = {Placed(0, 0, 4000, 3000, "A"), Placed(4000, 0, 6000, 3000, "B"),
                Placed(0, 3000, 10000, 7000, "C")};
    ResultPattern b = Pattern(1, 5000, 5000, true);
    b.pieces = {Placed(0, 0, 5000, 5000, "D")};
    first.patterns = {a, b};
    ResultPlan third;
    ResultPattern c = Pattern(2, 10000, 10000);
    c.pieces = {Placed(0, 0, 1000, 1000, "E")};
    third.patterns = {c};
    StoreResult(MaterialKey("FL", "4MM", ""), 0, FormatResult(first));
    StoreResult(MaterialKey("FL", "6MM", ""), 1, "");
    StoreResult(MaterialKey("FL", "8MM", "SATIN"), 2, FormatResult(third));

    const PieceLabelSet set =
        BuildPieceLabels(job, jobPath, ReadStoredResults(*settings, job, jobPath), Millimetres());
    EXPECT_EQ(set.unread, 1);
    EXPECT_FALSE(set.tooMany);
    EXPECT_EQ(Sequence(set),
              (std::vector<std::string>{"C 1:1/1", "A 1:1/1", "B 1:1/1", "C 1:1/2", "A 1:1/2", "B 1:1/2",
                                        "C 1:1/3", "A 1:1/3", "B 1:1/3", "D 1:2/4", "E 3:1/1", "E 3:1/2"}));
    EXPECT_EQ(set.wanted, 12);
    for (const PieceLabel& l : set.labels) {
        EXPECT_EQ(l.plates, l.run == 1 ? 4 : 2);
        EXPECT_EQ(l.material, l.run == 1 ? "FL, 4MM" : "FL, 8MM, SATIN");
        EXPECT_EQ(l.barcode, "JOB/" + l.pieceId);
        EXPECT_EQ(l.jobCode, "JOB");
    }
}

TEST_F(JobResultsTest, LabelsOfARealOptimisationCountEveryPieceOfTheJob) {
    // Quantities, several plates per pattern, several materials, through the engine itself.
    AddMaterial("4MM");
    AddMaterial("6MM");
    AddPlate("4MM", 3210, 2250, 40);
    AddPlate("6MM", 2020, 1420, 20);  // four of MANY on a plate, within the trims
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> side(1000, 9000);
    for (int i = 0; i < 25; ++i)
        AddPiece("4MM", side(rng) / 10.0, side(rng) / 10.0, 1 + i % 4, "P" + std::to_string(i));
    AddPiece("6MM", 1000, 700, 30, "MANY");
    const OptimiseReport run = OptimiseAll();
    ASSERT_EQ(run.materials.size(), 2u);
    for (const MaterialRunReport& m : run.materials)
        ASSERT_TRUE(m.accepted) << NotOptimisedText(m, settings->current);

    const std::vector<StoredMaterialResult> results = ReadStoredResults(*settings, job, jobPath);
    const PieceLabelSet set = BuildPieceLabels(job, jobPath, results, settings->current);
    EXPECT_EQ(set.unread, 0);
    std::map<std::string, int> count;
    for (const PieceLabel& l : set.labels) ++count[l.pieceId];
    for (const Piece& p : job.pieces) EXPECT_EQ(count[p.pieceId], p.quantity) << p.pieceId;
    EXPECT_EQ(static_cast<long>(set.labels.size()), set.wanted);

    // Material by material in run order; each plate's labels are its pattern's pieces, once.
    bool severalPlates = false;
    size_t at = 0;
    for (const StoredMaterialResult& r : results) {
        long plate = 0;
        for (size_t pattern = 0; pattern < r.plan.patterns.size(); ++pattern) {
            const ResultPattern& p = r.plan.patterns[pattern];
            severalPlates = severalPlates || p.count > 1;
            // The engine's plans can always be cut, so the order comes from the cuts.
            if (p.pieces.size() > 1) {
                EXPECT_FALSE(PatternCuts(p).empty()) << "pattern " << pattern + 1;
            }
            std::vector<size_t> order = PiecesInCutOrder(p);
            std::sort(order.begin(), order.end());
            for (size_t k = 0; k < order.size(); ++k) EXPECT_EQ(order[k], k) << "each piece once";
            std::multiset<std::string> onPattern;
            for (const ResultPiece& q : p.pieces) onPattern.insert(q.id);
            for (long copy = 0; copy < p.count; ++copy) {
                ++plate;
                std::multiset<std::string> labelled;
                for (size_t k = 0; k < p.pieces.size(); ++k, ++at) {
                    ASSERT_LT(at, set.labels.size());
                    const PieceLabel& l = set.labels[at];
                    EXPECT_EQ(l.run, r.run);
                    EXPECT_EQ(l.pattern, static_cast<long>(pattern) + 1);
                    EXPECT_EQ(l.plate, plate);
                    labelled.insert(l.pieceId);
                }
                EXPECT_EQ(labelled, onPattern);
            }
        }
    }
    EXPECT_EQ(at, set.labels.size());
    EXPECT_TRUE(severalPlates) << "30 equal pieces should share a pattern over plates";
}

TEST_F(JobResultsTest, ALabelShowsThePieceAsOrderedInTheInstallationsUnit) {
    // A Windows station's job: texts in Windows-1252. A piece turned on the plate, one cut with a
    // grinding allowance of 2 mm a side, one whose job line was deleted since.
    job.name = "Caf\xe9 M\xfcller";
    job.customer = "Gl\xe4ser & S\xf6hne";
    job.pieces.append(
        Piece("FL", "6MM", "SATIN", 1180, 760, 1, "\xc4-1", "hidden", "Fen\xeatre", "Bord poli"));
    job.pieces.append(Piece("FL", "6MM", "SATIN", 500.5, 300, 1, "G2", "", "", "Kante"));
    ResultPlan plan;
    ResultPattern p = Pattern(1, 32100, 22500);
    ResultPiece turned = Placed(100, 100, 7600, 11800, "\xc4-1", true);
    turned.number = 1;
    ResultPiece ground = Placed(100, 12000, 5045, 3040, "G2");
    ground.number = 2;
    p.pieces = {turned, ground, Placed(10000, 100, 1000, 1000, "GONE")};
    p.infos = {Ordered("\xc4-1", 11800, 7600), Ordered("G2", 5005, 3000)};
    plan.patterns = {p};
    StoreResult(MaterialKey("FL", "6MM", "SATIN"), 0, FormatResult(plan));
    const std::vector<StoredMaterialResult> results = ReadStoredResults(*settings, job, jobPath);

    for (const bool inches : {false, true}) {
        for (int decimals = kMinDecimals; decimals <= kMaxDecimals; ++decimals) {
            const CurrentUnit unit = inches ? Inches(decimals) : Millimetres(decimals);
            SCOPED_TRACE(unit.linearLabel + " with " + std::to_string(decimals) + " decimals");
            const PieceLabelSet set = BuildPieceLabels(job, jobPath, results, unit);
            ASSERT_EQ(set.labels.size(), 3u);
            std::map<std::string, PieceLabel> byId;
            for (const PieceLabel& l : set.labels) byId[l.pieceId] = l;
            ASSERT_EQ(byId.count("\xc3\x84-1"), 1u) << "the identifier in UTF-8";
            const PieceLabel& a = byId["\xc3\x84-1"];
            const double perMm = inches ? 1 / 25.4 : 1.0;
            auto shown = [&](double mm) { return FormatNumber(unit.numberFormat, mm * perMm); };
            EXPECT_EQ(a.size, shown(1180) + " x " + shown(760) + " " + unit.linearLabel);
            EXPECT_EQ(byId["G2"].size, shown(500.5) + " x " + shown(300) + " " + unit.linearLabel);
            EXPECT_EQ(a.job, "Caf\xc3\xa9 M\xc3\xbcller");
            EXPECT_EQ(a.customer, "Gl\xc3\xa4ser & S\xc3\xb6hne");
            EXPECT_EQ(a.text1, "Fen\xc3\xaatre") << "the two extra texts, not the hidden one";
            EXPECT_EQ(a.text2, "Bord poli");
            EXPECT_EQ(byId["G2"].text2, "Kante");
            EXPECT_EQ(a.material, "FL, 6MM, SATIN");
            EXPECT_EQ(a.barcode, "JOB/\xc3\x84-1");
            EXPECT_TRUE(byId["GONE"].text1.empty() && byId["GONE"].text2.empty());
        }
    }
}

TEST_F(JobResultsTest, AResultAskingForMillionsOfLabelsGivesNone) {
    ResultPlan plan;
    ResultPattern p = Pattern(1000000, 32100, 22500);
    for (int i = 0; i < 5; ++i)
        p.pieces.push_back(Placed(100 + i * 2000, 100, 1000, 1000, "S" + std::to_string(i)));
    plan.patterns = {p};
    StoreResult(MaterialKey("FL", "4MM", ""), 0, FormatResult(plan));
    const PieceLabelSet set =
        BuildPieceLabels(job, jobPath, ReadStoredResults(*settings, job, jobPath), Millimetres());
    EXPECT_TRUE(set.tooMany);
    EXPECT_TRUE(set.labels.empty());
    EXPECT_EQ(set.wanted, 5000000);
}
