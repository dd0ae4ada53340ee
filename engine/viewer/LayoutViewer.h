#pragma once
// The layout viewer: the cutting patterns of a result, each drawn to scale with its piece table,
// with printing and PDF export (one pattern a page, laid out in millimetres of the page).

#include <QDialog>
#include <QPageSize>

#include "files/EngineResult.h"
#include "viewer/PlanPainter.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPagedPaintDevice;
class QTableWidget;
class PatternWidget;

class LayoutViewer : public QDialog {
    Q_OBJECT
public:
    LayoutViewer(const ResultPlan& plan, QWidget* parent = nullptr);

    // Writes every pattern to a PDF file (A4 landscape unless another page size is given). False
    // when the file cannot be written.
    bool exportPdf(const QString& path, QPageSize::PageSizeId size = QPageSize::A4);
    // Prints every pattern, one a page, on a printer or PDF writer as it is set up.
    bool printTo(QPagedPaintDevice& device);
    PaintOptions options() const;

private slots:
    void showPattern(int row);
    void print();
    void savePdf();

private:
    ResultPlan plan_;
    QListWidget* list_ = nullptr;
    PatternWidget* view_ = nullptr;
    QLabel* caption_ = nullptr;
    QTableWidget* pieces_ = nullptr;
    QCheckBox* cutOrder_ = nullptr;
};
