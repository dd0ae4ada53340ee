#pragma once
// The piece labels as a PDF on one of the known label sheets: each label with its piece's
// identifier and size large enough to read at the rack, the material, pattern and plate, the
// job, the customer and the piece's extra texts, and a Code 128 barcode of job and piece. Drawn
// with Qt's PDF writer (Qt GUI only, no widgets), so the batch tool prints the same labels as
// the windows; the barcode comes from libzint.

#include <memory>
#include <string>
#include <vector>

namespace tavrel {

struct LabelSheet;
struct PieceLabel;

struct LabelPdfReport {
    bool written = false;
    int pages = 0;
    // Pieces (by identifier, each once) whose barcode could not be made, or whose bars came out
    // narrower than a scanner reliably reads on this sheet; printed all the same, with the
    // barcode's text beneath.
    std::vector<std::string> noBarcode;
    std::vector<std::string> narrowBarcode;
    std::string error;  // why the file was not written, naming it
};

// The PDF's bytes; `report` gets the pages and the barcode problems.
std::string LabelPdf(const std::vector<PieceLabel>& labels, const LabelSheet& sheet, LabelPdfReport& report);
// The PDF written to `path` through the safe save.
LabelPdfReport WriteLabelPdf(const std::vector<PieceLabel>& labels, const LabelSheet& sheet,
                             const std::string& path);

// The thinnest bar, in millimetres, that the labels still print as a working barcode.
constexpr double kMinBarcodeModule = 0.19;

// Qt draws text only with a GUI application. A program without one (the batch tool) holds this
// while it prints: it makes an application on the off-screen platform, which needs no display,
// and removes it again. Where an application exists it does nothing.
class PrintingApplication {
public:
    PrintingApplication();
    ~PrintingApplication();
    PrintingApplication(const PrintingApplication&) = delete;
    PrintingApplication& operator=(const PrintingApplication&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tavrel
