#pragma once
// What goes on the label stuck to each cut piece, and in which order the labels come: one label
// per piece of every stored result, in the order the pieces come off the cutting table (the
// job's materials in run order, their patterns in turn, every plate of a pattern on its own,
// the pieces of a plate in cutting order), so the worker peels the next label for the next
// piece. Texts are ready to print (UTF-8; a Windows station's bytes converted); the print unit
// only lays them out and draws the barcode.

#include <string>
#include <vector>

#include "results/JobReport.h"

namespace tavrel {

struct CurrentUnit;
struct Job;

struct PieceLabel {
    std::string job;       // the job's name
    std::string jobCode;   // the job file's name without folder and extension
    std::string customer;  // the job's customer
    std::string pieceId;   // as the result holds it
    std::string size;      // finished size as ordered, "1180.0 x 760.0 mm" in the installation's unit
    std::string material;  // "FL, 4MM, SATIN", as the program lists materials
    std::string text1;     // the piece's two extra texts, empty when the job no longer has the piece
    std::string text2;
    long run = 0;         // the material's result number
    long pattern = 0;     // 1-based among the material's patterns
    long plate = 0;       // 1-based over the material's plates, as the cutting sheets count them
    long plates = 0;      // plates of the material
    std::string barcode;  // LabelBarcodeText(jobCode, pieceId)
};

// More labels than this come from a damaged result, not from a workshop's job: the command
// refuses them instead of writing a PDF of millions of pages.
constexpr long kMaxPieceLabels = 200000;

struct PieceLabelSet {
    std::vector<PieceLabel> labels;
    int unread = 0;        // materials whose stored result gave no labels
    bool tooMany = false;  // kMaxPieceLabels exceeded: no labels at all
    long wanted = 0;       // labels the results ask for
};

// The labels of every stored result that was read; a material without a readable result is
// counted in `unread` (the caller names it with StoredResultProblem).
PieceLabelSet BuildPieceLabels(const Job& job, const std::string& jobPath,
                               const std::vector<StoredMaterialResult>& results, const CurrentUnit& unit);

// The indices of a pattern's pieces in the order they come free: a piece is free once the last
// of the cuts along its edges is made, the cuts taken in the order the engine derives for the
// cutter. Pieces freed by the same cut come lower side first. A pattern the cuts cannot be
// derived for keeps the order of its result file.
std::vector<size_t> PiecesInCutOrder(const ResultPattern& pattern);

// The barcode's text: job code, "/", piece identifier. A file name cannot hold "/", so a reader
// splits at the first one and gets both back whatever the identifier holds.
std::string LabelBarcodeText(const std::string& jobCode, const std::string& pieceId);

}  // namespace tavrel
