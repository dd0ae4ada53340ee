#pragma once
// Draws one cutting pattern to scale as a cutter reads it at the table: the plate in grey
// (waste), the edge trims a darker grey, pieces labelled with their identifier and finished size,
// reusable offcuts hatched with their size, and the cuts numbered in cutting order.
//
// Every text is laid out in millimetres of the device it is drawn on (a screen, a printer page,
// a PDF), never in pixels: a label that is 14 pixels on a 96 dpi screen is a third of a
// millimetre on a 1200 dpi page. Identifiers and sizes are at least kPieceTypeMm, cut numbers
// and offcut sizes at least kCutTypeMm and kOffcutTypeMm. A piece or offcut too small for its
// label at that size shows a key instead ("#3", "A"), which the page's tables explain.

#include <functional>
#include <string>
#include <vector>

#include <QFont>
#include <QRectF>
#include <QStringList>

#include "cutting/CutPlan.h"
#include "files/EngineResult.h"

class QPainter;
class QPaintDevice;

struct PaintOptions {
    bool cutOrder = true;
    bool labels = true;
    // Raises every smallest type size (never lowers it): a screen is read from further away
    // than a sheet on the cutting table, so the viewer asks for at least its own font there.
    double typeScale = 1.0;
    // How a length in tenths of a millimetre is written on the drawing and in the page's tables,
    // and the unit's name: millimetres (MmText) when not given. The program that prints its
    // cutting sheets hands in the unit its installation shows.
    std::function<QString(engine::Length)> lengthText;
    QString unit = QStringLiteral("mm");
    // A plate's thickness (hundredths of a millimetre) with its unit; "4.00 mm" when not given.
    std::function<QString(long)> thicknessText;
    QString offcutWord = QStringLiteral("Offcut");  // the label of an offcut large enough for it
};

// Smallest type sizes (the font's em) in millimetres.
constexpr double kPieceTypeMm = 2.5;
constexpr double kCutTypeMm = 2.0;
constexpr double kOffcutTypeMm = 2.0;
// Largest sizes: big pieces get bigger labels, up to these.
constexpr double kPieceTypeMaxMm = 6.0;
constexpr double kOffcutTypeMaxMm = 4.5;
constexpr double kKeyTypeMaxMm = 4.0;
// Cut numbers get a little more than their minimum: they are what the cutter looks for first.
constexpr double kCutTypeDrawnMm = 2.2;

// Device pixels per millimetre of a paint device (its logical resolution, which is the one its
// fonts are measured in; for a printer or a PDF writer that is the page resolution).
double DotsPerMm(const QPaintDevice& device);

// One row of a pattern's piece table: every identifier cut from the pattern, numbered from 1 in
// the order of the job's piece list. The number is the key a piece too small for its label shows.
struct PieceRow {
    int number = 0;
    std::string id;
    engine::Length width = 0;  // finished size as ordered
    engine::Length height = 0;
    long count = 0;  // pieces of this identifier on one plate
};
std::vector<PieceRow> PieceRows(const ResultPattern& pattern);

// The key of the n-th offcut (0-based): "A", "B", ..., "Z", "AA", ...
QString OffcutKey(size_t index);

enum class TextKind { PieceLabel, PieceKey, OffcutLabel, OffcutKey, CutNumber };

// A text of the drawing where it goes on the device.
struct DrawnText {
    TextKind kind = TextKind::PieceLabel;
    size_t item = 0;  // index of the piece, offcut or cut it belongs to
    QStringList lines;
    QRectF box;           // device coordinates of the text (a turned text's box is tall)
    int pixelSize = 0;    // the type size, em in device pixels
    bool turned = false;  // runs upwards, read with the page turned a quarter to the right
    bool tag = false;     // drawn on a white ground (it may reach beyond its piece)
};

struct PatternDrawing {
    double dotsPerMm = 0;
    QFont font;        // the family every text is measured and drawn in
    double scale = 0;  // device pixels per engine unit
    QRectF plate;      // the plate on the device
    std::vector<engine::CutLine> cuts;
    std::vector<DrawnText> texts;
    std::vector<PieceRow> rows;

    // The rectangle of a plate area given in engine units (lower-left origin) on the device.
    QRectF rect(engine::Length x, engine::Length y, engine::Length w, engine::Length h) const;
    QPointF point(engine::Length x, engine::Length y) const;
    // Texts of one kind (all of them for the tests and the page's tables).
    std::vector<const DrawnText*> textsOf(TextKind kind) const;
};

// Places the pattern into `target` (keeping the plate's proportions) and every text of it on a
// device with `dotsPerMm` pixels per millimetre, measuring with `font`'s family.
PatternDrawing LayOutPattern(const ResultPattern& pattern, const QRectF& target, double dotsPerMm,
                             const PaintOptions& options = {}, const QFont& font = QFont());

// Draws a laid-out pattern.
void PaintDrawing(QPainter& painter, const ResultPattern& pattern, const PatternDrawing& drawing);

// Lays out and draws into `target` on the painter's device.
void PaintPattern(QPainter& painter, const ResultPattern& pattern, const QRectF& target,
                  const PaintOptions& options = {});

// "3210 x 2250" of two lengths in tenths of a millimetre; a tenth is shown only when there is one
// ("500.5 x 300").
QString SizeText(engine::Length width, engine::Length height);
// The same in the options' unit.
QString SizeText(engine::Length width, engine::Length height, const PaintOptions& options);
QString MmText(engine::Length tenths);
