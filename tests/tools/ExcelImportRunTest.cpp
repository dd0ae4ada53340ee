// The import programs run headless as automation runs them: a template and a spreadsheet in,
// a result file or an updated plate catalogue out, exit 0; on any problem one line per
// problem, exit 1 and nothing written.

#include <chrono>
#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "ImportFiles.h"
#include "support/TempDir.h"

namespace {

struct ProgramRun {
    int exitCode = -1;
    std::string output;
};

ProgramRun Program(const std::string& name, const std::string& args) {
    ProgramRun run;
    const std::string command =
        std::string("\"") + TAVREL_INSTALL_TREE + "/Addins/ExcelEXE/" + name + "\" " + args + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

const MaterialLines kMaterials = {
    {"FL", "4MM", ""}, {"FL", "4MM", "SAT"}, {"FL", "6MM", ""}, {"LAM", "33_1", ""}};

class PiecesImport : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder with a blank in its name: the program splits its command line at blanks.
        WriteText(dir / "IMPORT dir/TAVREL.XNI", PiecesTemplate(dir / "IMPORT dir", kMaterials));
    }
    std::string Args(const std::string& file, const std::string& more = "") const {
        return "/INI=[" + (dir / "IMPORT dir/TAVREL.XNI") + "] /FILE=[" + file + "]" + more;
    }
    std::string Result(const std::string& base) const {
        return ReadText(dir / ("IMPORT dir/" + base + ".TVX"));
    }
    TempDir dir;
};

}  // namespace

TEST_F(PiecesImport, XlsxWithGuessedMappingWritesDataLinesAndGeneralSection) {
    // Shared strings for the header, numbers stored as numbers and as text, a decimal comma in a
    // text cell, an empty row between the data, a formula's cached value.
    const std::string rows =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c r=\"C1\" "
        "t=\"s\"><v>2</v></c>"
        "<c r=\"D1\" t=\"s\"><v>3</v></c><c r=\"E1\" t=\"s\"><v>4</v></c><c r=\"F1\" "
        "t=\"s\"><v>5</v></c></row>" +
        XlsxRow(2, {"FL", "4MM", "2", "1000", "500", "P1"}) +
        "<row r=\"4\"><c r=\"A4\" t=\"inlineStr\"><is><t>FL</t></is></c><c r=\"B4\" "
        "t=\"inlineStr\"><is><t>6MM</t></is></c>"
        "<c r=\"C4\"><f>1+2</f><v>3</v></c><c r=\"D4\" t=\"s\"><v>6</v></c><c r=\"E4\" "
        "t=\"inlineStr\"><is><t>0.5</t></is></c></row>";
    ASSERT_TRUE(WriteZip(dir / "kitchen.xlsx",
                         XlsxParts({{"Pieces", rows}}, SharedStrings({"Series", "Code", "Qty", "Width",
                                                                      "Height", "Piece ID", "2540,5"}))));
    const ProgramRun run = Program("ExcelImport", Args(dir / "kitchen.xlsx"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("2 pieces written"), std::string::npos) << run.output;
    EXPECT_EQ(Result("kitchen"),
              "\"FL\";\"4MM\";\"\";2;1000.000;500.000;\"P1\";\"\";\"\";\"\"\n"
              "\"FL\";\"6MM\";\"\";3;2540.500;0.500;\"\";\"\";\"\";\"\"\n"
              "[XNI_GENERAL]\nFORMAT=TAVREL\nDESCRIPTION=kitchen.xlsx, Pieces, 2 "
              "pieces\nFILE_VERSION=1\nITEMS=2\n");
}

TEST_F(PiecesImport, MergedCellsAboveTheHeaderRow) {
    // Office programs keep a merged cell's text in its first cell and leave the others empty;
    // a group title merged over two columns sits above the header row that names the fields.
    ZipParts parts =
        XlsxParts({{"Pieces", XlsxRow(1, {"Glass", "", "", "Size", ""}) +
                                  XlsxRow(2, {"Series", "Code", "Qty", "Width", "Height", "Piece ID"}) +
                                  XlsxRow(3, {"FL", "4MM", "2", "1000", "500", "P1"})}},
                  "");
    for (auto& [name, content] : parts)
        if (name == "xl/worksheets/sheet1.xml") {
            const std::size_t end = content.find("</sheetData>") + std::string("</sheetData>").size();
            content.insert(end,
                           "<mergeCells count=\"2\"><mergeCell ref=\"A1:B1\"/><mergeCell ref=\"D1:E1\"/>"
                           "</mergeCells>");
        }
    ASSERT_TRUE(WriteZip(dir / "merged.xlsx", parts));
    const ProgramRun run = Program("ExcelImport", Args(dir / "merged.xlsx"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Result("merged").substr(0, 47),
              "\"FL\";\"4MM\";\"\";2;1000.000;500.000;\"P1\";\"\";\"\";\"\"\n");
}

TEST_F(PiecesImport, GivenMappingOtherSheetAndInches) {
    ASSERT_TRUE(WriteZip(dir / "j.xlsx",
                         XlsxParts({{"Notes", XlsxRow(1, {"nothing here"})},
                                    {"Cut list", XlsxRow(1, {"Breite", "Hohe", "Anzahl", "Glas", "Typ"}) +
                                                     XlsxRow(2, {"100", "50", "4", "FL", "4MM"})}},
                                   "")));
    const ProgramRun run = Program(
        "ExcelImport",
        Args(dir / "j.xlsx", " /SHEET=[Cut list] '/MAP=[F_3=A;F_4=B;F_2=C;F_5=D;F_6=E]' /UNIT=[INCH]"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Result("j").substr(0, 46), "\"FL\";\"4MM\";\"\";4;2540.000;1270.000;\"\";\"\";\"\";\"\"\n");

    // Without the mapping the German headers name nothing: one line saying how to give it.
    const ProgramRun guessed = Program("ExcelImport", Args(dir / "j.xlsx", " /SHEET=[Cut list]"));
    EXPECT_EQ(guessed.exitCode, 1);
    EXPECT_EQ(Lines(guessed.output), 1) << guessed.output;
    EXPECT_NE(guessed.output.find("/MAP"), std::string::npos);
}

TEST_F(PiecesImport, ItalianOdsAndWindowsCsv) {
    const std::string table = "<table:table table:name=\"Foglio1\"><table:table-row>" + OdsText("Serie") +
                              OdsText("Codice") + OdsText("Trattamento") + OdsText("Q.t\xC3\xA0") +
                              OdsText("Larghezza (mm)") + OdsText("Altezza (mm)") + OdsText("Rif.") +
                              OdsText("Cliente") + "</table:table-row><table:table-row>" + OdsText("FL") +
                              OdsText("4MM") + OdsText("SAT") + OdsNumber("5", "5") +
                              OdsNumber("1200.25", "1.200,25") + OdsNumber("800", "800") +
                              OdsText("Finestra 1") + OdsText("Caf\xC3\xA9 Roma") +
                              "<table:table-cell table:number-columns-repeated=\"16376\"/></table:table-row>"
                              "<table:table-row table:number-rows-repeated=\"1048574\"><table:table-cell "
                              "table:number-columns-repeated=\"16384\"/></table:table-row>"
                              "</table:table>";
    ASSERT_TRUE(WriteOds(dir / "ordine.ods", table));
    ProgramRun run = Program("ExcelImport", Args(dir / "ordine.ods"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Result("ordine").substr(0, Result("ordine").find('\n')),
              "\"FL\";\"4MM\";\"SAT\";5;1200.250;800.000;\"Finestra 1\";\"\";\"Caf\xC3\xA9 Roma\";\"\"");

    WriteText(dir / "lista.2024.csv",
              "Serie;Codice;Quantit\xE0;Larghezza;Altezza;Note\r\nFL;4MM;2;1000,5;500;Vetrina \xE8 "
              "ok\r\n\r\nfl;6mm;1;2.500,75;3210;\r\n");
    run = Program("ExcelImport", Args(dir / "lista.2024.csv"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(
        Result("lista.2024"),
        "\"FL\";\"4MM\";\"\";2;1000.500;500.000;\"\";\"\";\"Vetrina \xC3\xA8 ok\";\"\"\n"
        "\"FL\";\"6MM\";\"\";1;2500.750;3210.000;\"\";\"\";\"\";\"\"\n"
        "[XNI_GENERAL]\nFORMAT=TAVREL\nDESCRIPTION=lista.2024.csv, 2 pieces\nFILE_VERSION=1\nITEMS=2\n");
}

TEST_F(PiecesImport, ProblemsWriteNothingAndNameRowAndColumn) {
    // An earlier result of the same name stays as it was.
    WriteText(dir / "IMPORT dir/bad.TVX", "earlier");
    WriteText(
        dir / "bad.csv",
        "Series;Code;Qty;Width;Height\r\nFL;4MM;2;1000;500\r\nFL;4MM;2;12a;500\r\nFL;5MM;1;100;100\r\n");
    ProgramRun run = Program("ExcelImport", Args(dir / "bad.csv"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output,
              "row 3, column D (Width): \"12a\" is not a number\n"
              "row 4, columns A, B (Series, Code): \"FL / 5MM\" is not among the template's materials\n");
    EXPECT_EQ(ReadText(dir / "IMPORT dir/bad.TVX"), "earlier");

    // A missing column, a broken zip, a missing file, a missing sheet, a broken template: one
    // line each, nothing written.
    WriteText(dir / "nocol.csv", "Series;Code;Qty;Width\r\nFL;4MM;2;1000\r\n");
    run = Program("ExcelImport", Args(dir / "nocol.csv"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "no column of the sheet gives \"Height\" (F_4)\n");
    ASSERT_TRUE(WriteXlsx(dir / "broken.xlsx", {{"Series", "Code"}, {"FL", "4MM"}}));
    std::string bytes = ReadText(dir / "broken.xlsx");
    WriteText(dir / "broken.xlsx", bytes.substr(0, bytes.size() - 40));
    for (const std::string& args :
         {Args(dir / "broken.xlsx"), Args(dir / "none.xlsx"), Args(dir / "nocol.csv", " /SHEET=[Other]"),
          "/INI=[" + (dir / "missing.XNI") + "] /FILE=[" + (dir / "nocol.csv") + "]",
          Args(dir / "nocol.csv", " /MAP=[F_3=1]"), Args(dir / "nocol.csv", " /UNIT=[cm]"),
          std::string("")}) {
        run = Program("ExcelImport", args);
        EXPECT_EQ(run.exitCode, 1) << args;
        EXPECT_GE(Lines(run.output), 1) << args;
        EXPECT_EQ(run.output.find("written"), std::string::npos) << args;
    }
    run = Program("ExcelImport", Args(dir / "broken.xlsx"));
    EXPECT_EQ(Lines(run.output), 1) << run.output;
    EXPECT_NE(run.output.find("broken.xlsx"), std::string::npos);
    EXPECT_FALSE(Exists(dir / "IMPORT dir/broken.TVX"));
    EXPECT_FALSE(Exists(dir / "IMPORT dir/nocol.TVX"));
}

TEST_F(PiecesImport, ThousandsOfPiecesInAFewMoments) {
    std::string csv = "Piece ID;Qty;Width;Height;Series;Code\r\n";
    for (int i = 1; i <= 6000; ++i)
        csv += "P" + std::to_string(i) + ";" + std::to_string(i % 7 + 1) + ";" + std::to_string(100 + i) +
               ",5;" + std::to_string(50 + i % 300) + ";FL;" + (i % 2 ? "4MM" : "6MM") + "\r\n";
    WriteText(dir / "big.csv", csv);
    const auto start = std::chrono::steady_clock::now();
    const ProgramRun run = Program("ExcelImport", Args(dir / "big.csv"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string result = Result("big");
    EXPECT_NE(result.find("ITEMS=6000\n"), std::string::npos);
    EXPECT_NE(result.find("\"FL\";\"4MM\";\"\";1;6099.500;349.000;\"P5999\";"), std::string::npos);
}

namespace {

class PlatesImport : public ::testing::Test {
protected:
    void SetUp() override {
        WriteText(dir / "DAT/Plates.dat",
                  "FILE_VERSION=2\r\n"
                  "\"FL\";\"4MM\";\"\";4;3210.000;2250.000;1;0.000;0;0;0.000000\r\n"
                  "\"FL\";\"6MM\";\"\";99999;6000.000;3210.000;0;0.000;0;2;1.500000\r\n");
        WriteText(dir / "IMPORT/PLATES/TAVREL_plates.XNI",
                  PlatesTemplate(dir / "IMPORT/PLATES", dir / "DAT/Plates.dat", kMaterials));
    }
    std::string Args(const std::string& file) const {
        return "/INI=[" + (dir / "IMPORT/PLATES/TAVREL_plates.XNI") + "] /FILE=[" + file + "]";
    }
    TempDir dir;
};

}  // namespace

TEST_F(PlatesImport, AddsPlatesMergingEqualOnes) {
    // An equal plate (but for its quantity) merges: 4 + 3 keeps the file's size, so only the
    // content tells the change.
    ASSERT_TRUE(WriteXlsx(dir / "stock.xlsx",
                          {{"Series", "Code", "Treatment", "Quantity", "Width", "Height", "Priority"},
                           {"FL", "4MM", "", "3", "3210", "2250", "1"},
                           {"fl", "4mm", "sat", "10", "2000.5", "1000", ""},
                           {"LAM", "33_1", "", "2", "3210", "2550", "5"}}));
    const ProgramRun run = Program("PlatesExcelImport", Args(dir / "stock.xlsx"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("2 new, 1 added to equal plates"), std::string::npos) << run.output;
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"),
              "FILE_VERSION=2\n"
              "\"FL\";\"4MM\";\"\";7;3210.000;2250.000;1;0.000;0;0;0.000000\n"
              "\"FL\";\"6MM\";\"\";99999;6000.000;3210.000;0;0.000;0;2;1.500000\n"
              "\"FL\";\"4MM\";\"SAT\";10;2000.500;1000.000;0;0.000;0;0;0.000000\n"
              "\"LAM\";\"33_1\";\"\";2;3210.000;2550.000;5;0.000;0;0;0.000000\n");
}

TEST_F(PlatesImport, ErrorsLeaveTheCatalogueUntouched) {
    const std::string before = ReadText(dir / "DAT/Plates.dat");
    WriteText(dir / "stock.csv",
              "Series;Code;Quantity;Width;Height;Orientation\r\nFL;4MM;2;3210;2250;0\r\n"
              "FL;4MM;2;3210;abc;7\r\n");
    ProgramRun run = Program("PlatesExcelImport", Args(dir / "stock.csv"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output,
              "row 3, column E (Height): \"abc\" is not a number\n"
              "row 3, column F (Orientation(0/1/2->Vert/Oriz/V+O)): \"7\" is not an orientation 0, 1 or 2\n");
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"), before);

    // No column for the height: the one line names the field, whatever the other rows hold.
    WriteText(dir / "noheight.csv", "Series;Code;Quantity;Width\r\nFL;4MM;2;3210\r\nFL;4MM;x;3210\r\n");
    run = Program("PlatesExcelImport", Args(dir / "noheight.csv"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "no column of the sheet gives \"Height\" (F_6)\n");
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"), before);

    // A workbook cut short, as a copy broken off half-way leaves it: one line naming the file.
    ASSERT_TRUE(WriteXlsx(dir / "cut.xlsx", {{"Series", "Code", "Quantity", "Width", "Height"},
                                             {"FL", "4MM", "2", "3210", "2250"}}));
    const std::string whole = ReadText(dir / "cut.xlsx");
    WriteText(dir / "cut.xlsx", whole.substr(0, whole.size() / 2));
    run = Program("PlatesExcelImport", Args(dir / "cut.xlsx"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Lines(run.output), 1) << run.output;
    EXPECT_NE(run.output.find("cut.xlsx"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("written"), std::string::npos) << run.output;
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"), before);

    // A catalogue that is no catalogue is not replaced; a read-only one is not written.
    WriteText(dir / "good.csv", "Series;Code;Quantity;Width;Height\r\nFL;4MM;2;3210;2250\r\n");
    WriteText(dir / "DAT/Plates.dat", "not a catalogue\n");
    run = Program("PlatesExcelImport", Args(dir / "good.csv"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("no plate catalogue"), std::string::npos) << run.output;
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"), "not a catalogue\n");
    WriteText(dir / "DAT/Plates.dat", before);
    ::chmod((dir / "DAT/Plates.dat").c_str(), 0444);
    run = Program("PlatesExcelImport", Args(dir / "good.csv"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Lines(run.output), 1) << run.output;
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"), before);
    ::chmod((dir / "DAT/Plates.dat").c_str(), 0644);

    // The pieces program refuses the plates template and writes nothing.
    run = Program("ExcelImport", Args(dir / "good.csv"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("PlatesExcelImport"), std::string::npos);
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"), before);

    // A missing catalogue is made.
    ::unlink((dir / "DAT/Plates.dat").c_str());
    run = Program("PlatesExcelImport", Args(dir / "good.csv"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"),
              "FILE_VERSION=2\n\"FL\";\"4MM\";\"\";2;3210.000;2250.000;0;0.000;0;0;0.000000\n");
}

TEST_F(PlatesImport, ItalianOdsInInches) {
    const std::string table =
        "<table:table table:name=\"Magazzino\"><table:table-row>" + OdsText("Serie") + OdsText("Codice") +
        OdsText("Quantit\xC3\xA0") + OdsText("Larghezza") + OdsText("Altezza") + OdsText("Priorit\xC3\xA0") +
        OdsText("Rifilo") + OdsText("Orientamento") + "</table:table-row><table:table-row>" + OdsText("FL") +
        OdsText("6MM") + OdsNumber("12", "12") + OdsNumber("126.375", "126,375") + OdsNumber("88.5", "88,5") +
        OdsNumber("3", "3") + OdsText("0,5") + OdsNumber("2", "2") + "</table:table-row></table:table>";
    ASSERT_TRUE(WriteOds(dir / "magazzino.ods", table));
    const ProgramRun run = Program("PlatesExcelImport", Args(dir / "magazzino.ods") + " /UNIT=[INCH]");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string catalogue = ReadText(dir / "DAT/Plates.dat");
    EXPECT_NE(catalogue.find("\"FL\";\"6MM\";\"\";12;3209.925;2247.900;3;12.700;2;0;0.000000\n"),
              std::string::npos)
        << catalogue;
    // The plates that were there keep their lines, the unlimited one its minimum lot.
    EXPECT_NE(catalogue.find("\"FL\";\"6MM\";\"\";99999;6000.000;3210.000;0;0.000;0;2;1.500000\n"),
              std::string::npos);
}
