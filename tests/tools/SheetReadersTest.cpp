// The spreadsheet readers of the import programs on files as the office programs save them,
// and on broken ones.

#include <algorithm>
#include <chrono>

#include <gtest/gtest.h>

#include "ImportFiles.h"
#include "Sheet.h"
#include "XniTemplate.h"
#include "support/TempDir.h"

using namespace tavrel;

namespace {

Sheet Read(const std::string& path, const std::string& sheetName = "") {
    Sheet sheet;
    std::string error;
    EXPECT_TRUE(ReadSheet(path, sheetName, sheet, error)) << error;
    return sheet;
}

std::string Cell(const Sheet& sheet, long row, int column) {
    for (const SheetRow& r : sheet.rows)
        if (r.number == row) return r.cell(column);
    return "<no row>";
}

}  // namespace

TEST(SheetNames, ColumnLettersBeyondZ) {
    EXPECT_EQ(ColumnName(0), "A");
    EXPECT_EQ(ColumnName(25), "Z");
    EXPECT_EQ(ColumnName(26), "AA");
    EXPECT_EQ(ColumnName(51), "AZ");
    EXPECT_EQ(ColumnName(702), "AAA");
    EXPECT_EQ(ColumnName(16383), "XFD");
    for (int c : {0, 25, 26, 27, 701, 702, 16383}) EXPECT_EQ(ParseColumnName(ColumnName(c)), c);
    EXPECT_EQ(ParseColumnName("ab"), 27);
    EXPECT_EQ(ParseColumnName("XFE"), -1);
    EXPECT_EQ(ParseColumnName("A1"), -1);
    EXPECT_EQ(ParseColumnName(""), -1);
    EXPECT_EQ(ParseColumnName("AAAA"), -1);
}

TEST(SheetNames, NumbersAndDaysAsTheSheetShowsThem) {
    EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");  // fifteen digits, as the office programs show it
    EXPECT_EQ(NumberText(1000), "1000");
    EXPECT_EQ(NumberText(0.05), "0.05");
    EXPECT_EQ(NumberText(2500000.5), "2500000.5");
    EXPECT_EQ(NumberText(-0.0), "0");
    EXPECT_EQ(SerialDateText(1), "1900-01-01");
    EXPECT_EQ(SerialDateText(59), "1900-02-28");
    EXPECT_EQ(SerialDateText(60), "1900-02-29");  // the office programs' leap day
    EXPECT_EQ(SerialDateText(61), "1900-03-01");
    EXPECT_EQ(SerialDateText(45292), "2024-01-01");
    EXPECT_EQ(SerialDateText(45413.5), "2024-05-01 12:00:00");
    EXPECT_EQ(SerialDateText(73050), "2099-12-31");
    EXPECT_EQ(SerialDateText(73051), "2100-01-01");
}

TEST(XlsxReader, ReadsWhatTheOfficeProgramsWrite) {
    TempDir dir;
    const std::string sheet1 =
        // Shared strings, a rich text with a phonetic guide, a cell without a reference.
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c "
        "t=\"s\"><v>2</v></c></row>"
        // An inline string, a number with binary noise, a date in two styles, a number style.
        "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>P1</t></is></c><c "
        "r=\"B2\"><v>0.30000000000000004</v></c>"
        "<c r=\"C2\" s=\"1\"><v>45413</v></c><c r=\"D2\" s=\"2\"><v>45292</v></c><c r=\"E2\" "
        "s=\"3\"><v>1000.5</v></c></row>"
        // Empty rows between data, formulas with cached values, a boolean, an error, column AB.
        "<row r=\"5\"><c r=\"A5\"><f>B5*2</f><v>6000</v></c><c r=\"B5\" "
        "t=\"str\"><f>A1&amp;\"x\"</f><v>FLx</v></c>"
        "<c r=\"C5\" t=\"b\"><v>1</v></c><c r=\"D5\" t=\"e\"><v>#DIV/0!</v></c><c r=\"AB5\"><v>7</v></c>"
        "<c r=\"E5\" t=\"s\"><v>3</v></c></row>"
        // An empty cell element and a row of empty cells.
        "<row r=\"6\"><c r=\"A6\" s=\"1\"/></row>";
    const std::string shared =
        "<si><t>Series</t></si>"
        "<si><r><t>Co</t></r><r><rPr><b/></rPr><t>de</t></r><rPh sb=\"0\" eb=\"1\"><t>XX</t></rPh></si>"
        "<si><t xml:space=\"preserve\"> Width </t></si>"
        "<si><t>1000,5</t></si>";
    ASSERT_TRUE(
        WriteZip(dir / "a.xlsx", XlsxParts({{"Pieces", sheet1}, {"Other", XlsxRow(1, {"x", "y"})}}, shared)));
    const Sheet sheet = Read(dir / "a.xlsx");
    EXPECT_EQ(sheet.name, "Pieces");
    ASSERT_EQ(sheet.rows.size(), 3u);  // rows 1, 2 and 5; 6 is empty
    EXPECT_EQ(Cell(sheet, 1, 0), "Series");
    EXPECT_EQ(Cell(sheet, 1, 1), "Code");
    EXPECT_EQ(Cell(sheet, 1, 2), " Width ");
    EXPECT_EQ(Cell(sheet, 2, 0), "P1");
    EXPECT_EQ(Cell(sheet, 2, 1), "0.3");
    EXPECT_EQ(Cell(sheet, 2, 2), "2024-05-01");
    EXPECT_EQ(Cell(sheet, 2, 3), "2024-01-01");
    EXPECT_EQ(Cell(sheet, 2, 4), "1000.5");  // "0.00\"mm\"" is no date for its quoted m
    EXPECT_EQ(Cell(sheet, 5, 0), "6000");
    EXPECT_EQ(Cell(sheet, 5, 1), "FLx");
    EXPECT_EQ(Cell(sheet, 5, 2), "TRUE");
    EXPECT_EQ(Cell(sheet, 5, 3), "#DIV/0!");
    EXPECT_EQ(Cell(sheet, 5, 4), "1000,5");
    EXPECT_EQ(Cell(sheet, 5, 27), "7");
    EXPECT_EQ(sheet.columnCount(), 28);

    const Sheet other = Read(dir / "a.xlsx", "other");
    EXPECT_EQ(other.name, "Other");
    EXPECT_EQ(Cell(other, 1, 1), "y");
    std::vector<std::string> names;
    std::string error;
    ASSERT_TRUE(ListSheets(dir / "a.xlsx", names, error));
    EXPECT_EQ(names, (std::vector<std::string>{"Pieces", "Other"}));

    Sheet missing;
    EXPECT_FALSE(ReadSheet(dir / "a.xlsx", "Plates", missing, error));
    EXPECT_NE(error.find("no sheet \"Plates\""), std::string::npos) << error;
    EXPECT_NE(error.find("Pieces, Other"), std::string::npos) << error;
}

TEST(XlsxReader, BrokenWorkbooksGiveOneLine) {
    TempDir dir;
    ASSERT_TRUE(WriteXlsx(dir / "good.xlsx", {{"Series", "Code"}, {"FL", "4MM"}}));
    const std::string good = ReadText(dir / "good.xlsx");
    std::vector<std::pair<std::string, std::string>> broken = {
        {"random.xlsx", "PK\x03\x04 this is no zip file at all \x01\x02\xff"},
        {"empty.xlsx", ""},
        {"truncated.xlsx", good.substr(0, good.size() / 2)},
        {"patched.xlsx", good.substr(0, good.size() - 30) + std::string(30, '\x55')},
    };
    // A bit flipped inside the packed data: the checksum catches it.
    std::string flipped = good;
    flipped[flipped.size() / 3] = static_cast<char>(flipped[flipped.size() / 3] ^ 0x5A);
    broken.push_back({"flipped.xlsx", flipped});
    for (const auto& [name, bytes] : broken) {
        WriteText(dir / name, bytes);
        Sheet sheet;
        std::string error;
        EXPECT_FALSE(ReadSheet(dir / name, "", sheet, error)) << name;
        EXPECT_FALSE(error.empty()) << name;
        EXPECT_EQ(error.find('\n'), std::string::npos) << name << ": " << error;
    }

    // Well-zipped but wrong inside: malformed XML, a shared text that is not there, a sheet
    // part that is missing, no workbook at all, a cell beyond the last column.
    const std::vector<std::pair<std::string, ZipParts>> wrong = {
        {"malformed.xlsx", XlsxParts({{"S", "<row r=\"1\"><c r=\"A1\"><v>1</v></row>"}}, "")},
        {"shared.xlsx",
         XlsxParts({{"S", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>7</v></c></row>"}}, "<si><t>a</t></si>")},
        {"cell.xlsx", XlsxParts({{"S", "<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"}}, "")},
        {"row.xlsx", XlsxParts({{"S", "<row r=\"99999999\"><c><v>1</v></c></row>"}}, "")},
        {"noworkbook.xlsx", ZipParts{{"hello.txt", "hi"}}},
    };
    for (const auto& [name, parts] : wrong) {
        ASSERT_TRUE(WriteZip(dir / name, parts)) << name;
        Sheet sheet;
        std::string error;
        EXPECT_FALSE(ReadSheet(dir / name, "", sheet, error)) << name;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_NE(error.find(name), std::string::npos) << error;  // the file is named
    }
    ZipParts noSheet = XlsxParts({{"S", XlsxRow(1, {"a"})}}, "");
    noSheet.erase(std::remove_if(noSheet.begin(), noSheet.end(),
                                 [](const auto& p) { return p.first == "xl/worksheets/sheet1.xml"; }),
                  noSheet.end());
    ASSERT_TRUE(WriteZip(dir / "nosheet.xlsx", noSheet));
    Sheet sheet;
    std::string error;
    EXPECT_FALSE(ReadSheet(dir / "nosheet.xlsx", "", sheet, error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

TEST(XlsxReader, SurvivesRandomBytesInEveryPart) {
    TempDir dir;
    std::mt19937 random(17);
    const ZipParts parts = XlsxParts({{"S", XlsxRow(1, {"Series", "1000"}) + XlsxRow(2, {"FL", "3"})}},
                                     SharedStrings({"a", "b"}));
    for (int round = 0; round < 60; ++round) {
        ZipParts damaged = parts;
        auto& part = damaged[static_cast<std::size_t>(round) % damaged.size()].second;
        for (int k = 0; k < 6 && !part.empty(); ++k)
            part[random() % part.size()] = static_cast<char>(random() % 256);
        ASSERT_TRUE(WriteZip(dir / "r.xlsx", damaged));
        Sheet sheet;
        std::string error;
        EXPECT_TRUE(ReadSheet(dir / "r.xlsx", "", sheet, error) || !error.empty());
    }
}

TEST(OdsReader, RepeatsTypedValuesAndTexts) {
    TempDir dir;
    const std::string table =
        "<table:table table:name=\"Stock\">"
        "<table:table-column table:number-columns-repeated=\"16384\"/>"
        "<table:table-header-rows><table:table-row>" +
        OdsText("Series") + OdsText("Width") + "<table:table-cell table:number-columns-repeated=\"2\"/>" +
        OdsText("Note") +
        "</table:table-row></table:table-header-rows>"
        // The value, not the text shown in the user's locale; a text cell with a decimal comma.
        "<table:table-row>" +
        OdsText("FL") + OdsNumber("3210.5", "3.210,50") +
        "<table:table-cell office:value-type=\"date\" "
        "office:date-value=\"2024-05-01T00:00:00\"><text:p>01/05/24</text:p></table:table-cell>" +
        OdsText("1000,5") +
        "<table:table-cell><text:p>a<text:s text:c=\"3\"/>b</text:p><text:p>c</text:p></table:table-cell>"
        "<table:table-cell table:number-columns-repeated=\"16379\"/></table:table-row>"
        // Empty rows between data, a row repeated with content, covered cells of a merge.
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
        "table:number-columns-repeated=\"1024\"/></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"3\">" +
        OdsText("FL") + "<table:covered-table-cell/>" +
        "<table:table-cell office:value-type=\"float\" office:value=\"7\" "
        "table:number-columns-repeated=\"2\"><text:p>7</text:p></table:table-cell>"
        "</table:table-row>"
        // The million empty rows a sheet ends with.
        "<table:table-row table:number-rows-repeated=\"1048560\"><table:table-cell "
        "table:number-columns-repeated=\"16384\"/></table:table-row>"
        "</table:table>"
        "<table:table table:name=\"Second\"><table:table-row>" +
        OdsText("x") + "</table:table-row></table:table>";
    ASSERT_TRUE(WriteOds(dir / "s.ods", table));
    const auto start = std::chrono::steady_clock::now();
    const Sheet sheet = Read(dir / "s.ods");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(sheet.name, "Stock");
    ASSERT_EQ(sheet.rows.size(), 5u);
    EXPECT_EQ(Cell(sheet, 1, 4), "Note");
    EXPECT_EQ(Cell(sheet, 2, 1), "3210.5");
    EXPECT_EQ(Cell(sheet, 2, 2), "2024-05-01");
    EXPECT_EQ(Cell(sheet, 2, 3), "1000,5");
    EXPECT_EQ(Cell(sheet, 2, 4), "a   b\nc");
    EXPECT_EQ(Cell(sheet, 5, 0), "FL");
    EXPECT_EQ(Cell(sheet, 7, 3), "7");
    EXPECT_EQ(Cell(sheet, 8, 0), "<no row>");
    EXPECT_EQ(sheet.columnCount(), 5);
    EXPECT_EQ(Read(dir / "s.ods", "Second").rows.size(), 1u);

    // A sheet repeating a filled row a million times is refused, not held in memory.
    ASSERT_TRUE(
        WriteOds(dir / "huge.ods",
                 "<table:table table:name=\"H\"><table:table-row table:number-rows-repeated=\"1048576\">"
                 "<table:table-cell table:number-columns-repeated=\"100\" office:value-type=\"float\" "
                 "office:value=\"1\"/>"
                 "</table:table-row></table:table>"));
    Sheet huge;
    std::string error;
    EXPECT_FALSE(ReadSheet(dir / "huge.ods", "", huge, error));
    EXPECT_NE(error.find("500000 cells"), std::string::npos) << error;
    // So is one holding a cell in column XFD on every row: each row counts up to that cell.
    ASSERT_TRUE(WriteOds(dir / "wide.ods",
                         "<table:table table:name=\"W\"><table:table-row table:number-rows-repeated=\"40\">"
                         "<table:table-cell table:number-columns-repeated=\"16383\"/>" +
                             OdsText("far") + "</table:table-row></table:table>"));
    EXPECT_FALSE(ReadSheet(dir / "wide.ods", "", huge, error));
    EXPECT_NE(error.find("500000 cells"), std::string::npos) << error;
    // Twenty thousand rows of twenty columns are read whole.
    ASSERT_TRUE(
        WriteOds(dir / "long.ods",
                 "<table:table table:name=\"L\"><table:table-row table:number-rows-repeated=\"20000\">"
                 "<table:table-cell table:number-columns-repeated=\"20\" office:value-type=\"float\" "
                 "office:value=\"1\"/></table:table-row></table:table>"));
    Sheet rows;
    ASSERT_TRUE(ReadSheet(dir / "long.ods", "", rows, error)) << error;
    EXPECT_EQ(rows.rows.size(), 20000u);
    EXPECT_EQ(rows.columnCount(), 20);
    // A lowered bound (the fuzz targets') refuses the same sheet on the same road, and the
    // bound never rises above the readers' own.
    LowerMaxSheetCells(1000);
    EXPECT_FALSE(ReadSheet(dir / "long.ods", "", rows, error));
    EXPECT_NE(error.find("1000 cells"), std::string::npos) << error;
    LowerMaxSheetCells(kMaxSheetCells * 4);
    EXPECT_EQ(MaxSheetCells(), kMaxSheetCells);

    ASSERT_TRUE(WriteOds(dir / "bad.ods", "<table:table table:name=\"B\"><table:table-row></table:table>"));
    EXPECT_FALSE(ReadSheet(dir / "bad.ods", "", huge, error));
    EXPECT_NE(error.find("content.xml"), std::string::npos) << error;
    ASSERT_TRUE(
        WriteZip(dir / "nocontent.ods", {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}}));
    EXPECT_FALSE(ReadSheet(dir / "nocontent.ods", "", huge, error));
    EXPECT_NE(error.find("content.xml"), std::string::npos) << error;
}

TEST(CsvReader, WindowsStationFiles) {
    TempDir dir;
    // Windows-1252, CR LF, ";" with decimal commas, a quoted field holding the separator, a
    // doubled quote and a line break.
    WriteText(dir / "w.csv",
              "Serie;Larghezza;Nota\r\nFL;1000,5;\"Caf\xE9; \"\"bar\"\"\r\nline\"\r\n\r\nFL;2,5;\x80 5\r\n");
    Sheet sheet = Read(dir / "w.csv");
    EXPECT_EQ(sheet.name, "w.csv");
    ASSERT_EQ(sheet.rows.size(), 3u);
    EXPECT_EQ(Cell(sheet, 2, 1), "1000,5");
    EXPECT_EQ(Cell(sheet, 2, 2), "Caf\xC3\xA9; \"bar\"\r\nline");
    EXPECT_EQ(Cell(sheet, 4, 2), "\xE2\x82\xAC 5");  // the euro sign of the code page

    // UTF-8 with its byte order mark, "," separated; a tab-separated file; a lone CR line end.
    WriteText(dir / "u.csv", "\xEF\xBB\xBFSeries,Width\nFL,\"1,000.5\"\nGR\xC3\x9c,3\n");
    sheet = Read(dir / "u.csv");
    EXPECT_EQ(Cell(sheet, 1, 0), "Series");
    EXPECT_EQ(Cell(sheet, 2, 1), "1,000.5");
    EXPECT_EQ(Cell(sheet, 3, 0), "GR\xC3\x9c");
    WriteText(dir / "t.txt", "a\tb;c\r1\t2,5\r");
    sheet = Read(dir / "t.txt");
    EXPECT_EQ(Cell(sheet, 1, 1), "b;c");
    EXPECT_EQ(Cell(sheet, 2, 1), "2,5");
    // UTF-16 as "Unicode text" saves it.
    WriteText(dir / "w16.txt", std::string("\xFF\xFE"
                                           "a\0\t\0\xE9\0\n\0",
                                           10));
    sheet = Read(dir / "w16.txt");
    EXPECT_EQ(Cell(sheet, 1, 1), "\xC3\xA9");
    // The office programs' "sep=" line.
    WriteText(dir / "sep.csv", "sep=,\r\na;b,c\r\n");
    sheet = Read(dir / "sep.csv");
    EXPECT_EQ(Cell(sheet, 1, 0), "a;b");

    EXPECT_EQ(GuessCsvSeparator("a;b;c\n1,5;2,5;3\n"), ';');
    EXPECT_EQ(GuessCsvSeparator("a,b,c\n1,2,3\n"), ',');
    EXPECT_EQ(GuessCsvSeparator("a\tb\n1,5\t2\n"), '\t');

    std::string error;
    EXPECT_FALSE(ReadSheet(dir / "none.csv", "", sheet, error));
    EXPECT_NE(error.find("no such file"), std::string::npos);
    EXPECT_FALSE(ReadSheet(dir / "w.csv", "Other", sheet, error));
    WriteText(dir / "old.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest", 13));
    EXPECT_FALSE(ReadSheet(dir / "old.xls", "", sheet, error));
    EXPECT_NE(error.find(".xls"), std::string::npos);
}

TEST(SheetReaders, SurviveAnyBytes) {
    std::mt19937 random(4711);
    TempDir dir;
    ASSERT_TRUE(WriteOds(dir / "o.ods", "<table:table table:name=\"T\"><table:table-row>" + OdsText("a") +
                                            OdsNumber("1", "1") + "</table:table-row></table:table>"));
    const std::string ods = ReadText(dir / "o.ods");
    for (int round = 0; round < 200; ++round) {
        std::string bytes(static_cast<std::size_t>(random() % 300), '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 256);
        // Some rounds start as the files do, so the readers get past their first test.
        if (round % 3 == 1) bytes = "PK\x03\x04" + bytes;
        if (round % 3 == 2) bytes = ods.substr(0, random() % ods.size()) + bytes;
        Sheet sheet;
        std::string error;
        error.clear();
        EXPECT_TRUE(ReadCsv(bytes, sheet, error) || !error.empty());
        error.clear();
        EXPECT_TRUE(ReadOds(bytes, "", sheet, error) || !error.empty());
        error.clear();
        EXPECT_TRUE(ReadXlsx(bytes, "", sheet, error) || !error.empty());
        error.clear();
        XniTemplate xni;
        EXPECT_TRUE(xni.parse(bytes, error) || !error.empty());
    }
}
