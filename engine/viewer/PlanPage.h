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
// the plate's place in the material's stock (PlateNumber), as the plates window lists them.
QString PatternTitle(const ResultPattern& pattern, size_t index);

// What a page's header says about the job and its material.
struct PlanHeader {
    QString job;
    QString customer;
    QString order;
    QString material;    // "serie, code, treatment"
    QString planPlates;  // plates of the whole plan; empty when not known
    QString planYield;   // the whole plan's yield in percent; empty when not known
};
// The header as the result file's own header gives it, for the engine's viewer.
PlanHeader PlanHeaderOf(const ResultPlan& plan);

// The words of a page: English unless the caller translates them.
struct PlanWords {
    QString job = QStringLiteral("Job");
    QString customer = QStringLiteral("Customer");
    QString order = QStringLiteral("Order");
    QString material = QStringLiteral("Material");
    QString pattern = QStringLiteral("Pattern");
    QString of = QStringLiteral("of");
    QString continued = QStringLiteral("continued");
    QString page = QStringLiteral("Page");
    QString plate = QStringLiteral("Plate");
    QString plates = QStringLiteral("Plates");
    QString stockPlate = QStringLiteral("stock plate");
    QString offcut = QStringLiteral("offcut");
    QString thickness = QStringLiteral("Thickness");
    QString yield = QStringLiteral("Yield");
    QString plan = QStringLiteral("plan");
    QString piecesPerPlate = QStringLiteral("Pieces a plate");
    QString firstCuts = QStringLiteral("First cuts");
    QString vertical = QStringLiteral("vertical");
    QString horizontal = QStringLiteral("horizontal");
    QString identifier = QStringLiteral("Identifier");
    QString size = QStringLiteral("Size");
    QString quantity = QStringLiteral("Qty");
    QString offcutsToKeep = QStringLiteral("Offcuts to keep");
    // The footer's key to the drawing; empty: the English one, naming the unit.
    QStringList legend;
};

struct PlanPageOptions {
    PlanHeader header;
    PlanWords words;
    // False: the pages get no footer, and the caller, which prints them among pages of its own,
    // numbers them once it knows its page count (WritePageFooter).
    bool footer = true;
};

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

// Lays out every page of the plan on a page of `page` (device pixels, origin top-left), its
// header from the plan's own header.
std::vector<PlanPageLayout> LayOutPlan(const ResultPlan& plan, const QRectF& page, double dotsPerMm,
                                       const PaintOptions& options = {}, const QFont& font = QFont());
// The same with the header, the words and the footer given.
std::vector<PlanPageLayout> LayOutPlan(const ResultPlan& plan, const QRectF& page, double dotsPerMm,
                                       const PaintOptions& options, const QFont& font,
                                       const PlanPageOptions& pageOptions);

// The footer of a page: the key to the drawing (`legend`, none when empty) and "Page n of m",
// at the bottom of `page`.
void WritePageFooter(PlanPageLayout& layout, const QRectF& page, double dotsPerMm, const QFont& font,
                     int number, int count, const QStringList& legend, const PlanWords& words);
// The English key to the drawing, naming the unit of its sizes.
QStringList DrawingLegend(const QString& unit);

void PaintPage(QPainter& painter, const ResultPlan& plan, const PlanPageLayout& layout);

// Prints every page to a printer or PDF writer; false when the device cannot be painted on.
bool PrintPlan(QPagedPaintDevice& device, const ResultPlan& plan, const PaintOptions& options = {});
