// The bridges and the real import programs together: the template the program writes goes to
// the installed ExcelImport / PlatesExcelImport through the bridge's own command line, the
// program reads a workbook made here, and what it leaves is read back as the program reads it.
// Each side has its own tests; these catch the two sides disagreeing on a format.

#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/UserPrompt.h"
#include "importing/PlatesImport.h"
#include "importing/SpreadsheetImport.h"
#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "model/SpreadsheetResult.h"
#include "plates/PlatesFile.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "support/FakeImportProgram.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"
#include "tools/ImportFiles.h"

using namespace tavrel;
namespace fs = std::filesystem;

namespace {

const std::string kPrograms = std::string(TAVREL_INSTALL_TREE) + "/Addins/ExcelEXE/";

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // Blanks in every folder name: the bridge's command line is split at blanks.
        settings = std::make_unique<AppSettings>(dir / "work shop");
        settings->current = Millimetres();
        settings->dataFolder = dir / "work shop/DAT files";
        settings->excelImportFolder = dir / "Addins/Excel EXE";
        fs::create_directories(settings->dataFolder);
        fs::create_directories(settings->excelImportFolder);
        MaterialList materials;
        materials.add(Material("FL", "4MM", ""));
        materials.add(Material("FL", "4MM", "SAT"));
        materials.add(Material("FL", "10MM", ""));
        Material laminate("LAM", "33_1", "");
        laminate.components.add(MaterialKey("FL", "4MM", ""), false);
        materials.add(laminate);
        ASSERT_TRUE(materials.save(MaterialsFile::pathIn(settings->dataFolder), settings->current));
    }
    void TearDown() override { ProbeExcelImport(std::string()); }

    // The bridge starts the program with the template only, which opens the window; the stand-in
    // starts the real program with the same arguments and the spreadsheet, so it runs headless.
    void UseRealProgram(const std::string& name, const std::string& sheet, const std::string& more = "") {
        ASSERT_TRUE(fs::exists(kPrograms + name)) << "the build installs " << name;
        WriteFakeImportProgram(settings->excelImportFolder + "/" + name,
                               "exec \"" + kPrograms + name + "\" \"$@\" \"/FILE=[" + sheet + "]\"" + more +
                                   " 2>\"$HERE/problems.txt\"");
    }
    std::string problems() const { return ReadText(settings->excelImportFolder + "/problems.txt"); }

    TempDir dir;
    std::unique_ptr<AppSettings> settings;
    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(EndToEnd, PiecesFromAWorkbookArriveInANewJobInMillimetresAndInches) {
    const std::string sheet = dir / "orders/cucina 2026.xlsx";
    fs::create_directories(dir / "orders");
    // A title row above the header, shared strings, numbers stored as text, a decimal comma, a
    // treatment in another letter case, an empty row between the data and a laminate.
    std::string rows =
        XlsxRow(1, {"Cucina Rossi"}) +
        XlsxRow(2, {"Rif.", "Serie", "Codice", "Trattamento", "Pezzi", "Larghezza", "Altezza"}) +
        XlsxRow(3, {"A1", "FL", "4MM", "", "2", "1000.5", "500"}) +
        "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>0</v></c><c r=\"B4\" t=\"s\"><v>1</v></c>"
        "<c r=\"C4\" t=\"s\"><v>2</v></c><c r=\"D4\" t=\"s\"><v>3</v></c>"
        "<c r=\"E4\" t=\"s\"><v>4</v></c><c r=\"F4\" t=\"s\"><v>5</v></c>"
        "<c r=\"G4\"><v>1250</v></c></row>" +
        XlsxRow(6, {"A3", "LAM", "33_1", "", "1", "0.3", "3210000"});
    ASSERT_TRUE(WriteZip(
        sheet, XlsxParts({{"Pezzi", rows}}, SharedStrings({"A2", "FL", "4MM", "sat", "3", "716,25"}))));
    UseRealProgram("ExcelImport", sheet);
    ASSERT_TRUE(ProbeExcelImport(settings->excelImportFolder));

    const SpreadsheetImportRun run = RunSpreadsheetImport(*settings, prompt);
    ASSERT_TRUE(run.started);
    ASSERT_EQ(run.exitCode, 0) << problems();
    EXPECT_TRUE(prompt.shown().empty());

    std::vector<std::string> results;
    ASSERT_TRUE(ListResults(*settings, results));
    ASSERT_EQ(results.size(), 1u);
    ChosenResult chosen;
    ASSERT_TRUE(ChooseResult(*settings, results[0], chosen));
    EXPECT_EQ(chosen.name, "cucina 2026");
    EXPECT_NE(chosen.description.find("3 pieces"), std::string::npos) << chosen.description;

    struct Expected {
        const char *serie, *code, *treatment, *pieceId;
        int quantity;
        double widthMm, heightMm;
    };
    const std::vector<Expected> expected = {{"FL", "4MM", "", "A1", 2, 1000.5, 500.0},
                                            {"FL", "4MM", "SAT", "A2", 3, 716.25, 1250.0},
                                            {"LAM", "33_1", "", "A3", 1, 0.3, 3210000.0}};
    for (const CurrentUnit& unit : {Millimetres(), Inches()}) {
        const double perMm = 1.0 / unit.linearFactor;
        // The job holds its sizes rounded to the unit's decimals, as typed ones are.
        const double rounding = 0.5 / std::pow(10.0, unit.decimals) + 1e-9;
        Job job;
        const SpreadsheetResultReport report = job.importSpreadsheet(chosen.path, unit);
        ASSERT_TRUE(report.read());
        EXPECT_TRUE(report.problems.empty());
        EXPECT_EQ(report.announced, 3);
        ASSERT_EQ(job.pieces.count(), 3);
        for (int i = 0; i < 3; ++i) {
            const Piece& piece = job.pieces.at(i);
            SCOPED_TRACE(expected[i].pieceId);
            EXPECT_EQ(piece.serie, expected[i].serie);
            EXPECT_EQ(piece.code, expected[i].code);
            EXPECT_EQ(piece.treatment, expected[i].treatment);
            EXPECT_EQ(piece.pieceId, expected[i].pieceId);
            EXPECT_EQ(piece.quantity, expected[i].quantity);
            EXPECT_NEAR(piece.width, expected[i].widthMm * perMm, rounding);
            EXPECT_NEAR(piece.height, expected[i].heightMm * perMm, rounding);
        }
    }
}

TEST_F(EndToEnd, SizesGivenInInchesArriveInMillimetres) {
    const std::string sheet = dir / "inch.xlsx";
    ASSERT_TRUE(
        WriteXlsx(sheet, {{"Series", "Code", "Qty", "Width", "Height"}, {"FL", "10MM", "4", "48", "0.5"}}));
    UseRealProgram("ExcelImport", sheet, " /UNIT=[INCH]");
    ASSERT_TRUE(ProbeExcelImport(settings->excelImportFolder));
    const SpreadsheetImportRun run = RunSpreadsheetImport(*settings, prompt);
    ASSERT_EQ(run.exitCode, 0) << problems();
    Job job;
    ASSERT_TRUE(
        job.importSpreadsheet(settings->excelImportFolder + "/IMPORT/inch.TVX", Millimetres()).read());
    ASSERT_EQ(job.pieces.count(), 1);
    EXPECT_NEAR(job.pieces.at(0).width, 1219.2, 1e-9);
    EXPECT_NEAR(job.pieces.at(0).height, 12.7, 1e-9);
    EXPECT_EQ(job.pieces.at(0).quantity, 4);
}

TEST_F(EndToEnd, APieceWithAnUnknownMaterialWritesNoResult) {
    const std::string sheet = dir / "bad.xlsx";
    ASSERT_TRUE(WriteXlsx(sheet, {{"Series", "Code", "Qty", "Width", "Height"},
                                  {"FL", "4MM", "1", "100", "100"},
                                  {"FL", "8MM", "1", "100", "100"}}));
    UseRealProgram("ExcelImport", sheet);
    ASSERT_TRUE(ProbeExcelImport(settings->excelImportFolder));
    const SpreadsheetImportRun run = RunSpreadsheetImport(*settings, prompt);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(problems().find("row 3"), std::string::npos) << problems();
    std::vector<std::string> results;
    ASSERT_TRUE(ListResults(*settings, results));
    EXPECT_TRUE(results.empty());
}

TEST_F(EndToEnd, PlatesMergeWithEqualPlatesAfterTheReload) {
    const std::string catalogue = PlatesFile::pathIn(settings->dataFolder);
    // A Windows file: CR LF, and a plate of 4 that the import brings to 7 (the size stays).
    WriteText(catalogue,
              "FILE_VERSION=2\r\n\"FL\";\"4MM\";\"\";4;3210.000;2250.000;0;0.000;2;0;0.000000\r\n"
              "\"FL\";\"10MM\";\"\";99999;6000.000;3210.000;0;0.000;0;2;1.500000\r\n");
    const std::string sheet = dir / "stock.xlsx";
    ASSERT_TRUE(WriteXlsx(
        sheet, {{"Serie", "Codice", "Trattamento", "Quantità", "Larghezza", "Altezza", "Orientamento"},
                {"FL", "4MM", "", "3", "3210", "2250", "2"},
                {"FL", "4MM", "", "5", "3210", "2250", "0"},
                {"fl", "4mm", "", "2", "3210", "2550", ""}}));
    UseRealProgram(kPlatesImportProgram, sheet);
    const std::string program = ProbePlatesImport(*settings);
    ASSERT_FALSE(program.empty());

    const PlatesImportRun run = RunPlatesImport(*settings, program, prompt);
    ASSERT_TRUE(run.started);
    ASSERT_EQ(run.exitCode, 0) << problems();
    EXPECT_TRUE(run.changed);
    EXPECT_TRUE(prompt.shown().empty());

    for (const CurrentUnit& unit : {Millimetres(), Inches()}) {
        const double perMm = 1.0 / unit.linearFactor;
        // The catalogue reader rounds to the unit's decimals.
        PlateList plates;
        ASSERT_TRUE(plates.load(catalogue, unit));
        // The equal plate (orientation 2) took the 3; the ones of another orientation or size are
        // appended in sheet order.
        ASSERT_EQ(plates.count(), 4);
        EXPECT_EQ(plates.at(0).quantity, 7);
        EXPECT_EQ(plates.at(0).orientation, 2);
        EXPECT_NEAR(plates.at(0).width, 3210.0 * perMm, 0.005);
        EXPECT_EQ(plates.at(1).key.code, "10MM");
        EXPECT_EQ(plates.at(2).quantity, 5);
        EXPECT_EQ(plates.at(2).orientation, 0);
        EXPECT_NEAR(plates.at(2).height, 2250.0 * perMm, 0.005);
        EXPECT_EQ(plates.at(3).key.serie, "FL");
        EXPECT_EQ(plates.at(3).key.code, "4MM");
        EXPECT_NEAR(plates.at(3).height, 2550.0 * perMm, 0.005);
    }
}

TEST_F(EndToEnd, TheDemoSamplesImportWithTheDemoCatalogue) {
    const std::string tree = TAVREL_INSTALL_TREE;
    ASSERT_TRUE(fs::is_directory(tree + "/Addins/ExcelEXE/IMPORT/PLATES"));
    fs::copy_file(std::string(TAVREL_DEMO_DATA) + "/DAT/Materials.dat",
                  MaterialsFile::pathIn(settings->dataFolder), fs::copy_options::overwrite_existing);
    fs::copy_file(std::string(TAVREL_DEMO_DATA) + "/DAT/Plates.dat",
                  PlatesFile::pathIn(settings->dataFolder));
    PlateList before;
    ASSERT_TRUE(before.load(PlatesFile::pathIn(settings->dataFolder), Millimetres()));

    UseRealProgram("ExcelImport", tree + "/samples/pieces.xlsx");
    ASSERT_TRUE(ProbeExcelImport(settings->excelImportFolder));
    ASSERT_EQ(RunSpreadsheetImport(*settings, prompt).exitCode, 0) << problems();
    Job job;
    const SpreadsheetResultReport report =
        job.importSpreadsheet(settings->excelImportFolder + "/IMPORT/pieces.TVX", Millimetres());
    ASSERT_TRUE(report.read());
    EXPECT_TRUE(report.problems.empty());
    EXPECT_EQ(job.pieces.count(), 5);

    UseRealProgram(kPlatesImportProgram, tree + "/samples/plates.xlsx");
    const PlatesImportRun run = RunPlatesImport(*settings, ProbePlatesImport(*settings), prompt);
    ASSERT_EQ(run.exitCode, 0) << problems();
    EXPECT_TRUE(run.changed);
    PlateList after;
    ASSERT_TRUE(after.load(PlatesFile::pathIn(settings->dataFolder), Millimetres()));
    EXPECT_GT(after.count(), before.count() - 1);
    int quantityBefore = 0, quantityAfter = 0;
    for (const StockPlate& p : before)
        if (p.quantity != kUnlimitedQuantity) quantityBefore += p.quantity;
    for (const StockPlate& p : after)
        if (p.quantity != kUnlimitedQuantity) quantityAfter += p.quantity;
    EXPECT_EQ(quantityAfter, quantityBefore + 17);
    // The sheet's orientation column is read: the delivered 8 mm plates may be cut either way,
    // and the 4 mm ones, equal to a stock line in every field, join that line.
    bool delivered = false;
    for (const StockPlate& p : after)
        if (p.key.code == "8MM" && p.width == 3210 && p.height == 2550) {
            delivered = true;
            EXPECT_EQ(p.orientation, 2);
        }
    EXPECT_TRUE(delivered);
    auto fourMillimetres = [](const PlateList& list) {
        int n = 0;
        for (const StockPlate& p : list)
            if (p.key.code == "4MM" && p.key.treatment.empty() && p.width == 3210 && p.height == 2250) ++n;
        return n;
    };
    EXPECT_EQ(fourMillimetres(after), fourMillimetres(before));
}
