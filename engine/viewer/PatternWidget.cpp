#include "viewer/PatternWidget.h"

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

void PatternWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (!empty_) {
        PaintPattern(p, pattern_, QRectF(rect()).adjusted(12, 12, -12, -12), options_);
    }
}
