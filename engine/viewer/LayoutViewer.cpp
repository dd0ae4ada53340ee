#include "viewer/LayoutViewer.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/TextUtils.h"
#include "viewer/PatternWidget.h"
#include "viewer/PlanPage.h"

using namespace tavrel;

namespace {

QTableWidgetItem* Cell(const QString& text, bool right = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (right) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

}  // namespace

LayoutViewer::LayoutViewer(const ResultPlan& plan, QWidget* parent) : QDialog(parent), plan_(plan) {
    setObjectName("layoutViewer");
    const QString material = MaterialText(plan_);
    setWindowTitle("Cutting plan - " + material);

    const QString job = QString::fromStdString(DisplayText(Trim(plan_.headerValue("Job"))));
    auto* summary = new QLabel(QString("%1%2: %3 plates, %4 pieces, yield %5 %")
                                   .arg(job.isEmpty() ? QString() : "Job " + job + " - ")
                                   .arg(material)
                                   .arg(QString::fromStdString(plan_.headerValue("Plates")))
                                   .arg(QString::fromStdString(plan_.headerValue("Pieces")))
                                   .arg(QString::fromStdString(plan_.headerValue("Yield"))));
    summary->setObjectName("summary");
    list_ = new QListWidget;
    list_->setObjectName("patterns");
    // Whole lines: the list is as wide as its longest line, never cut short.
    list_->setTextElideMode(Qt::ElideNone);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    int widest = 0;
    for (size_t i = 0; i < plan_.patterns.size(); ++i) {
        const QString line = PatternTitle(plan_.patterns[i], i);
        list_->addItem(line);
        widest = std::max(widest, list_->fontMetrics().horizontalAdvance(line));
    }
    list_->setMinimumWidth(widest + 2 * list_->frameWidth() +
                           list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16);
    list_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    view_ = new PatternWidget;
    view_->setObjectName("drawing");
    caption_ = new QLabel;
    caption_->setObjectName("caption");
    caption_->setWordWrap(true);
    pieces_ = new QTableWidget(0, 4);
    pieces_->setObjectName("pieces");
    pieces_->setHorizontalHeaderLabels({"#", "Identifier", "Size (mm)", "Qty"});
    pieces_->verticalHeader()->hide();
    pieces_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    pieces_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pieces_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    cutOrder_ = new QCheckBox("Show cut order");
    cutOrder_->setObjectName("cutOrder");
    cutOrder_->setChecked(true);
    auto* print = new QPushButton("Print...");
    print->setObjectName("print");
    auto* pdf = new QPushButton("Export PDF...");
    pdf->setObjectName("pdf");
    auto* close = new QPushButton("Close");
    close->setObjectName("close");

    auto* drawing = new QVBoxLayout;
    drawing->addWidget(caption_);
    drawing->addWidget(view_, 1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(list_);
    middle->addLayout(drawing, 1);
    middle->addWidget(pieces_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cutOrder_);
    buttons->addStretch(1);
    buttons->addWidget(print);
    buttons->addWidget(pdf);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    resize(1280, 760);

    connect(list_, &QListWidget::currentRowChanged, this, &LayoutViewer::showPattern);
    connect(cutOrder_, &QCheckBox::toggled, this, [this](bool on) {
        PaintOptions o = view_->options();
        o.cutOrder = on;
        view_->setOptions(o);
    });
    connect(print, &QPushButton::clicked, this, &LayoutViewer::print);
    connect(pdf, &QPushButton::clicked, this, &LayoutViewer::savePdf);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    if (!plan_.patterns.empty()) {
        list_->setCurrentRow(0);
    }
    // A result without a pattern has nothing to print; an empty page would pass for a plan.
    print->setEnabled(!plan_.patterns.empty());
    pdf->setEnabled(!plan_.patterns.empty());
}

PaintOptions LayoutViewer::options() const {
    PaintOptions o;
    o.cutOrder = cutOrder_->isChecked();
    return o;
}

void LayoutViewer::showPattern(int row) {
    pieces_->setRowCount(0);
    if (row < 0 || row >= static_cast<int>(plan_.patterns.size())) {
        view_->clear();
        caption_->clear();
        return;
    }
    const ResultPattern& p = plan_.patterns[static_cast<size_t>(row)];
    view_->setPattern(p);
    QString caption = QString("Plate %1: %2 mm").arg(PlateNumber(p)).arg(SizeText(p.width, p.height));
    if (p.thickness > 0) {
        caption += ", " + QString::fromStdString(HundredthsText(p.thickness)) + " mm thick";
    }
    caption += QString(" - plates: %1 - yield %2 % - first cuts %3")
                   .arg(p.count)
                   .arg(PatternYield(p), 0, 'f', 2)
                   .arg(p.firstCut == 'V' ? "vertical" : "horizontal");
    caption_->setText(caption);
    const std::vector<PieceRow> rows = PieceRows(p);
    for (const PieceRow& r : rows) {
        const int at = pieces_->rowCount();
        pieces_->insertRow(at);
        pieces_->setItem(at, 0, Cell("#" + QString::number(r.number), true));
        pieces_->setItem(at, 1, Cell(QString::fromStdString(DisplayText(r.id))));
        pieces_->setItem(at, 2, Cell(SizeText(r.width, r.height), true));
        pieces_->setItem(at, 3, Cell(QString::number(r.count), true));
    }
    for (size_t k = 0; k < p.offcuts.size(); ++k) {
        const int at = pieces_->rowCount();
        pieces_->insertRow(at);
        pieces_->setItem(at, 0, Cell(OffcutKey(k), true));
        pieces_->setItem(at, 1, Cell("offcut to keep"));
        pieces_->setItem(at, 2, Cell(SizeText(p.offcuts[k].width, p.offcuts[k].height), true));
        pieces_->setItem(at, 3, Cell("1", true));
    }
    pieces_->resizeColumnsToContents();
    pieces_->resizeRowsToContents();
    int width = 2 * pieces_->frameWidth() + pieces_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < pieces_->columnCount(); ++c) {
        width += pieces_->columnWidth(c);
    }
    pieces_->setFixedWidth(width);
}

bool LayoutViewer::printTo(QPagedPaintDevice& device) {
    return !plan_.patterns.empty() && PrintPlan(device, plan_, options());
}

bool LayoutViewer::exportPdf(const QString& path, QPageSize::PageSizeId size) {
    if (plan_.patterns.empty()) {
        return false;
    }
    {
        QPdfWriter writer(path);
        writer.setTitle("Cutting plan - " + MaterialText(plan_));
        writer.setCreator("Tavrel cutting optimiser");
        writer.setPageLayout(QPageLayout(QPageSize(size), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                         QPageLayout::Millimeter));
        if (!printTo(writer)) {
            return false;
        }
    }
    QFile f(path);
    return f.exists() && f.size() > 0;
}

void LayoutViewer::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted && !printTo(printer)) {
        QMessageBox::warning(this, "Print", "The plan could not be printed.");
    }
}

void LayoutViewer::savePdf() {
    QString path = QFileDialog::getSaveFileName(this, "Export PDF", QString(), "PDF (*.pdf)");
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(".pdf", Qt::CaseInsensitive)) {
        path += ".pdf";
    }
    if (!exportPdf(path)) {
        QMessageBox::warning(this, "Export PDF", "The plan could not be written to " + path + ".");
    }
}
