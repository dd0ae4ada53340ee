#include "results/ui/print/LabelSheetPdf.h"

#include <algorithm>
#include <cmath>
#include <zint.h>

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "common/FileUtils.h"
#include "common/Messages.h"
#include "results/PieceLabels.h"
#include "results/ui/print/PdfPages.h"
#include "settings/LabelSheets.h"

namespace tavrel {

namespace {

constexpr int kDpi = kPdfDpi;

double Px(double millimetres) { return millimetres * kDpi / 25.4; }

// The bars of a Code 128 symbol: start and width in modules, and the symbol's width.
struct Bars {
    std::vector<std::pair<double, double>> bars;
    double modules = 0.0;
};

// Code 128 carries Latin-1 as the standard says; a text beyond Latin-1 (a Windows station's
// euro sign, say) is encoded as its UTF-8 bytes instead, which a scanner gives back byte for
// byte. False when neither works.
bool Code128(const std::string& text, Bars& out) {
    for (const int mode : {UNICODE_MODE, DATA_MODE}) {
        zint_symbol* symbol = ZBarcode_Create();
        if (!symbol) return false;
        symbol->symbology = BARCODE_CODE128;
        symbol->input_mode = mode;
        symbol->show_hrt = 0;
        symbol->whitespace_width = 0;
        const auto* data = reinterpret_cast<const unsigned char*>(text.data());
        bool made = ZBarcode_Encode(symbol, data, static_cast<int>(text.size())) < ZINT_ERROR &&
                    ZBarcode_Buffer_Vector(symbol, 0) < ZINT_ERROR && symbol->vector &&
                    symbol->vector->width > 0 && symbol->width > 0;
        if (made) {
            // The vector is drawn at zint's own scale; bring it back to modules.
            const double perModule = static_cast<double>(symbol->vector->width) / symbol->width;
            out.modules = static_cast<double>(symbol->width);
            out.bars.clear();
            for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next)
                out.bars.emplace_back(r->x / perModule, r->width / perModule);
            made = !out.bars.empty();
        }
        ZBarcode_Delete(symbol);
        if (made) return true;
    }
    return false;
}

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

// Type sizes are millimetres of font height, so a label reads the same at any resolution.
QFont Font(double millimetres, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(Px(millimetres)))));
    font.setBold(bold);
    // No ligatures: "fi" stays two letters, so a text copied or searched in the PDF is the text.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

class LabelPainter {
public:
    LabelPainter(QPainter& painter, const LabelSheet& sheet, LabelPdfReport& report)
        : p_(painter), report_(report) {
        // The A4 labels are the measure; the label printer's larger label gets larger type.
        scale_ = std::clamp(sheet.labelHeight / 37.0, 0.9, 1.4);
        width_ = sheet.labelWidth;
        height_ = sheet.labelHeight;
    }

    void draw(const PieceLabel& label, double x, double y) {
        // Clear of the label's edge by more than a printer's unprintable border, so the edge-to-
        // edge A4 labels print whole too.
        const double side = 4.0 * scale_;
        const double left = x + side;
        const double inner = width_ - 2 * side;
        double top = y + 3.0 * scale_;

        // What the worker looks for first: the identifier and the size, bold and large; they
        // shrink to fit rather than lose a character.
        line(label.pieceId, left, top, inner, 5.2 * scale_, true, false);
        line(label.size, left, top, inner, 4.2 * scale_, true, false);
        const std::string where = Msg("00384") + " " + std::to_string(label.pattern) + "   " + Msg("00127") +
                                  " " + std::to_string(label.plate) + "/" + std::to_string(label.plates);
        const double whereWidth = rightText(where, left, top, inner, 3.4 * scale_);
        line(label.material, left, top, std::max(0.0, inner - whereWidth - 2.0), 3.4 * scale_, true, true);
        line(label.job, left, top, inner, 3.2 * scale_, false, true);
        line(label.customer, left, top, inner, 3.2 * scale_, false, true);
        line(Joined(label.text1, label.text2), left, top, inner, 3.2 * scale_, false, true);

        // The barcode's text beneath it, for the hand when a scanner fails.
        const double textBelow = 2.6 * scale_;
        const double bottom = y + height_ - 1.6 * scale_;
        const double barTop = top + 0.6 * scale_;
        barcode(label, left, barTop, inner, bottom - textBelow - barTop);
        p_.setFont(Font(textBelow * 0.85, false));
        p_.drawText(QRectF(Px(left), Px(bottom - textBelow), Px(inner), Px(textBelow)),
                    Qt::AlignHCenter | Qt::AlignVCenter, Q(label.barcode));
    }

private:
    static std::string Joined(const std::string& a, const std::string& b) {
        if (a.empty() || b.empty()) return a + b;
        return a + "  \xC2\xB7  " + b;
    }

    // One line of text `height` mm high at `top`, which moves down past it. `elide` shortens a
    // text too long for the label with an ellipsis; otherwise the type gets smaller until it fits.
    void line(const std::string& text, double left, double& top, double width, double height, bool bold,
              bool elide) {
        QFont font = Font(height * 0.78, bold);
        QString shown = Q(text);
        QFontMetricsF metrics(font, p_.device());
        if (elide) {
            shown = metrics.elidedText(shown, Qt::ElideRight, Px(width));
        } else if (metrics.horizontalAdvance(shown) > Px(width)) {
            const double fit = Px(width) / metrics.horizontalAdvance(shown);
            font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * fit)));
        }
        p_.setFont(font);
        p_.drawText(QRectF(Px(left), Px(top), Px(width), Px(height)), Qt::AlignLeft | Qt::AlignVCenter,
                    shown);
        top += height;
    }

    // A text right-aligned on the line at `top` (which stays); its width in millimetres.
    double rightText(const std::string& text, double left, double top, double width, double height) {
        const QFont font = Font(height * 0.78, false);
        p_.setFont(font);
        const QString shown = Q(text);
        p_.drawText(QRectF(Px(left), Px(top), Px(width), Px(height)), Qt::AlignRight | Qt::AlignVCenter,
                    shown);
        return QFontMetricsF(font, p_.device()).horizontalAdvance(shown) * 25.4 / kDpi;
    }

    void barcode(const PieceLabel& label, double left, double top, double width, double height) {
        Bars bars;
        if (height <= 0 || !Code128(label.barcode, bars)) {
            Note(report_.noBarcode, label.pieceId);
            return;
        }
        // Ten modules of quiet zone on each side, as scanners need; bars no wider than half a
        // millimetre, which is plenty for any scanner and keeps short codes compact.
        const double module = std::min(0.5, width / (bars.modules + 20.0));
        if (module < kMinBarcodeModule) Note(report_.narrowBarcode, label.pieceId);
        const double start = left + (width - module * bars.modules) / 2.0;
        for (const auto& [at, barWidth] : bars.bars)
            p_.fillRect(QRectF(Px(start + at * module), Px(top), Px(barWidth * module), Px(height)),
                        Qt::black);
    }

    // Each piece named once, however many labels it has.
    static void Note(std::vector<std::string>& pieces, const std::string& id) {
        if (std::find(pieces.begin(), pieces.end(), id) == pieces.end()) pieces.push_back(id);
    }

    QPainter& p_;
    LabelPdfReport& report_;
    double scale_ = 1.0;
    double width_ = 0.0;
    double height_ = 0.0;
};

}  // namespace

std::string LabelPdf(const std::vector<PieceLabel>& labels, const LabelSheet& sheet, LabelPdfReport& report) {
    // A label wider than high is printed on an upright page turned.
    return RenderPdf(labels.empty() ? QString() : Q(labels.front().job),
                     QSizeF(sheet.pageWidth, sheet.pageHeight), sheet.pageWidth > sheet.pageHeight,
                     QMarginsF(0, 0, 0, 0), [&](QPdfWriter& writer, QPainter& painter) {
                         painter.setPen(Qt::black);
                         LabelPainter label(painter, sheet, report);
                         int page = 0;
                         for (size_t i = 0; i < labels.size(); ++i) {
                             const LabelPlace place = PlaceOfLabel(sheet, static_cast<long>(i));
                             if (place.page != page) {
                                 if (!writer.newPage()) return false;
                                 page = place.page;
                             }
                             label.draw(labels[i], place.x, place.y);
                         }
                         report.pages = page + 1;
                         return true;
                     });
}

LabelPdfReport WriteLabelPdf(const std::vector<PieceLabel>& labels, const LabelSheet& sheet,
                             const std::string& path) {
    LabelPdfReport report;
    const std::string pdf = LabelPdf(labels, sheet, report);
    if (pdf.empty()) {
        report.error = path;
        return report;
    }
    report.written = WriteFileAtomically(path, pdf);
    if (!report.written) report.error = SaveFailureMessage(path);
    return report;
}

namespace {

QtMessageHandler previousHandler = nullptr;

// The off-screen platform complains of a session it does not need (no runtime folder); a batch
// run's standard error is for what went wrong with the labels.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg && type != QtCriticalMsg && message.startsWith(QStringLiteral("QStandardPaths:")))
        return;
    if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

struct PrintingApplication::Impl {
    int argc = 1;
    char name[8] = "tavrel";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;
};

PrintingApplication::PrintingApplication() : impl_(std::make_unique<Impl>()) {
    if (QCoreApplication::instance()) return;
    // Printing never shows a window, so it needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(QuietHandler);
    impl_->app = std::make_unique<QGuiApplication>(impl_->argc, impl_->argv);
}

PrintingApplication::~PrintingApplication() {
    if (!impl_->app) return;
    impl_->app.reset();
    qInstallMessageHandler(previousHandler);
}

}  // namespace tavrel
