#pragma once
// What the spreadsheet import targets share: the choices their first byte makes, zip files built
// in memory from the fuzzed parts (so the XML readers behind the archive get the bytes, not
// libzip's checks), and the import programs' work after the read, run on every sheet read. The
// pipeline runs the templates the program writes (for the demo's materials) through the mapping,
// the row checks and the writers, and asks that both ends agree: every record the import program
// writes the program's result reader takes, and every plate added to the catalogue reads back.

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>
#include <zip.h>

#include "FuzzInput.h"
#include "ImportOutput.h"
#include "ImportRules.h"
#include "Sheet.h"
#include "XniTemplate.h"
#include "ZipArchive.h"
#include "importing/PlatesImport.h"
#include "importing/SpreadsheetImport.h"
#include "model/Job.h"
#include "model/Material.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "model/SpreadsheetResult.h"

namespace tavrel {

// Sheets of a spreadsheet target stop at 20 000 cells instead of half a million: the readers
// take the same road to the bound and its refusal, and a run grown to the bound stays quick.
inline const bool kSmallSheets = (LowerMaxSheetCells(20000), true);

// A broken promise between the two programs: say which, then stop as a sanitizer would.
inline void FuzzCheck(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "import fuzz check failed: %s\n", what);
    std::abort();
}

// The first byte: bit 0 inches (the sheet's sizes and the program's unit), bits 1-2 the
// program's decimals (as FuzzUnit), bit 3 the plates import instead of the pieces import, bit 4
// the bytes are the whole file (else the parts of a file built from them), bit 5 a sheet is asked
// for by name.
struct ImportChoice {
    CurrentUnit unit;
    SheetUnit sheetUnit = SheetUnit::Millimetres;
    ImportKind kind = ImportKind::Pieces;
    bool wholeFile = false;
    bool namedSheet = false;
    std::string content;
};

inline ImportChoice SplitImportInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    const uint8_t selector = size > 0 ? data[0] : 0;
    ImportChoice choice;
    choice.unit = in.unit;
    choice.sheetUnit = (selector & 1) != 0 ? SheetUnit::Inches : SheetUnit::Millimetres;
    choice.kind = (selector & 8) != 0 ? ImportKind::Plates : ImportKind::Pieces;
    choice.wholeFile = (selector & 16) != 0;
    choice.namedSheet = (selector & 32) != 0;
    choice.content = in.content;
    return choice;
}

// The fuzzed parts of a file, in a fixed order, separated by this line; a part left off gets its
// default, a part given empty stays empty.
constexpr const char* kPartSeparator = "\n--part--\n";

inline std::vector<std::string> SplitParts(const std::string& content) {
    std::vector<std::string> parts;
    const std::string separator = kPartSeparator;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = content.find(separator, start);
        if (at == std::string::npos) {
            parts.push_back(content.substr(start));
            return parts;
        }
        parts.push_back(content.substr(start, at - start));
        start = at + separator.size();
    }
}

// A zip file of the parts, stored (not deflated: the readers see the same bytes either way, and
// the runs go to them rather than to zlib), made in memory. Empty when libzip refuses a name.
inline std::string ZipInMemory(const std::vector<std::pair<std::string, std::string>>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (buffer == nullptr) return {};
    zip_source_keep(buffer);  // the archive's close would free it; its bytes are read after
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    if (archive == nullptr) {
        zip_source_free(buffer);
        return {};
    }
    bool ok = true;
    for (const auto& [name, content] : parts) {
        zip_source_t* part = zip_source_buffer(archive, content.data(), content.size(), 0);
        const zip_int64_t index =
            part != nullptr ? zip_file_add(archive, name.c_str(), part, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8)
                            : -1;
        if (index < 0) {
            if (part != nullptr) zip_source_free(part);
            ok = false;
            break;
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    if (!ok || zip_close(archive) != 0) {
        zip_discard(archive);
        zip_source_free(buffer);
        return {};
    }
    std::string bytes;
    if (zip_source_open(buffer) == 0) {
        zip_source_seek(buffer, 0, SEEK_END);
        const zip_int64_t length = zip_source_tell(buffer);
        zip_source_seek(buffer, 0, SEEK_SET);
        if (length > 0) {
            bytes.resize(static_cast<std::size_t>(length));
            if (zip_source_read(buffer, bytes.data(), static_cast<zip_uint64_t>(length)) != length)
                bytes.clear();
        }
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return bytes;
}

// The materials of the demo catalogue, with a laminate and a treatment in Windows-1252 as a
// workshop's catalogue holds them.
inline MaterialList FuzzMaterials() {
    MaterialList materials;
    for (const auto& [serie, code, treatment] :
         std::vector<std::tuple<const char*, const char*, const char*>>{{"FL", "4MM", ""},
                                                                        {"FL", "4MM", "SATIN"},
                                                                        {"FL", "5MM", ""},
                                                                        {"FL", "6MM", ""},
                                                                        {"FL", "6MM", "SATIN"},
                                                                        {"FL", "8MM", ""},
                                                                        {"FL", "8MM", "SMERIGLIATO \xC8"},
                                                                        {"FL", "10MM", ""},
                                                                        {"ST", "4MM", ""}})
        materials.add(Material(serie, code, treatment));
    Material laminate("LAM", "44-2", "");
    laminate.components.add(MaterialKey("FL", "4MM", ""), false);
    laminate.components.add(MaterialKey("FL", "4MM", ""), false);
    materials.add(std::move(laminate));
    materials.sort(false);
    return materials;
}

// The two templates as the program writes them, read once per process. The pieces result goes
// to a scratch import folder, the plates into a scratch catalogue.
struct FuzzTemplates {
    std::string folder;
    std::string platesFile;
    XniTemplate pieces;
    XniTemplate plates;
};

inline const FuzzTemplates& ImportTemplates() {
    static const FuzzTemplates templates = [] {
        FuzzTemplates t;
        t.folder = FuzzScratchPath("IMPORT");
        ::mkdir(t.folder.c_str(), 0700);
        t.platesFile = t.folder + "/Plates.dat";
        const MaterialList materials = FuzzMaterials();
        std::string error;
        FuzzCheck(t.pieces.parse(PieceTemplateText(t.folder, "09/12/26 10:00:00", materials), error),
                  "the program's pieces template reads");
        FuzzCheck(
            t.plates.parse(PlatesTemplateText(t.folder, t.platesFile, "09/12/26 10:00:00", materials), error),
            "the program's plates template reads");
        return t;
    }();
    return templates;
}

// Millimetres with three decimals, the unit the plates import writes the catalogue in.
inline CurrentUnit CatalogueUnit() {
    CurrentUnit unit = FuzzUnit(0);
    unit.decimals = 3;
    unit.numberFormat = "%.3lf";
    return unit;
}

// The import run is skipped for sheets of more rows than this: a sheet of thousands runs the
// checks and writers for every row, so the runs would go to the writers' speed under the
// sanitizers rather than to new inputs (the test suite imports thousands of rows). The readers
// still read every sheet whole.
constexpr std::size_t kPipelineRows = 200;

// What ExcelImport or PlatesExcelImport do after reading `sheet`, without a window.
inline void RunImportPipeline(const Sheet& sheet, const ImportChoice& choice) {
    if (sheet.rows.size() > kPipelineRows) return;
    const FuzzTemplates& templates = ImportTemplates();
    const bool plates = choice.kind == ImportKind::Plates;
    const XniTemplate& xni = plates ? templates.plates : templates.pieces;
    ImportPlan plan;
    std::string error;
    FuzzCheck(plan.prepare(xni, choice.kind, error), "the program's template suits its import");

    // The header guessed, as a user without /MAP runs it; without one, each field from the
    // column of its place, as a /MAP of the columns in order.
    ColumnMapping mapping = GuessMapping(plan, sheet);
    if (mapping.headerRow < 0) {
        std::string map;
        for (std::size_t f = 0; f < plan.fields().size(); ++f)
            map += plan.fields()[f].def->name + "=" + ColumnName(static_cast<int>(f)) + ";";
        FuzzCheck(ParseMapping(map, plan, sheet, mapping, error), "a mapping of column letters reads");
    }
    const CheckedRows rows = CheckRows(plan, sheet, mapping, choice.sheetUnit);
    FuzzCheck(rows.records.size() == rows.rowNumbers.size(), "each record has its row");
    std::set<long> faulty;
    for (const auto& [row, problem] : rows.rowProblems) faulty.insert(row);
    for (long row : rows.rowNumbers)
        FuzzCheck(faulty.count(row) == 0, "a row with a problem makes no record");
    for (const auto& record : rows.records)
        FuzzCheck(record.size() == xni.outputColumns().size(), "a record holds every output column");
    if (rows.records.empty()) return;

    if (!plates) {
        std::string path;
        FuzzCheck(WritePiecesResult(xni, rows, "order.xlsx", sheet.name, path, error),
                  "the result is written");
        Job job;
        const SpreadsheetResultReport report = job.importSpreadsheet(path, choice.unit);
        FuzzCheck(report.read(), "the program reads the result");
        FuzzCheck(report.announced == static_cast<int>(rows.records.size()),
                  "the result announces its lines");
        FuzzCheck(report.dataLines == static_cast<int>(rows.records.size()), "every line is a data line");
        FuzzCheck(report.problems.empty(), "every checked record makes a piece");
        FuzzCheck(report.taken == static_cast<int>(rows.records.size()), "every record is taken");
        FuzzCheck(job.pieces.count() == report.taken - report.merged, "the pieces are the records, merged");
        ::unlink(path.c_str());
        return;
    }
    // A fresh catalogue each run, so a run's plates are its own.
    ::unlink(templates.platesFile.c_str());
    PlatesUpdate update;
    FuzzCheck(UpdatePlatesCatalogue(xni, rows, update, error), "the plates are added");
    FuzzCheck(update.before == 0 && update.added + update.merged == static_cast<int>(rows.records.size()),
              "every plate is added or merged");
    PlateList stock;
    FuzzCheck(stock.load(templates.platesFile, CatalogueUnit()), "the catalogue reads back");
    FuzzCheck(stock.count() == update.added, "every added plate reads back");
}

}  // namespace tavrel
