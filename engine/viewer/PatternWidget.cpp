#include "viewer/PatternWidget.h"

#include <algorithm>

#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

PatternWidget::PatternWidget(QWidget* parent) : QWidget(parent) {
    setMinimumSize(320, 220);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setToolTip("Wheel: zoom - drag: move - double click: whole plate");
}

void PatternWidget::setPattern(const ResultPattern& pattern) {
    pattern_ = pattern;
    empty_ = false;
    zoom_ = 1.0;
    pan_ = QPointF();
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

QRectF PatternWidget::fullArea() const { return QRectF(rect()).adjusted(12, 12, -12, -12); }

PatternDrawing PatternWidget::drawing() const {
    PaintOptions o = options_;
    // The screen's millimetres, so the labels follow the same rules as on paper, and never
    // smaller than the window's own text.
    const double least = kPieceTypeMm * DotsPerMm(*this);
    o.typeScale = std::max(o.typeScale, QFontInfo(font()).pixelSize() / least);
    const QRectF full = fullArea();
    const QRectF target(full.topLeft() + pan_, full.size() * zoom_);
    return LayOutPattern(pattern_, target, DotsPerMm(*this), o, font());
}

void PatternWidget::zoomAt(double zoom, const QPointF& anchor) {
    const double next = std::clamp(zoom, 1.0, kMostZoom);
    const QPointF corner = fullArea().topLeft() + pan_;
    const QPointF newCorner = anchor - (anchor - corner) * (next / zoom_);
    zoom_ = next;
    pan_ = zoom_ == 1.0 ? QPointF() : newCorner - fullArea().topLeft();
    update();
}

void PatternWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (!empty_) {
        PaintDrawing(p, pattern_, drawing());
    }
}

void PatternWidget::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0 && !empty_) {
        double z = zoom_;
        for (int k = 0; k < std::abs(steps); ++k) {
            z = steps > 0 ? z * 1.25 : z / 1.25;
        }
        zoomAt(z, event->position());
    }
    event->accept();
}

void PatternWidget::mousePressEvent(QMouseEvent* event) { dragFrom_ = event->position(); }

void PatternWidget::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && zoom_ > 1.0) {
        pan_ += event->position() - dragFrom_;
        dragFrom_ = event->position();
        update();
    }
}

void PatternWidget::mouseDoubleClickEvent(QMouseEvent*) { zoomAt(1.0, QPointF()); }
