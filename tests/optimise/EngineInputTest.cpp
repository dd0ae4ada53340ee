#include <gtest/gtest.h>

#include "common/TextUtils.h"
#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/Material.h"
#include "model/MaterialList.h"
#include "model/PieceList.h"
#include "model/PlateList.h"
#include "optimise/EngineInput.h"
#include "optimise/PlateSelection.h"
#include "plates/PlatesFile.h"
#include "settings/AppSettings.h"
#include "settings/UnitDef.h"
#include "settings/Units.h"
#include "suite/KLanguage.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

class EngineRecords : public ::testing::Test {
protected:
    void SetUp() override {
        InstallSuiteFiles(dir.path());
        settings = std::make_unique<AppSettings>(dir.path());
        LoadUnits(*settings);
        SetCurrentSettings(settings.get());
        material = Material("FL", "4MM", "");
        material.description = "Float 4";
        material.thickness = 4.0;
        material.cutParameters = {10, 12, 5, 0, 300, 200, 1.5};
        job.name = "Kitchen";
        job.customer = "Rossi";
        job.order = "A-17";
    }
    void TearDown() override { SetCurrentSettings(nullptr); }
    StockPlate Plate(double w, double h, int quantity, int kind = PlateOrdinary, int priority = 0) {
        return StockPlate(MaterialKey("FL", "4MM", ""), quantity, w, h, priority, 0.0, 0, kind, 0.0);
    }
    TempDir dir;
    std::unique_ptr<AppSettings> settings;
    Material material;
    Job job;
};

// Fixed-width columns, 1-based inclusive, as the engine reads them.
std::string Col(const std::string& line, int from, int to) {
    return line.substr(size_t(from - 1), size_t(to - from + 1));
}

}  // namespace

TEST(EngineKeys, MaterialKeyOf16) {
    EXPECT_EQ(EngineMaterialKey("ABC", "12345"), "ABC_12345");
    EXPECT_EQ(EngineMaterialKey("ABCDEFGHIJKL", "XYZ"), "ABCDEFGHIJKL_XYZ");
    EXPECT_EQ(EngineMaterialKey("ABCDEFGHIJKLM", "XYZ"), "ABCDEFGHIJKLMXYZ");
    EXPECT_EQ(EngineMaterialKey("ABCDEFGHIJ", "0123456789"), "ABCDEFGH01234567");
    EXPECT_EQ(EngineMaterialKey("AB", "0123456789ABCDEF"), "AB0123456789ABCD");
    EXPECT_EQ(EngineMaterialKey("ABCDEFGHIJKLMNOPQRST", "XY"), "ABCDEFGHIJKLMNXY");
}

TEST(EngineKeys, JobBaseAndRunNames) {
    EXPECT_EQ(JobBaseName("/jobs/A.TVL"), "A.");
    EXPECT_EQ(RunFileName("/jobs/A.TVL", 1), "A.R01");
    EXPECT_EQ(RunFileName("C:\\jobs\\order.1.TVL", 12), "order.1.R12");
    EXPECT_EQ(RunFileName("/jobs/JOB", 1), "JOBR01");
}

TEST_F(EngineRecords, LengthsAndSentinels) {
    EXPECT_EQ(EngineLength(1000.05, 10, settings->current), 10000);
    EXPECT_EQ(EngineLength(0.0, 10, settings->current), 0);
    EXPECT_EQ(EngineLength(-1.0, 100, settings->current), 99990);
    EXPECT_EQ(EngineLength(4.0, 100, settings->current), 400);
    EXPECT_EQ(EngineWeight(10.05, settings->current), 100);
    EXPECT_EQ(EngineWeight(0.0, settings->current), 0);
}

// The records convert with the unit they are given, so no installation is needed.
TEST(EngineLengths, ConvertWithTheGivenUnitAlone) {
    ASSERT_EQ(CurrentSettings(), nullptr);
    CurrentUnit inches;
    inches.linearFactor = 25.4;
    inches.weightFactor = 0.45359237;
    inches.decimals = 2;
    EXPECT_EQ(EngineLength(1.0, 10, inches), 254);
    EXPECT_EQ(EngineLength(0.005, 10, inches), 3) << "rounded to the unit's decimals first";
    EXPECT_EQ(EngineLength(126.38, 10, inches), 32101);
    EXPECT_EQ(EngineLength(-1.0, 10, inches), 99990);
    EXPECT_EQ(EngineWeight(10.0, inches), 45);
    CurrentUnit millimetres;
    millimetres.linearFactor = 1.0;
    millimetres.weightFactor = 1.0;
    millimetres.decimals = 3;
    EXPECT_EQ(EngineLength(0.35, 10, millimetres), 3) << "tenths of a millimetre, cut toward zero";
    EXPECT_EQ(EngineLength(2500000.0, 10, millimetres), 25000000);
    EXPECT_EQ(EngineLength(5.0, 10, CurrentUnit{}), 0) << "no unit, no length";
}

TEST_F(EngineRecords, PlateLinesHoldEveryField) {
    PlateList plates;
    plates.addOrMerge(Plate(1000.05, 2250, 5, PlateOrdinary, 3), true);
    plates.addOrMerge(Plate(3210, 2250, 1, PlateUnlimited, 7), true);
    StockPlate offcut = Plate(800, 600, 2, PlateOffcut, 0);
    offcut.plateParameter = 5;
    offcut.orientation = 1;
    plates.addOrMerge(offcut, true);
    job.preferOffcuts = 1;

    const std::string a = PlateLineA(job, material, plates, 0, settings->current);
    ASSERT_EQ(a.size(), 191u);
    EXPECT_EQ(a.back(), '\n');
    EXPECT_EQ(Col(a, 1, 16), "FL_4MM          ");
    EXPECT_EQ(Col(a, 17, 21), "1    ");
    EXPECT_EQ(Col(a, 38, 49), "Rossi       ");
    EXPECT_EQ(Col(a, 70, 77), "00000400");
    EXPECT_EQ(Col(a, 78, 85), "00010000");
    EXPECT_EQ(Col(a, 86, 93), "00022500");
    EXPECT_EQ(Col(a, 110, 114), "00005");
    EXPECT_EQ(Col(a, 115, 119), "00004") << "priority + 1";
    EXPECT_EQ(Col(a, 130, 134), "00004") << "order = priority without the size preferences";
    EXPECT_EQ(Col(a, 135, 166), "Float 4" + std::string(25, ' ')) << "the description when no treatment";
    EXPECT_EQ(a[189], 'L');

    const std::string unlimited = PlateLineA(job, material, plates, 1, settings->current);
    EXPECT_EQ(Col(unlimited, 110, 114), "99999");
    EXPECT_EQ(Col(unlimited, 115, 119), "00000");
    const std::string preferred = PlateLineA(job, material, plates, 2, settings->current);
    EXPECT_EQ(Col(preferred, 115, 119), "00999");
    EXPECT_EQ(preferred[189], 'y') << "offcuts carry the lower-case letter";

    const std::string b = PlateLineB(job, material, plates, 0, settings.get(), settings->current);
    ASSERT_EQ(b.size(), 191u);
    EXPECT_EQ(Col(b, 17, 24), "00003000") << "p5";
    EXPECT_EQ(Col(b, 25, 32), "00000000") << "p4";
    EXPECT_EQ(Col(b, 33, 40), "00000100") << "p1";
    EXPECT_EQ(Col(b, 41, 48), "00002000") << "p6";
    EXPECT_EQ(Col(b, 49, 56), "00000120") << "p2";
    EXPECT_EQ(Col(b, 57, 64), "00000050") << "p3";
    EXPECT_EQ(Col(b, 65, 72), "00099990") << "no plate parameter";
    EXPECT_EQ(Col(b, 73, 80), "00099990");
    EXPECT_EQ(Col(b, 81, 88), "00000015") << "p7";
    EXPECT_EQ(Col(b, 135, 166), "Kitchen" + std::string(25, ' '));
    EXPECT_EQ(b[189], 'T');
    EXPECT_EQ(Col(PlateLineB(job, material, plates, 2, settings.get(), settings->current), 65, 72),
              "00000050");
}

TEST_F(EngineRecords, PieceLinesAndTypes) {
    job.pieces.append(Piece("FL", "4MM", "", 500, 400, 2, "W1", "", "", "  north wall  "));
    job.pieces.append(Piece("FL", "4MM", "", 300, 200, 1, "w2"));
    PieceList mine;
    mine.append(Piece("FL", "4MM", "", 300, 200, 1, "W2"));
    mine.append(Piece("FL", "4MM", "", 100, 100, 3, "ZZ"));
    material.engineFlag = 1;
    const std::string first = PieceLine(job, material, mine, 0, settings->current);
    ASSERT_EQ(first.size(), 191u);
    EXPECT_EQ(Col(first, 17, 21), "2    ") << "the job-wide type of W2 (case-insensitive)";
    EXPECT_EQ(Col(first, 78, 85), "00003000");
    EXPECT_EQ(Col(first, 110, 114), "00001");
    EXPECT_EQ(Col(first, 173, 188), "W2              ");
    EXPECT_EQ(first[189], 'S');
    const std::string second = PieceLine(job, material, mine, 1, settings->current);
    EXPECT_EQ(Col(second, 17, 21), "2    ") << "not in the job: its own index + 1";
    material.engineFlag = 0;
    EXPECT_EQ(PieceLine(job, material, mine, 1, settings->current)[189], 'N');
    const std::string texted = PieceLine(job, material, job.pieces, 0, settings->current);
    EXPECT_EQ(Col(texted, 135, 166), "  north wall" + std::string(20, ' '));
    EXPECT_EQ(Col(texted, 167, 172), "north ");
}

TEST_F(EngineRecords, HostileTextsCannotBreakARecord) {
    job.customer = "line\nbreak";
    job.name = std::string(300, 'x');
    PlateList plates;
    plates.addOrMerge(Plate(100, 100, 1), true);
    EXPECT_EQ(PlateLineA(job, material, plates, 0, settings->current).find('\n'), 190u);
    EXPECT_EQ(PlateLineB(job, material, plates, 0, settings.get(), settings->current).size(), 191u);
}

// A UTF-8 customer longer than its 12-byte field loses the letter that would be cut in half, so
// the engine's plans show the name, not its bytes read as Windows-1252.
TEST_F(EngineRecords, ALongUtf8TextLosesWholeLettersOnly) {
    job.customer = "Glaserei B\xC3\xA4r";  // "Glaserei Bär": the ä takes bytes 11 and 12
    job.order = "Auftrag M\xC3\xBCller";   // "Auftrag Müller": cut after "Mül"
    PlateList plates;
    plates.addOrMerge(Plate(100, 100, 1), true);
    const std::string line = PlateLineA(job, material, plates, 0, settings->current);
    ASSERT_EQ(line.size(), 191u);
    EXPECT_EQ(Col(line, 38, 49), "Glaserei B\xC3\xA4");
    EXPECT_EQ(Col(line, 50, 61), "Auftrag M\xC3\xBCl");
    job.order = "Auftrag 12 \xC3\xBC";  // the ü would take bytes 12 and 13
    const std::string cut = PlateLineA(job, material, plates, 0, settings->current);
    EXPECT_EQ(Col(cut, 50, 61), "Auftrag 12  ");
    EXPECT_TRUE(IsValidUtf8(Col(cut, 38, 61)));
}

TEST_F(EngineRecords, PerimeterLabel) {
    KLanguage lang(std::string(TAVREL_SOURCE_DIR) + "/resources/Msg/Tavrel.msg");
    lang.LoadStrings();
    SetCurrentCatalogue(&lang);
    job.pieces.append(Piece("FL", "4MM", "", 500, 250, 2));
    const std::string label = PerimeterLabel(job, settings->current);
    EXPECT_LE(label.size(), 32u);
    EXPECT_EQ(label.substr(0, 7), "Kitchen");
    EXPECT_NE(label.find("=3.00 m]"), std::string::npos) << label;
    WriteText(settings->optPath, "[OPTIONS]\nPRINT_PIECES_PERIMETER=1\n");
    PlateList plates;
    plates.addOrMerge(Plate(100, 100, 1), true);
    EXPECT_NE(PlateLineB(job, material, plates, 0, settings.get(), settings->current).find(label),
              std::string::npos);
    SetCurrentCatalogue(nullptr);
}

TEST_F(EngineRecords, SelectionOrderAndLimits) {
    PlateList stock;
    stock.addOrMerge(Plate(3210, 2250, 10, PlateOrdinary, 0), true);
    stock.addOrMerge(Plate(6000, 3210, 2, PlateOrdinary, 0), true);
    stock.addOrMerge(Plate(1200, 800, 1, PlateOffcut, 0), true);
    stock.addOrMerge(Plate(3210, 2550, 1, PlateUnlimited, 0), true);
    StockPlate otherTreatment = Plate(3210, 2250, 1);
    otherTreatment.key.treatment = "SATIN";
    stock.addOrMerge(otherTreatment, true);
    job.preferOffcuts = 1;
    job.preferLargePlates = 1;
    job.maxPlateWidth = 5000;
    PlateSelection sel = SelectPlates(stock, material, job);
    EXPECT_EQ(sel.leftOutByLimits, 1);
    ASSERT_EQ(sel.plates.count(), 3);
    EXPECT_EQ(sel.plates.at(0).kind, PlateOffcut) << "preferred offcuts first";
    EXPECT_EQ(sel.plates.at(0).selectionRank, 999);
    EXPECT_DOUBLE_EQ(sel.plates.at(1).width, 3210);
    EXPECT_EQ(sel.plates.at(1).kind, PlateOrdinary);
    EXPECT_EQ(sel.plates.at(2).kind, PlateUnlimited) << "unlimited plates last";
    EXPECT_EQ(sel.plates.at(2).selectionRank, 0);

    // Each keeps its place among the material's plates in the catalogue, the 6 m plate left out
    // by the limits counted too: the plans call the offcut plate 3, whatever the engine's order.
    EXPECT_EQ(sel.plates.at(0).stockPlace, 3);
    EXPECT_EQ(sel.plates.at(1).stockPlace, 1);
    EXPECT_EQ(sel.plates.at(2).stockPlace, 4);
    EXPECT_EQ(Col(PlateLineA(job, material, sel.plates, 0, settings->current), 62, 69), "3       ");
    EXPECT_EQ(Col(PlateLineA(job, material, sel.plates, 0, settings->current), 17, 21), "1    ")
        << "the engine's own list keeps field 2";
    // A SATIN material counts its own plates and the unlimited supply that serves every treatment.
    Material satin = material;
    satin.treatment = "SATIN";
    job.maxPlateWidth = 0;
    sel = SelectPlates(stock, satin, job);
    ASSERT_EQ(sel.plates.count(), 2);
    EXPECT_EQ(sel.plates.at(0).kind, PlateOrdinary);
    EXPECT_EQ(sel.plates.at(0).stockPlace, 2);
    EXPECT_EQ(sel.plates.at(1).stockPlace, 1);
    // Plates not chosen by the selection (the windows' own lists) name no place: the field stays
    // blank, as it always was.
    EXPECT_EQ(Col(PlateLineA(job, material, stock, 0, settings->current), 62, 69), "        ");
}

TEST_F(EngineRecords, AnInchStationHandsTheEngineTheStoredMillimetres) {
    CurrentUnit inches;
    inches.linearFactor = 25.4;
    inches.weightFactor = 0.45359237;
    inches.decimals = 2;
    inches.stdDecimals = 2;
    inches.numberFormat = "%.2lf";
    PlateList plates;
    ASSERT_TRUE(
        PlatesFile::read("FILE_VERSION=2\n"
                         "\"FL\";\"4MM\";\"\";5;3210.000;2250.000;0;0.000;2;0;0.000000\n",
                         plates, inches));
    ASSERT_EQ(plates.count(), 1);
    // Shown as 126.38 x 88.58 in; converted back those would be 3210.1 x 2250.0 mm.
    std::string a = PlateLineA(job, material, plates, 0, inches);
    EXPECT_EQ(Col(a, 78, 85), "00032100") << "the plate in the rack, not 0.1 mm more";
    EXPECT_EQ(Col(a, 86, 93), "00022500");
    // A size the user typed is converted as before.
    plates.at(0).width = 100.0;
    a = PlateLineA(job, material, plates, 0, inches);
    EXPECT_EQ(Col(a, 78, 85), "00025400");

    PieceList pieces;
    Piece piece("FL", "4MM", "", 48.6, 19.69, 1, "P1");
    piece.stored.keep(Piece::StoredWidth, 1234.5, 48.6);
    piece.stored.keep(Piece::StoredHeight, 500.0, 19.69);
    pieces.append(piece);
    job.pieces.append(piece);
    const std::string line = PieceLine(job, material, pieces, 0, inches);
    EXPECT_EQ(Col(line, 78, 85), "00012345");
    EXPECT_EQ(Col(line, 86, 93), "00005000");
}

// The thickness, the weight, the trims, the cut distances and the grinding allowance of a catalogue read on
// an inch station reach the engine as the catalogue's millimetres, whatever the decimals shown: with two
// decimals a 4 mm thickness used to become 4.06 mm and a 10 mm trim 9.9 mm; with none both became 0, and the
// pieces were cut over the plate's damaged edges.
TEST_F(EngineRecords, AnInchStationHandsTheEngineTheCataloguesCuttingLengths) {
    const std::string catalogue =
        "FILE_VERSION=2\n"
        "\"FL\";\"4MM\";\"Float\";\"\";4.000;20.000;10.000;12.000;20.000;3.000;250.000;300.000;0.800;1;0.000;"
        "0.000\n"
        "0\n";
    PlateList plates;
    for (int decimals = 0; decimals <= 3; ++decimals) {
        SCOPED_TRACE(decimals);
        const CurrentUnit inches = Inches(decimals);
        MaterialList list;
        ASSERT_TRUE(MaterialsFile::read(catalogue, list, inches));
        ASSERT_EQ(list.count(), 1);
        const Material& m = list.at(0);
        plates.clear();
        ASSERT_TRUE(
            PlatesFile::read("FILE_VERSION=2\n"
                             "\"FL\";\"4MM\";\"\";5;3210.000;2250.000;0;6.000;2;0;0.000000\n",
                             plates, inches));
        const std::string a = PlateLineA(job, m, plates, 0, inches);
        EXPECT_EQ(Col(a, 70, 77), "00000400") << "thickness in hundredths";
        const std::string b = PlateLineB(job, m, plates, 0, nullptr, inches);
        EXPECT_EQ(Col(b, 17, 24), "00002500") << "p5";
        EXPECT_EQ(Col(b, 25, 32), "00000030") << "p4";
        EXPECT_EQ(Col(b, 33, 40), "00000100") << "p1";
        EXPECT_EQ(Col(b, 41, 48), "00003000") << "p6";
        EXPECT_EQ(Col(b, 49, 56), "00000120") << "p2";
        EXPECT_EQ(Col(b, 57, 64), "00000200") << "p3";
        EXPECT_EQ(Col(b, 65, 72), "00000060") << "the plate's parameter";
        EXPECT_EQ(Col(b, 81, 88), "00000008") << "grinding";
        EXPECT_EQ(Col(b, 122, 129), "00000200") << "20 kg, not the 19.9 kg of 44.09 lb";

        // A 10 mm piece shown as 0 in without decimals still has its size.
        PieceList pieces;
        Piece piece("FL", "4MM", "", RoundDecimals(10.0 / 25.4, decimals, 0),
                    RoundDecimals(8.0 / 25.4, decimals, 0), 1, "P1");
        piece.stored.keep(Piece::StoredWidth, 10.0, piece.width);
        piece.stored.keep(Piece::StoredHeight, 8.0, piece.height);
        pieces.append(piece);
        EXPECT_FALSE(CheckEngineInput(job, m, plates, pieces, inches).found);
        job.pieces.append(piece);
        const std::string line = PieceLine(job, m, pieces, 0, inches);
        EXPECT_EQ(Col(line, 78, 85), "00000100");
        EXPECT_EQ(Col(line, 86, 93), "00000080");
        job.pieces.clear();

        // A thickness the user typed is converted as before.
        Material typed = m;
        typed.thickness = 0.25;
        EXPECT_EQ(Col(PlateLineA(job, typed, plates, 0, inches), 70, 77),
                  decimals >= 2 ? "00000635" : (decimals == 1 ? "00000762" : "00000000"));
    }
}

// Shown in inches with no decimals, a 3210 mm plate and a 3200 mm limit both read 126 in: the
// plate too large for the cutting table must still be left out, and one of 3190 mm kept.
TEST_F(EngineRecords, PlateLimitsOnAnInchStationWithoutDecimals) {
    const CurrentUnit inches = Inches(0);
    PlateList stock;
    ASSERT_TRUE(
        PlatesFile::read("FILE_VERSION=2\n"
                         "\"FL\";\"4MM\";\"\";5;3210.000;2250.000;0;0.000;2;0;0.000000\n"
                         "\"FL\";\"4MM\";\"\";5;3190.000;2250.000;0;0.000;2;0;0.000000\n",
                         stock, inches));
    ASSERT_EQ(stock.count(), 2);
    ASSERT_EQ(stock.at(0).width, stock.at(1).width) << "both read 126 in";
    MaterialList list;
    ASSERT_TRUE(
        MaterialsFile::read("FILE_VERSION=2\n"
                            "\"FL\";\"4MM\";\"Float\";\"\";4.000;10.000;10.000;10.000;20.000;0.000;"
                            "250.000;250.000;0.000;1;3200.000;0.000\n0\n",
                            list, inches));
    ASSERT_EQ(list.count(), 1);
    EXPECT_TRUE(stock.exceedsLimits(0, list.at(0), 0, 0));
    EXPECT_FALSE(stock.exceedsLimits(1, list.at(0), 0, 0));
    PlateSelection sel = SelectPlates(stock, list.at(0), job);
    EXPECT_EQ(sel.leftOutByLimits, 1);

    // The same limit held by the job.
    Material open = list.at(0);
    open.maxPlateWidth = 0;
    job.maxPlateWidth = stock.at(0).width;
    job.storedLimits.keep(Job::StoredMaxWidth, 3200.0, job.maxPlateWidth);
    sel = SelectPlates(stock, open, job);
    EXPECT_EQ(sel.leftOutByLimits, 1);
    ASSERT_EQ(sel.plates.count(), 1);
    EXPECT_EQ(Col(PlateLineA(job, open, sel.plates, 0, inches), 78, 85), "00031900");
    // A limit the user typed is compared as shown.
    job.maxPlateWidth = 127;
    EXPECT_EQ(SelectPlates(stock, open, job).leftOutByLimits, 0);
}
