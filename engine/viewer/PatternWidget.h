#pragma once
// A widget that shows one cutting pattern to scale.

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
    // Where the pattern and its texts go at the widget's present size.
    PatternDrawing drawing() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ResultPattern pattern_;
    bool empty_ = true;
    PaintOptions options_;
};
