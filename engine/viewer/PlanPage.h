#pragma once
// The printed cutting plan: one pattern a page, each with a header (job, material, plate, how
// many plates, yield), the drawing and its piece table, everything laid out in millimetres of the
// page so an A4 sheet, an A3 sheet and a PDF read alike. A piece table too long for the pattern's
// page goes on into the pages after it.

#include <string>
#include <vector>

#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QString>

#include "files/EngineResult.h"
#include "viewer/PlanPainter.h"

class QPagedPaintDevice;
class QPainter;

// Type sizes of the page in millimetres.
constexpr double kTitleTypeMm = 5.0;
constexpr double kHeaderTypeMm = 3.5;
constexpr double kTableTypeMm = 3.0;
constexpr double kFooterTypeMm = 2.5;

// The material as the program names it: "serie, code, treatment" (treatment left out when
// empty). The engine files carry the material's 16-character key; where it holds the "_" the
// program puts between serie and code, the two are split there again.
QString MaterialText(const ResultPlan& plan);
// Finished piece area of one plate over the plate's area, in percent.
double PatternYield(const ResultPattern& pattern);
// The pattern list's line: "Pattern 2: 3 x plate 4, 3210 x 2250, 12 pieces". The plate number is
// the plate's place in the material's plate list the program handed over (its Pos).
QString PatternTitle(const ResultPattern& pattern, size_t index);

struct PageText {
    QString text;
    QRectF box;
    int pixelSize = 0;
    bool bold = false;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
};

struct PlanPageLayout {
    size_t pattern = 0;
    bool continued = false;  // only the rest of the pattern's piece table
    std::vector<PageText> texts;
    std::vector<QLineF> rules;  // the table's lines
    bool hasDrawing = false;
    PatternDrawing drawing;
    std::vector<int> tableRows;        // numbers of the piece rows listed on this page
    std::vector<size_t> tableOffcuts;  // offcuts listed on this page
};

// Lays out every page of the plan on a page of `page` (device pixels, origin top-left).
std::vector<PlanPageLayout> LayOutPlan(const ResultPlan& plan, const QRectF& page, double dotsPerMm,
                                       const PaintOptions& options = {}, const QFont& font = QFont());

void PaintPage(QPainter& painter, const ResultPlan& plan, const PlanPageLayout& layout);

// Prints every page to a printer or PDF writer; false when the device cannot be painted on.
bool PrintPlan(QPagedPaintDevice& device, const ResultPlan& plan, const PaintOptions& options = {});
