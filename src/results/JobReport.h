#pragma once
// The yield and waste report of a job: per optimised material the plates its stored result cuts
// (by size and kind), the pieces, the areas, the offcuts it leaves and the offcuts it uses up,
// and the totals of the job. Figures come from the stored result files alone, read with the one
// result reader, so the report shows what was accepted, not what the job holds now. A material
// whose result cannot be read is kept in the report with the reason, never dropped.

#include <string>
#include <vector>

#include "files/EngineResult.h"
#include "model/MaterialKey.h"

namespace tavrel {

struct AppSettings;
struct CurrentUnit;
struct Job;

enum class StoredResultState { Read, Missing, Unreadable };

// One optimised material of a job with its stored result as read from the results folder.
struct StoredMaterialResult {
    MaterialKey key;
    long run = 0;  // the "R%02d" number of its result file
    std::string path;
    StoredResultState state = StoredResultState::Missing;
    std::string detail;  // what the reader found wrong (Unreadable only)
    ResultPlan plan;     // Read only
};

// The stored results of every optimised material of `job`, in the job's order. A result file
// that is there but holds a pattern no workshop could cut (a plate count below 1, a plate
// without a size) counts as unreadable: its figures would be nonsense.
std::vector<StoredMaterialResult> ReadStoredResults(const AppSettings& settings, const Job& job,
                                                    const std::string& jobPath);
// Why a stored result gives no figures, naming the file; empty for a result that was read.
std::string StoredResultProblem(const StoredMaterialResult& result);

// The size of a piece as ordered, on the plate as it is placed: the size its pattern's piece
// information gives for the identifier, when that fits the cut size as a grinding allowance
// would (the same amount on both sides); the cut size otherwise.
void FinishedSize(const ResultPattern& pattern, const ResultPiece& piece, engine::Length& width,
                  engine::Length& height);

// Lengths are tenths of a millimetre as the result holds them, areas square millimetres.
struct PlateUse {
    engine::Length width = 0;
    engine::Length height = 0;
    bool offcut = false;  // an offcut of the stock, else a stock plate
    long count = 0;
};

struct OffcutUse {
    engine::Length width = 0;
    engine::Length height = 0;
    long count = 0;
};

struct ReportFigures {
    long plates = 0;
    long pieces = 0;
    double pieceArea = 0.0;   // finished pieces
    double plateArea = 0.0;   // plates used, offcuts of the stock included
    double offcutArea = 0.0;  // reusable offcuts produced
    long offcutsProduced = 0;
    long offcutsConsumed = 0;  // offcuts of the stock cut again

    // Plate area that is neither a piece nor a kept offcut: trims, cuts, grinding, scraps.
    double wasteArea() const { return plateArea - pieceArea - offcutArea; }
    // Piece area over plate area in percent; 0 without plates.
    double yieldPercent() const { return plateArea > 0 ? 100.0 * pieceArea / plateArea : 0.0; }
    void add(const ReportFigures& other);
};

struct MaterialReport {
    MaterialKey key;
    long run = 0;
    std::string resultPath;
    StoredResultState state = StoredResultState::Missing;
    std::string problem;  // StoredResultProblem, empty when read
    ReportFigures figures;
    std::vector<PlateUse> plates;  // stock plates first, then offcuts; larger first
    std::vector<OffcutUse> offcuts;
};

struct JobReport {
    std::string name;
    std::string customer;
    std::string order;
    std::vector<MaterialReport> materials;
    ReportFigures totals;  // of the materials whose result was read
    int unread = 0;        // materials left out of the totals

    bool complete() const { return unread == 0; }
};

MaterialReport ReportOfResult(const StoredMaterialResult& result);
JobReport BuildJobReport(const Job& job, const std::vector<StoredMaterialResult>& results);

// The report as CSV (RFC 4180: commas, fields quoted when needed, CR LF, UTF-8 texts): one
// "material" row per material, its "plate" and "offcut" rows, and a "total" row. Lengths and
// areas are in `unit`, lengths with its decimals, areas and the yield with two.
std::string JobReportCsv(const JobReport& report, const CurrentUnit& unit);

// One CSV field: quoted (quotes doubled) when it holds a comma, quote, line break or edge blank.
std::string CsvField(const std::string& text);

}  // namespace tavrel
