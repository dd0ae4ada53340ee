#include "results/ui/TVLOptimizedMaterialListDialog.h"

#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "common/Messages.h"
#include "model/Job.h"
#include "model/MaterialKey.h"
#include "results/JobReport.h"
#include "results/JobReportLines.h"
#include "results/OptimisedMaterialList.h"
#include "results/ui/JobPrints.h"
#include "settings/AppSettings.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"

namespace tavrel {

TVLOptimizedMaterialListDialog::TVLOptimizedMaterialListDialog(const AppSettings& settings, Job& job,
                                                               const std::string& jobPath, UserPrompt& prompt,
                                                               EntrySource entry, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      job_(job),
      jobPath_(jobPath),
      prompt_(prompt),
      entry_(std::move(entry)) {
    setObjectName("152");
    const DialogUnits du(font());
    setFixedSize(du.Size(440, 290));
    list_ = du.Place(new QListWidget(this), 7, 7, 130, 254);
    list_->setObjectName("1003");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // The report beside the list: a heading per material with its figures beneath, read at a
    // glance without opening anything.
    report_ = du.Place(new QTreeWidget(this), 143, 7, 290, 254);
    report_->setObjectName("1010");
    report_->setColumnCount(2);
    report_->setHeaderLabels({ShownText(Msg("00467")), QString()});
    report_->header()->setStretchLastSection(false);
    report_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    report_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    report_->setSelectionMode(QAbstractItemView::SingleSelection);
    report_->setRootIsDecorated(true);

    auto* labels = du.Place(new QPushButton(QStringLiteral("00459"), this), 7, 269, 60, 14);
    labels->setObjectName("1011");
    labels->setAutoDefault(false);
    auto* sheets = du.Place(new QPushButton(QStringLiteral("00460"), this), 71, 269, 66, 14);
    sheets->setObjectName("1012");
    sheets->setAutoDefault(false);
    labels->setEnabled(CanPrintJob());
    sheets->setEnabled(CanPrintJob());
    auto* ok = du.Place(new QPushButton(QStringLiteral("00049"), this), 329, 269, 50, 14);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = du.Place(new QPushButton(QStringLiteral("00041"), this), 383, 269, 50, 14);
    cancel->setObjectName("2");
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TVLOptimizedMaterialListDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TVLOptimizedMaterialListDialog::reject);
    connect(labels, &QPushButton::clicked, this, &TVLOptimizedMaterialListDialog::PrintLabels);
    connect(sheets, &QPushButton::clicked, this, &TVLOptimizedMaterialListDialog::PrintSheets);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { ProcessSelected(); });
    connect(list_, &QListWidget::currentRowChanged, this, &TVLOptimizedMaterialListDialog::ShowMaterialOfRow);

    setWindowTitle(QStringLiteral("00048"));
    CompileDialogStrings(this);
    // Sorts the materials: the report then follows the list's order, line for line.
    for (const std::string& line : OptimisedMaterialLines(job_.materials)) list_->addItem(ShownText(line));
    ShowReport();
    if (list_->count() > 0) list_->setCurrentRow(0);
}

void TVLOptimizedMaterialListDialog::accept() { ProcessSelected(); }

void TVLOptimizedMaterialListDialog::ProcessSelected() {
    LoadEditorFn entry = entry_ ? entry_() : nullptr;
    if (!entry) return;
    const int row = list_->currentRow();
    if (row < 0 || row >= job_.materials.count() || !list_->item(row)->isSelected()) return;
    // The key is copied: the list stays as it is while the engine's windows run.
    const MaterialKey key = job_.materials.at(row);
    ProcessOptimisedMaterial(key, jobPath_, settings_, entry, this, prompt_);
    ShowReport();
    ShowMaterialOfRow(row);
}

void TVLOptimizedMaterialListDialog::ShowReport() {
    report_->clear();
    const JobReport report = BuildJobReport(job_, ReadStoredResults(settings_, job_, jobPath_));
    QTreeWidgetItem* heading = nullptr;
    for (const ReportLine& line : JobReportLines(report, settings_.current)) {
        auto* item =
            line.level == 0 || !heading ? new QTreeWidgetItem(report_) : new QTreeWidgetItem(heading);
        if (line.level == 0) heading = item;
        item->setText(0, ShownText(line.label));
        item->setText(1, ShownText(line.value));
        item->setToolTip(0, item->text(0));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        if (line.level == 0) {
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
            item->setFont(1, bold);
        }
        if (line.problem) {
            item->setForeground(0, QColor(160, 0, 0));
            item->setForeground(1, QColor(160, 0, 0));
        }
    }
    report_->expandAll();
}

void TVLOptimizedMaterialListDialog::ShowMaterialOfRow(int row) {
    QTreeWidgetItem* heading = report_->topLevelItem(row);
    if (!heading) return;
    report_->setCurrentItem(heading);
    report_->scrollToItem(heading, QAbstractItemView::PositionAtTop);
}

void TVLOptimizedMaterialListDialog::PrintLabels() {
    PrintJobLabels(this, settings_, job_, jobPath_, prompt_);
}

void TVLOptimizedMaterialListDialog::PrintSheets() {
    PrintJobCuttingSheets(this, settings_, job_, jobPath_, prompt_);
}

}  // namespace tavrel
