#pragma once
// Where everything of the cutting sheets goes on its page, apart from the PDF writer: the first
// page (the job and its materials' patterns), the pattern pages (the engine viewer's plan pages
// with the program's material texts and unit) and the job report, in device pixels of a page at
// a given resolution. The writer paints these layouts; the tests read them.

#include <string>
#include <vector>

#include <QFont>
#include <QRectF>
#include <QSizeF>

#include "results/ui/print/CuttingSheetsPdf.h"
#include "viewer/PlanPage.h"

class QPainter;

namespace tavrel {

// Margins of every page in millimetres: clear of any printer's unprintable border.
constexpr double kSheetMarginMm = 10.0;

// The paper in millimetres as it lies (a landscape A4 is 297 x 210).
QSizeF SheetPaperMm(const CuttingSheetOptions& options);

enum class SheetPageKind { Contents, Pattern, Report };

struct SheetPage {
    SheetPageKind kind = SheetPageKind::Contents;
    size_t result = 0;  // Pattern pages: the index of the material's stored result
    PlanPageLayout layout;
};

struct CuttingSheetsLayout {
    QRectF page;  // the printable area in device pixels, origin at the top-left margin
    double dotsPerMm = 0.0;
    QFont font;
    std::vector<SheetPage> pages;
    int materials = 0;  // materials with patterns printed
    std::vector<UnprintedMaterial> unprinted;
};

// The type family of every page: one the Debian systems the program runs on all have, with
// every Latin-1 and Windows-1252 letter a job may hold.
QFont SheetFont();

// Every page of the job's cutting sheets on the options' paper at `dotsPerMm`.
CuttingSheetsLayout LayOutCuttingSheets(const Job& job, const std::vector<StoredMaterialResult>& results,
                                        const CurrentUnit& unit, const CuttingSheetOptions& options,
                                        double dotsPerMm);

// Paints one page of a layout made from `results`.
void PaintSheetPage(QPainter& painter, const std::vector<StoredMaterialResult>& results,
                    const SheetPage& page);

}  // namespace tavrel
