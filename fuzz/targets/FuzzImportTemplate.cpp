// Import templates (XNI), as the spreadsheet import programs read them: any bytes as a template,
// the promises of the reader checked (every output column names a field, every listed value has
// a part per field of its list), and a template that suits an import runs that import's mapping,
// checks and result text on a workshop sheet. Nothing is written where the template points: a
// fuzzed template names any folder. With bit 4 of the first byte the bytes are the programs'
// command line instead.

#include "ImportFuzz.h"
#include "ImportRun.h"

using namespace tavrel;

namespace {

// The sample order of the demo installation and a delivery of plates below it, with a row in
// inches, a decimal comma and a treatment in Windows-1252.
Sheet WorkshopSheet(const ImportPlan& plan) {
    const std::vector<std::vector<std::string>> rows = {
        {"Piece ID", "Series", "Code", "Treatment", "Qty", "Width (mm)", "Height (mm)", "Customer",
         "Priority"},
        {"K1", "FL", "4MM", "", "2", "1000", "500", "Rossi kitchen", "10"},
        {"K2", "FL", "4MM", "SATIN", "4", "716,5", "1250", "Rossi kitchen", "0"},
        {"K3", "FL", "8MM", "SMERIGLIATO \xC8", "1", "94.488", "23.622", "Bianchi", "999"},
        {"K4", "LAM", "44-2", "", "2", "900", "2100", "", ""},
        {"", "FL", "6MM", "", "10", "3210", "2250", "", "20"}};
    Sheet sheet;
    sheet.name = "Kitchen";
    long number = 1;
    // The template's own labels first, so the labels are matched as well as the usual words.
    SheetRow labels;
    labels.number = number++;
    for (const PlannedField& field : plan.fields()) labels.cells.push_back(field.title);
    sheet.rows.push_back(labels);
    for (const auto& cells : rows) {
        SheetRow row;
        row.number = number++;
        row.cells = cells;
        sheet.rows.push_back(row);
    }
    return sheet;
}

void ReadCommandLine(const std::string& line) {
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find(' ', start);
        if (end == std::string::npos) end = line.size();
        if (end > start) args.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    ImportOptions options;
    std::string error;
    if (ParseImportArguments(args, options, error))
        FuzzCheck(!options.templatePath.empty(), "a command line that reads names its template");
    else
        FuzzCheck(!error.empty(), "a refused command line says why");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ImportChoice choice = SplitImportInput(data, size);
    if (choice.wholeFile) {
        ReadCommandLine(choice.content);
        return 0;
    }
    XniTemplate xni;
    std::string error;
    if (!xni.parse(choice.content, error)) {
        FuzzCheck(!error.empty(), "a refused template says why");
        return 0;
    }
    FuzzCheck(!xni.fields().empty() && !xni.outputColumns().empty(),
              "a template read has fields and columns");
    for (const std::string& column : xni.outputColumns())
        FuzzCheck(xni.field(column) != nullptr, "every output column names a field");
    for (const XniValue& value : xni.values()) {
        const auto tree = xni.trees().find(value.tree);
        FuzzCheck(tree != xni.trees().end() && value.parts.size() == tree->second.size(),
                  "every listed value has a part per field of its list");
    }
    (void)PiecesResultPath(xni, "order.2024.xlsx");

    for (const ImportKind kind : {ImportKind::Pieces, ImportKind::Plates}) {
        ImportPlan plan;
        if (!plan.prepare(xni, kind, error)) continue;
        const Sheet sheet = WorkshopSheet(plan);
        ColumnMapping mapping = GuessMapping(plan, sheet);
        if (mapping.headerRow < 0) {
            std::string map;
            for (std::size_t f = 0; f < plan.fields().size() && f < 26; ++f)
                map += plan.fields()[f].def->name + "=" + ColumnName(static_cast<int>(f)) + ";";
            FuzzCheck(ParseMapping(map, plan, sheet, mapping, error), "a mapping of column letters reads");
        }
        const CheckedRows rows = CheckRows(plan, sheet, mapping, choice.sheetUnit);
        FuzzCheck(rows.records.size() == rows.rowNumbers.size(), "each record has its row");
        for (const auto& record : rows.records)
            FuzzCheck(record.size() == xni.outputColumns().size(), "a record holds every output column");
        if (kind == ImportKind::Pieces) {
            // The result of a template of another layout means nothing to the program; its reader
            // must still take it without harm.
            static const std::string path = FuzzScratchPath("order.TVX");
            WriteScratch(path, PiecesResultText(xni, rows, "order.xlsx, Kitchen"));
            Job job;
            (void)job.importSpreadsheet(path, choice.unit);
        }
    }
    return 0;
}
