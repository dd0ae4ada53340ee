#include "viewer/LayoutViewer.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/TextUtils.h"
#include "viewer/PatternWidget.h"

using namespace tavrel;

namespace {

QString PatternTitle(const ResultPattern& p, int index) {
    return QString("Pattern %1: plate %2, %3 x%4, %5 pieces")
        .arg(index + 1)
        .arg(p.position)
        .arg(SizeText(p.width, p.height))
        .arg(p.count)
        .arg(p.pieces.size());
}

}  // namespace

LayoutViewer::LayoutViewer(const ResultPlan& plan, QWidget* parent) : QDialog(parent), plan_(plan) {
    setObjectName("layoutViewer");
    const QString material = QString::fromStdString(DisplayText(plan.headerValue("Material")));
    setWindowTitle("Cutting plan - " + material);

    auto* summary = new QLabel(QString("%1: %2 plates, %3 pieces, yield %4 %")
                                   .arg(material)
                                   .arg(QString::fromStdString(plan.headerValue("Plates")))
                                   .arg(QString::fromStdString(plan.headerValue("Pieces")))
                                   .arg(QString::fromStdString(plan.headerValue("Yield"))));
    list_ = new QListWidget;
    list_->setObjectName("patterns");
    for (size_t i = 0; i < plan_.patterns.size(); ++i) {
        list_->addItem(PatternTitle(plan_.patterns[i], static_cast<int>(i)));
    }
    list_->setMaximumWidth(360);
    view_ = new PatternWidget;
    caption_ = new QLabel;
    cutOrder_ = new QCheckBox("Show cut order");
    cutOrder_->setObjectName("cutOrder");
    cutOrder_->setChecked(true);
    auto* print = new QPushButton("Print...");
    print->setObjectName("print");
    auto* pdf = new QPushButton("Export PDF...");
    pdf->setObjectName("pdf");
    auto* close = new QPushButton("Close");
    close->setObjectName("close");

    auto* right = new QVBoxLayout;
    right->addWidget(caption_);
    right->addWidget(view_, 1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(list_);
    middle->addLayout(right, 1);
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
    resize(1100, 700);

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
}

void LayoutViewer::showPattern(int row) {
    if (row < 0 || row >= static_cast<int>(plan_.patterns.size())) {
        view_->clear();
        caption_->clear();
        return;
    }
    const ResultPattern& p = plan_.patterns[static_cast<size_t>(row)];
    view_->setPattern(p);
    caption_->setText(PatternTitle(p, row) +
                      QString(", first cuts %1").arg(p.firstCut == 'V' ? "vertical" : "horizontal"));
}

void LayoutViewer::printTo(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return;
    }
    PaintOptions options;
    options.cutOrder = cutOrder_->isChecked();
    for (size_t i = 0; i < plan_.patterns.size(); ++i) {
        if (i > 0) {
            printer.newPage();
        }
        const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
        const QRectF area(0, 0, page.width(), page.height());
        QFont f = painter.font();
        f.setPixelSize(static_cast<int>(area.height() / 50));
        painter.setFont(f);
        const double head = area.height() / 20;
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), area.top(), area.width(), head),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         PatternTitle(plan_.patterns[i], static_cast<int>(i)));
        PaintPattern(painter, plan_.patterns[i], area.adjusted(0, head, 0, 0), options);
    }
    painter.end();
}

bool LayoutViewer::exportPdf(const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    printTo(printer);
    QFile f(path);
    return f.exists() && f.size() > 0;
}

void LayoutViewer::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        printTo(printer);
    }
}

void LayoutViewer::savePdf() {
    const QString path = QFileDialog::getSaveFileName(this, "Export PDF", QString(), "PDF (*.pdf)");
    if (!path.isEmpty()) {
        exportPdf(path.endsWith(".pdf", Qt::CaseInsensitive) ? path : path + ".pdf");
    }
}
