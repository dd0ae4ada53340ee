// The rules both import programs share: the template read, the mapping guessed from headers,
// the numbers of a workshop's sheet, every row checked into records or problems.

#include <chrono>

#include <gtest/gtest.h>

#include "ImportFiles.h"
#include "ImportRules.h"

using namespace tavrel;

namespace {

const MaterialLines kMaterials = {
    {"FL", "4MM", ""}, {"FL", "4MM", "SAT"}, {"FL", "6MM", ""}, {"VS", "33_1", "ACIDAT\xC9"}};

struct Prepared {
    XniTemplate xni;
    ImportPlan plan;
};

void Prepare(Prepared& p, const std::string& text, ImportKind kind = ImportKind::Pieces) {
    std::string error;
    ASSERT_TRUE(p.xni.parse(text, error)) << error;
    ASSERT_TRUE(p.plan.prepare(p.xni, kind, error)) << error;
}

Sheet MakeSheet(const std::vector<std::vector<std::string>>& rows) {
    Sheet sheet;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        bool any = false;
        for (const auto& c : rows[r]) any = any || !c.empty();
        if (any) sheet.rows.push_back({static_cast<long>(r + 1), rows[r]});
    }
    return sheet;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts) out += (out.empty() ? "" : ";") + p;
    return out;
}

}  // namespace

TEST(XniTemplateRead, FieldsColumnsTreesAndValues) {
    Prepared p;
    Prepare(p, PlatesTemplate("/imp", "/dat/Plates.dat", {{"FL", "4MM", ""}, {"FL", "4MM", "SAT"}}),
            ImportKind::Plates);
    EXPECT_EQ(p.xni.general("format"), "TAVREL_plates");
    EXPECT_EQ(p.xni.general("PLATESORIGINALFILE"), "/dat/Plates.dat");
    ASSERT_EQ(p.xni.fields().size(), 11u);
    EXPECT_EQ(p.xni.field("F_8")->label, "Plate_edge_trim");
    EXPECT_EQ(p.xni.field("F_5")->kind, FieldKind::Decimal);
    EXPECT_EQ(p.xni.field("F_5")->decimals, 3);
    EXPECT_EQ(p.xni.field("F_1")->kind, FieldKind::ListedText);
    EXPECT_EQ(p.xni.field("F_1")->maxLength, 7);
    EXPECT_EQ(p.xni.field("F_11")->kind, FieldKind::Hidden);
    EXPECT_EQ(p.xni.field("F_11")->constant, "0.000000");
    EXPECT_EQ(p.xni.outputColumns().size(), 11u);
    ASSERT_EQ(p.xni.values().size(), 2u);
    EXPECT_EQ(p.xni.values()[0].parts, (std::vector<std::string>{"FL", "4MM", ""}));
    EXPECT_EQ(p.plan.fields().size(), 9u);  // the two hidden ones are not mapped

    Prepared pieces;
    Prepare(pieces, PiecesTemplate("/imp", kMaterials));
    EXPECT_TRUE(pieces.xni.field("F_1")->key);
    EXPECT_EQ(pieces.xni.field("F_1")->maxLength, 16);
    EXPECT_EQ(pieces.plan.fields().size(), 9u);           // F_8 is hidden
    EXPECT_EQ(pieces.plan.fields()[0].def->name, "F_5");  // in output order

    // Each program refuses the other's template, and templates that are none.
    std::string error;
    EXPECT_FALSE(pieces.plan.prepare(p.xni, ImportKind::Pieces, error));
    EXPECT_NE(error.find("PlatesExcelImport"), std::string::npos);
    EXPECT_FALSE(p.plan.prepare(pieces.xni, ImportKind::Plates, error));
    XniTemplate bad;
    EXPECT_FALSE(bad.parse("[XNI_GENERAL]\nFORMAT=TAVREL\n", error));
    EXPECT_FALSE(bad.parse("[XNI_FIELDS]\nF_1=a|N\n[XNI_OUT_FIELDS_MAP]\nO_1=F_9\n", error));
    EXPECT_NE(error.find("unknown field"), std::string::npos);
    EXPECT_FALSE(bad.parse("[XNI_FIELDS]\nF_1=a|N\n[XNI_OUT_FIELDS_MAP]\nO_2=F_1\n", error));
    EXPECT_FALSE(bad.parse(std::string("\x00\xff[\x01=\n=\n[", 8), error));
}

TEST(HeaderGuess, LabelsEnglishAndItalianWords) {
    EXPECT_EQ(HeaderWord("  Width (mm) "), "width");
    EXPECT_EQ(HeaderWord("Q.t\xC3\xA0"), "q ta");
    EXPECT_EQ(HeaderWord("PRIORIT\xC3\x80:"), "priorita");
    EXPECT_EQ(HeaderWord("Orientation(0/1/2->Vert/Oriz/V+O)"), "orientation");
    EXPECT_EQ(HeaderWord("Plate_edge_trim"), "plate edge trim");
    EXPECT_EQ(HeaderWord("Priorit\xE0"), "priorita");  // Windows-1252

    Prepared p;
    Prepare(p, PiecesTemplate("/imp", kMaterials));
    auto column = [&](const ColumnMapping& m, const std::string& field) {
        return m.columns[static_cast<std::size_t>(p.plan.indexOf(field))];
    };
    // The template's labels in any case, a title row above them.
    Sheet sheet =
        MakeSheet({{"Kitchen job 4711"},
                   {"PIECE ID", "qty", "WIDTH", "Height", "series", "Code", "treatment", "", "Extra Text 1"},
                   {"P1", "2", "1000", "500", "FL", "4MM"}});
    ColumnMapping m = GuessMapping(p.plan, sheet);
    EXPECT_EQ(m.headerRow, 1);
    EXPECT_EQ(column(m, "F_1"), 0);
    EXPECT_EQ(column(m, "F_3"), 2);
    EXPECT_EQ(column(m, "F_5"), 4);
    EXPECT_EQ(column(m, "F_9"), 8);
    EXPECT_EQ(column(m, "F_10"), -1);
    // Italian words, in another order, with units and accents.
    sheet = MakeSheet({{"Rif.", "Serie", "Codice", "Trattamento", "Q.t\xC3\xA0", "Larghezza (mm)",
                        "Altezza (mm)", "Cliente", "Commessa"}});
    m = GuessMapping(p.plan, sheet);
    EXPECT_EQ(m.headerRow, 0);
    for (const auto& [field, c] : std::vector<std::pair<std::string, int>>{{"F_1", 0},
                                                                           {"F_5", 1},
                                                                           {"F_6", 2},
                                                                           {"F_7", 3},
                                                                           {"F_2", 4},
                                                                           {"F_3", 5},
                                                                           {"F_4", 6},
                                                                           {"F_9", 7},
                                                                           {"F_10", 8}})
        EXPECT_EQ(column(m, field), c) << field;
    // A header the guess cannot read: no header row.
    EXPECT_EQ(GuessMapping(p.plan, MakeSheet({{"Foo", "Bar"}, {"1", "2"}})).headerRow, -1);

    // A mapping by letters; the header row still found, or told from text in a number column.
    std::string error;
    ASSERT_TRUE(ParseMapping("F_5=B; F_6=c;F_2=AB;F_3=D;F_4=E", p.plan, sheet, m, error)) << error;
    EXPECT_EQ(column(m, "F_2"), 27);
    EXPECT_EQ(column(m, "F_1"), -1);
    EXPECT_EQ(m.headerRow, 0);
    const Sheet unnamed = MakeSheet({{"x", "y", "Breite", "Hohe"}, {"FL", "4MM", "100", "200"}});
    ASSERT_TRUE(ParseMapping("F_5=A;F_6=B;F_3=C;F_4=D;F_2=C", p.plan, unnamed, m, error));
    EXPECT_EQ(m.headerRow, 0);
    const Sheet bare = MakeSheet({{"FL", "4MM", "100", "200"}});
    ASSERT_TRUE(ParseMapping("F_5=A;F_6=B;F_3=C;F_4=D;F_2=C", p.plan, bare, m, error));
    EXPECT_EQ(m.headerRow, -1);
    EXPECT_FALSE(ParseMapping("F_5=A1", p.plan, bare, m, error));
    EXPECT_NE(error.find("A1"), std::string::npos);
    EXPECT_FALSE(ParseMapping("F_8=A", p.plan, bare, m, error));  // hidden
    EXPECT_FALSE(ParseMapping("F_99=A", p.plan, bare, m, error));
    EXPECT_FALSE(ParseMapping("F_5", p.plan, bare, m, error));
}

// The guess of a sheet as wide as the office programs make it took 20 s before it indexed the
// fields' words; the sanitizers' unoptimised build, on a machine busy with other work, takes up
// to a second where the release build takes milliseconds.
#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
constexpr std::chrono::milliseconds kQuickGuess{4000};
#else
constexpr std::chrono::milliseconds kQuickGuess{400};
#endif

TEST(HeaderGuess, RowsAsWideAsTheSheetGuessQuickly) {
    Prepared p;
    Prepare(p, PiecesTemplate("/imp", kMaterials));
    // A note copied across nine rows of the whole sheet width, then the header, its last word
    // repeated to the sheet's end: the guess looks at every cell of the ten rows.
    std::vector<std::vector<std::string>> rows(9, std::vector<std::string>(kMaxSheetColumns, "Note"));
    std::vector<std::string> header(kMaxSheetColumns, "Customer");
    const std::vector<std::string> named = {"Series", "Code", "Qty", "Width (mm)", "Height (mm)"};
    for (std::size_t c = 0; c < named.size(); ++c) header[c] = named[c];
    rows.push_back(header);
    const Sheet sheet = MakeSheet(rows);
    const auto start = std::chrono::steady_clock::now();
    const ColumnMapping m = GuessMapping(p.plan, sheet);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kQuickGuess);
    EXPECT_EQ(m.headerRow, 9);
    auto column = [&](const std::string& field) {
        return m.columns[static_cast<std::size_t>(p.plan.indexOf(field))];
    };
    EXPECT_EQ(column("F_5"), 0);
    EXPECT_EQ(column("F_2"), 2);
    EXPECT_EQ(column("F_4"), 4);
    EXPECT_EQ(column("F_9"), 5) << "the first of the repeated words";
    EXPECT_EQ(column("F_1"), -1);
}

TEST(SheetNumbers, AsWorkshopSheetsWriteThem) {
    double v = 0;
    const std::vector<std::pair<std::string, double>> good = {
        {"1000", 1000},
        {"1000.5", 1000.5},
        {"1000,5", 1000.5},
        {"1.000,5", 1000.5},
        {"1,000.5", 1000.5},
        {"1 000", 1000},
        {"2.500.000", 2500000},
        {"1,000,000", 1000000},
        {"-3e2", -300},
        {"0,05", 0.05},
        {" 12 ", 12},
        {"1\xC2\xA0"
         "000,25",
         1000.25},
        {"3'210", 3210},
    };
    for (const auto& [text, value] : good) {
        ASSERT_TRUE(ParseSheetNumber(text, v)) << text;
        EXPECT_DOUBLE_EQ(v, value) << text;
    }
    for (const std::string text :
         {"", "abc", "12mm", "1,000,5", "1.0.0,5", "--1", "1e999", "0x10", "nan", "inf"})
        EXPECT_FALSE(ParseSheetNumber(text, v)) << text;
}

TEST(RowCheck, RecordsInOutputOrderAndProblemsNamingRowAndColumn) {
    Prepared p;
    Prepare(p, PiecesTemplate("/imp", kMaterials));
    Sheet sheet =
        MakeSheet({{"Piece ID", "Qty", "Width", "Height", "Series", "Code", "Treatment", "Extra text 1"},
                   {"P1", "2", "1000,5", "500", "FL", "4MM", "", "Rossi; Ltd"},
                   {},
                   {"", "1", "0.5", "2500000", "fl", "4mm", "sat"},
                   {"P3", "3", "10", "20", "VS", "33_1", "ACIDAT\xC3\x89"}});
    ColumnMapping m = GuessMapping(p.plan, sheet);
    CheckedRows rows = CheckRows(p.plan, sheet, m, SheetUnit::Millimetres);
    ASSERT_TRUE(rows.problems.empty()) << rows.problems.front();
    ASSERT_EQ(rows.records.size(), 3u);
    EXPECT_EQ(Joined(rows.records[0]), "FL;4MM;;2;1000.500;500.000;P1;;Rossi, Ltd;");
    // The catalogue's spelling, whatever the case the sheet used.
    EXPECT_EQ(Joined(rows.records[1]), "FL;4MM;SAT;1;0.500;2500000.000;;;;");
    // The catalogue's bytes (a Windows-1252 treatment) for the sheet's UTF-8 text.
    EXPECT_EQ(rows.records[2][2], "ACIDAT\xC9");
    EXPECT_EQ(rows.rowNumbers, (std::vector<long>{2, 4, 5}));

    // In inches, sizes arrive in millimetres.
    rows = CheckRows(p.plan, sheet, m, SheetUnit::Inches);
    ASSERT_TRUE(rows.problems.empty());
    EXPECT_EQ(rows.records[0][4], "25412.700");
    EXPECT_EQ(rows.records[0][3], "2");

    // Every problem of every row, each naming its row and column.
    sheet = MakeSheet({{"Piece ID", "Qty", "Width", "Height", "Series", "Code", "Treatment"},
                       {"P1", "2", "12a", "500", "FL", "4MM"},
                       {"P2", "1.5", "100", "", "FL", "4MM"},
                       {"P3", "1", "100", "100", "FL", "5MM", "SAT"},
                       {"P4", "0", "-1", "100", "FL", "4MM"},
                       {"ABCDEFGHIJKLMNOPQ", "1", "100", "100", "FL", "4MM"},
                       {"P6", "1", "100", "100", "FL", "4MM", "BRUSHED"}});
    rows = CheckRows(p.plan, sheet, GuessMapping(p.plan, sheet), SheetUnit::Millimetres);
    EXPECT_TRUE(rows.records.empty() || rows.records.size() < 6);
    const std::vector<std::string> expected = {
        "row 2, column C (Width): \"12a\" is not a number",
        "row 3, column B (Qty): \"1.5\" is not a whole number",
        "row 3, column D (Height): empty",
        "row 4, columns E, F, G (Series, Code, Treatment): \"FL / 5MM / SAT\" is not among the template's "
        "materials",
        "row 5, column B (Qty): \"0\" is not a quantity of at least 1",
        "row 5, column C (Width): \"-1\" is not a size above 0",
        "row 6, column A (Piece ID): \"ABCDEFGHIJKLMNOPQ\" is longer than 16 characters",
        "row 7, columns E, F, G (Series, Code, Treatment): \"FL / 4MM / BRUSHED\" is not among the "
        "template's materials",
    };
    EXPECT_EQ(rows.problems, expected);
    EXPECT_TRUE(rows.records.empty());

    // A required field without a column is one problem before any row.
    ColumnMapping partial = GuessMapping(p.plan, sheet);
    partial.columns[static_cast<std::size_t>(p.plan.indexOf("F_4"))] = -1;
    rows = CheckRows(p.plan, sheet, partial, SheetUnit::Millimetres);
    ASSERT_EQ(rows.problems.size(), 1u);
    EXPECT_EQ(rows.problems[0], "no column of the sheet gives \"Height\" (F_4)");
}

TEST(RowCheck, PlateRulesAndHiddenFields) {
    Prepared p;
    Prepare(p, PlatesTemplate("/imp", "/p", {{"FL", "4MM", ""}, {"LAM", "33", ""}}), ImportKind::Plates);
    Sheet sheet =
        MakeSheet({{"Series", "Code", "Quantity", "Width", "Height", "Priority", "Rifilo", "Orientamento"},
                   {"FL", "4MM", "7", "3210", "2250", "", "", "1"},
                   {"FL", "4MM", "1", "6000", "3210", "1000", "10", "3"},
                   {"FL", "4MM", "1", "6000", "3210", "2", "-5", "0"}});
    CheckedRows rows = CheckRows(p.plan, sheet, GuessMapping(p.plan, sheet), SheetUnit::Millimetres);
    const std::vector<std::string> expected = {
        "row 3, column F (Priority): \"1000\" is not a priority from 0 to 999",
        "row 3, column H (Orientation(0/1/2->Vert/Oriz/V+O)): \"3\" is not an orientation 0, 1 or 2",
        "row 4, column G (Plate_edge_trim): \"-5\" is not a length of 0 or more",
    };
    EXPECT_EQ(rows.problems, expected);
    ASSERT_EQ(rows.records.size(), 1u);
    EXPECT_EQ(Joined(rows.records[0]), "FL;4MM;;7;3210.000;2250.000;0;0.000;1;0;0.000000");
}
