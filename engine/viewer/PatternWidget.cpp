#include "viewer/PatternWidget.h"

#include <algorithm>

#include <QFontInfo>
#include <QPainter>

PatternWidget::PatternWidget(QWidget* parent) : QWidget(parent) {
    setMinimumSize(320, 220);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PatternWidget::setPattern(const ResultPattern& pattern) {
    pattern_ = pattern;
    empty_ = false;
    update();
}

void PatternWidget::clear() {
    empty_ = true;
    update();
}

void PatternWidget::setOptions(const PaintOptions& options) {
    options_ = options;
    update();
}

PatternDrawing PatternWidget::drawing() const {
    // The screen's millimetres, so the labels follow the same rules as on paper.
    PaintOptions o = options_;
    const double least = kPieceTypeMm * DotsPerMm(*this);
    o.typeScale = std::max(o.typeScale, QFontInfo(font()).pixelSize() / least);
    return LayOutPattern(pattern_, QRectF(rect()).adjusted(12, 12, -12, -12), DotsPerMm(*this), o, font());
}

void PatternWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (!empty_) {
        PaintDrawing(p, pattern_, drawing());
    }
}
