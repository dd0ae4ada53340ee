#pragma once
// The cutting sheets of a whole job as one PDF: a first page listing the job and every optimised
// material with its patterns, one page per pattern with the layout drawn to scale, its header and
// its piece table (the engine viewer's page layout, given the program's own material texts and
// unit), and the job report. Drawn with Qt's PDF writer (Qt GUI only, no widgets), so the batch
// tool prints the same sheets as the windows. A material whose stored result cannot be read is
// named on the first page and in the report, never left out silently.

#include <string>
#include <vector>

#include "model/MaterialKey.h"

namespace tavrel {

struct CurrentUnit;
struct Job;
struct StoredMaterialResult;

enum class SheetPaper { A4, A3 };

struct CuttingSheetOptions {
    SheetPaper paper = SheetPaper::A4;
    // Landscape by default: a plate is wider than high, and beside the drawing there is room for
    // the piece table, so the drawing gets the page's full height.
    bool landscape = true;
};

// "A4" or "A3" (any case) to a paper; false for anything else.
bool ParseSheetPaper(const std::string& text, SheetPaper& paper);

struct UnprintedMaterial {
    MaterialKey key;
    std::string reason;  // StoredResultProblem: what is wrong, naming the result file
};

struct CuttingSheetsReport {
    bool written = false;
    int pages = 0;         // every page of the PDF
    int patternPages = 0;  // pages of the patterns (a long piece table may take more than one)
    int materials = 0;     // materials printed
    std::vector<UnprintedMaterial> unprinted;  // materials without a readable stored result
    std::string error;                         // why the file was not written, naming it

    // Written, and no material left out.
    bool complete() const { return written && unprinted.empty(); }
};

// The PDF's bytes of the job's stored results (ReadStoredResults), lengths in `unit`; `report`
// gets the pages and the materials left out. Empty when no page could be drawn.
std::string CuttingSheetsPdf(const Job& job, const std::vector<StoredMaterialResult>& results,
                             const CurrentUnit& unit, const CuttingSheetOptions& options,
                             CuttingSheetsReport& report);
// The PDF written to `path` through the safe save. A job without a single readable result is
// not written (an empty sheet would pass for a plan): `error` says so.
CuttingSheetsReport WriteCuttingSheetsPdf(const Job& job, const std::vector<StoredMaterialResult>& results,
                                          const CurrentUnit& unit, const CuttingSheetOptions& options,
                                          const std::string& path);

}  // namespace tavrel
