#pragma once
// A widget that shows one cutting pattern to scale. The wheel zooms about the pointer, dragging
// moves the zoomed plate and a double click shows the whole plate again: where small pieces
// crowd together, zooming in gives their labels and cut numbers the room a page has.

#include <QPointF>
#include <QWidget>

#include "viewer/PlanPainter.h"

class PatternWidget : public QWidget {
    Q_OBJECT
public:
    explicit PatternWidget(QWidget* parent = nullptr);

    void setPattern(const ResultPattern& pattern);
    void clear();
    void setOptions(const PaintOptions& options);
    const PaintOptions& options() const { return options_; }
    // Where the pattern and its texts go at the widget's present size and zoom.
    PatternDrawing drawing() const;

    // Zooms to `zoom` (1: the whole plate, at most kMostZoom) keeping the plate point under
    // `anchor` (widget coordinates) where it is.
    void zoomAt(double zoom, const QPointF& anchor);
    double zoom() const { return zoom_; }
    static constexpr double kMostZoom = 40.0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QRectF fullArea() const;

    ResultPattern pattern_;
    bool empty_ = true;
    PaintOptions options_;
    double zoom_ = 1.0;
    QPointF pan_;  // offset of the zoomed area's corner from the whole plate's area
    QPointF dragFrom_;
};
