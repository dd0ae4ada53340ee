#pragma once
// The layout viewer: the cutting patterns of a result, each drawn to scale, with printing and
// PDF export (one page per pattern).

#include <QDialog>

#include "files/EngineResult.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPrinter;
class PatternWidget;

class LayoutViewer : public QDialog {
    Q_OBJECT
public:
    LayoutViewer(const ResultPlan& plan, QWidget* parent = nullptr);

    // Writes every pattern to a PDF file. False when the file cannot be written.
    bool exportPdf(const QString& path);
    // Prints every pattern, one per page.
    void printTo(QPrinter& printer);

private slots:
    void showPattern(int row);
    void print();
    void savePdf();

private:
    ResultPlan plan_;
    QListWidget* list_ = nullptr;
    PatternWidget* view_ = nullptr;
    QLabel* caption_ = nullptr;
    QCheckBox* cutOrder_ = nullptr;
};
