#include "plates/ui/TVLPlatesDialog.h"

#include <algorithm>

#include <QBrush>
#include <QColor>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

#include "common/FileUtils.h"
#include "common/Messages.h"
#include "importing/PlatesImport.h"
#include "materials/MaterialsFile.h"
#include "materials/ModifyFieldTable.h"
#include "plates/PlateData.h"
#include "plates/PlateSeries.h"
#include "plates/PlatesFile.h"
#include "plates/ui/CTrapPlatesListCtrl.h"
#include "plates/ui/TVLAutomaticPlatesDialog.h"
#include "plates/ui/TVLPlateDataDialog.h"
#include "settings/AppSettings.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/MultipleModify.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

namespace {

// Column widths as shares of 36 of the list's width.
const double kWidths[PlateColumns] = {4, 4, 4, 4, 5, 3.7, 3.7, 4.2, 2.2};

bool RightAligned(int column) {
    return column == ColumnQuantity || column == ColumnWidth || column == ColumnHeight ||
           column == ColumnMinimumLot || column == ColumnNumber;
}

QString Q(const std::string& text) { return ShownText(text); }

}  // namespace

TVLPlatesDialog::TVLPlatesDialog(AppSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("143");
    const DialogUnits du(font());
    setFixedSize(du.Size(520, 290));
    auto label = [&](const char* text, int x, int y, int w) {
        return du.Place(new QLabel(QString::fromLatin1(text), this), x, y, w, 8);
    };
    label("00215", 7, 9, 40);
    sortKey_ = label("", 48, 9, 260);
    sortKey_->setObjectName("1085");
    label("00227", 312, 9, 38);
    direction_ = label("", 351, 9, 70);
    direction_->setObjectName("1084");
    label("00148", 430, 9, 40);
    count_ = label("", 471, 9, 42);
    count_->setObjectName("1083");
    list_ = du.Place(new CTrapPlatesListCtrl(this), 7, 22, 506, 222);
    list_->setObjectName("1003");
    auto button = [&](int id, const char* text, int x, int w) {
        auto* b = du.Place(new QPushButton(QString::fromLatin1(text), this), x, 250, w, 16);
        b->setObjectName(QString::number(id));
        return b;
    };
    QPushButton* add = button(1000, "00037", 7, 50);
    QPushButton* change = button(1001, "00038", 60, 50);
    QPushButton* remove = button(1002, "00012", 113, 50);
    QPushButton* series = button(1035, "00162", 172, 66);
    QPushButton* keys = button(1037, "00212", 241, 66);
    QPushButton* store = button(1036, "00213", 310, 66);
    // Offered only when the import program is in its folder, looked for each time the window opens.
    importProgram_ = ProbePlatesImport(settings_);
    QPushButton* import = button(1097, "00208", 379, 70);
    import->setVisible(!importProgram_.empty());
    import->setEnabled(!importProgram_.empty());
    QPushButton* close = button(2, "00041", 463, 50);
    unusableNote_ = du.Place(new QLabel(QStringLiteral("00331"), this), 7, 272, 506, 14);
    unusableNote_->setObjectName("1115");
    unusableNote_->setWordWrap(true);
    unusableNote_->setStyleSheet(QStringLiteral("color: #aa0000"));

    connect(add, &QPushButton::clicked, this, &TVLPlatesDialog::OnNew);
    connect(change, &QPushButton::clicked, this, &TVLPlatesDialog::OnChange);
    connect(remove, &QPushButton::clicked, this, &TVLPlatesDialog::OnDelete);
    connect(series, &QPushButton::clicked, this, &TVLPlatesDialog::OnSeries);
    connect(keys, &QPushButton::clicked, this, &TVLPlatesDialog::OnSortByKeys);
    connect(store, &QPushButton::clicked, this, &TVLPlatesDialog::OnStoreOrder);
    connect(import, &QPushButton::clicked, this, &TVLPlatesDialog::OnImport);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { OnChange(); });
    connect(list_, &CTrapListCtrl::DeletePressed, this, &TVLPlatesDialog::OnDelete);
    connect(list_, &CTrapListCtrl::PastePressed, this, &TVLPlatesDialog::OnPaste);
    connect(list_, &CTrapListCtrl::CopyPressed, this, [this] {
        const std::vector<int> rows = SelectedRows();
        clipboardRow_ = rows.empty() ? -1 : rows.front();
    });
    connect(list_->header(), &QHeaderView::sectionClicked, this, &TVLPlatesDialog::OnColumn);

    setWindowTitle(QStringLiteral("00070"));
    CompileDialogStrings(this);
    QStringList headers;
    for (int c = 0; c < PlateColumns; ++c) headers << Q(PlateColumnHeader(c));
    list_->setHeaderLabels(headers);
    const int width = list_->width() - 2 * list_->frameWidth();
    for (int c = 0; c < PlateColumns; ++c) {
        list_->setColumnWidth(c, int(width * kWidths[c] / 36.0));
        if (RightAligned(c)) list_->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    Load();
}

bool TVLPlatesDialog::Load() {
    // A missing or unreadable catalogue opens empty; the first save makes a new one.
    const bool read = plates_.load(PlatesFile::pathIn(settings_.dataFolder), settings_.current);
    if (!read) plates_.clear();
    if (!materials_.load(MaterialsFile::pathIn(settings_.dataFolder), settings_.current)) materials_.clear();
    rows_.fill(plates_, materials_);
    sortKey_->setText(Q("[ " + PlateColumnHeader(ColumnNumber) + " ]"));
    direction_->setText(QStringLiteral("MIN ---> MAX"));
    ShowRows(rows_.count() ? std::vector<int>{0} : std::vector<int>());
    return read;
}

void TVLPlatesDialog::ShowRows(const std::vector<int>& selectRows) {
    list_->clear();
    bool unusable = false;
    QList<QTreeWidgetItem*> items;
    for (int r = 0; r < rows_.count(); ++r) {
        const PlateRow& row = rows_.at(r);
        auto* item = new QTreeWidgetItem();
        for (int c = 0; c < PlateColumns; ++c) {
            item->setText(c, Q(row.columns[size_t(c)]));
            if (RightAligned(c)) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
            if (row.unusable) {
                item->setForeground(c, QBrush(QColor(170, 0, 0)));
                item->setToolTip(c, Q(row.reason));
            }
        }
        item->setData(0, Qt::UserRole, row.itemData);
        unusable = unusable || row.unusable;
        items << item;
    }
    list_->addTopLevelItems(items);
    QTreeWidgetItem* current = nullptr;
    for (int r : selectRows) {
        QTreeWidgetItem* item = list_->topLevelItem(r);
        if (!item) continue;
        if (!current) list_->setCurrentItem(item);
        item->setSelected(true);
        current = item;
    }
    if (current) list_->scrollToItem(current);
    unusableNote_->setVisible(unusable);
    ShowCount();
}

void TVLPlatesDialog::ShowPlates(const std::vector<int>& indices) {
    std::vector<int> rows;
    for (int index : indices) {
        const int row = rows_.show(plates_, materials_, index);
        if (row >= 0 && std::find(rows.begin(), rows.end(), row) == rows.end()) rows.push_back(row);
    }
    ShowRows(rows);
}

void TVLPlatesDialog::ShowCount() { count_->setText(QString::number(rows_.count())); }

std::vector<int> TVLPlatesDialog::SelectedRows() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : list_->selectedItems()) rows.push_back(list_->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool TVLPlatesDialog::Save(const std::vector<int>* order) {
    const std::string path = PlatesFile::pathIn(settings_.dataFolder);
    if (plates_.save(path, settings_.current, order)) {
        // The file now holds the corrected quantities: closing has nothing left to write.
        for (int i = 0; i < plates_.count(); ++i) plates_.at(i).modified = 0;
        return true;
    }
    // The change stays in the window; the user learns that the file did not take it.
    WindowPrompt().tell(Msg("00330") + "\n" + path, "00073", PromptIcon::Exclamation);
    return false;
}

void TVLPlatesDialog::MaterialsChanged(int changes) {
    if (changes <= 0) return;
    if (!materials_.load(MaterialsFile::pathIn(settings_.dataFolder), settings_.current)) materials_.clear();
    rows_.refreshTreatments(plates_, materials_);
    ShowRows(SelectedRows());
}

void TVLPlatesDialog::OnNew() {
    StockPlate plate;
    list_->clearSelection();
    TVLPlateDataDialog dataWindow(plate, materials_, this);
    dataWindow.SetSettings(&settings_);
    dataWindow.SetTitle("00113");
    dataWindow.SetRowNumber(rows_.count() + 1);
    const bool accepted = dataWindow.exec() == QDialog::Accepted;
    if (accepted) {
        const int index = plates_.addOrMerge(plate.duplicate(), true);
        Save();
        ShowPlates({index});
    }
    MaterialsChanged(dataWindow.materialChanges());
}

void TVLPlatesDialog::OnChange() {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() >= 2) {
        ChangeSeveral(rows);
        return;
    }
    if (rows.empty()) return;
    const int index = rows_.at(rows.front()).itemData;
    if (index < 0 || index >= plates_.count()) return;
    StockPlate edited = plates_.at(index).duplicate();
    TVLPlateDataDialog dataWindow(edited, materials_, this);
    dataWindow.SetSettings(&settings_);
    dataWindow.SetTitle("00114");
    dataWindow.SetRowNumber(index + 1);
    if (dataWindow.exec() == QDialog::Accepted) {
        bool merged = false;
        const int kept = ChangePlate(plates_, index, edited, &merged);
        if (merged) rows_.removePlate(index);
        Save();
        ShowPlates({kept});
    }
    MaterialsChanged(dataWindow.materialChanges());
}

void TVLPlatesDialog::ChangeSeveral(const std::vector<int>& rows) {
    ModifyFieldTable table = PlatesModifyTable();
    MultipleModify bulk(settings_, table, int(rows.size()), this);
    if (bulk.exec() != QDialog::Accepted) return;
    for (int row : rows) {
        const int index = rows_.at(row).itemData;
        if (index < 0 || index >= plates_.count()) continue;
        ApplyPlateModify(table, plates_.at(index));
        rows_.show(plates_, materials_, index);
    }
    // Plates the change made equal stay apart: the user sees each row they selected.
    Save();
    ShowRows(rows);
}

void TVLPlatesDialog::OnDelete() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    if (WindowPrompt().ask(Msg("00074"), "00073", PromptIcon::Question, PromptButtons::YesNo, 1) !=
        PromptAnswer::Yes)
        return;
    std::vector<int> indices;
    for (int row : rows) indices.push_back(rows_.at(row).itemData);
    plates_.removeIndices(indices);
    const int select = rows_.deleteRows(rows);
    Save();
    ShowRows(select >= 0 ? std::vector<int>{select} : std::vector<int>());
}

void TVLPlatesDialog::OnSeries() { RunSeries(true, StockPlate()); }

void TVLPlatesDialog::OnPaste() {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() > 1) {
        WindowPrompt().tell(Msg("00170"), "00073", PromptIcon::Exclamation);
        return;
    }
    if (rows.empty()) return;
    const int index = rows_.at(rows.front()).itemData;
    if (index < 0 || index >= plates_.count()) return;
    RunSeries(false, plates_.at(index).duplicate());
}

void TVLPlatesDialog::RunSeries(bool fromButton, const StockPlate& start) {
    StockPlate plate = start.duplicate();
    const StockPlate kept = start.duplicate();
    list_->clearSelection();
    TVLAutomaticPlatesDialog seriesWindow(settings_, plate, fromButton, this);
    if (seriesWindow.exec() == QDialog::Accepted) {
        const std::vector<int> touched = AddPlateSeries(plates_, plate, kept, seriesWindow.seriesResult());
        if (!touched.empty()) {
            Save();
            ShowPlates(touched);
        }
    }
    MaterialsChanged(seriesWindow.materialChanges());
}

void TVLPlatesDialog::OnColumn(int column) {
    if (column < 0 || column >= PlateColumns) return;
    std::vector<int> selected;
    for (int row : SelectedRows()) selected.push_back(rows_.at(row).itemData);
    rows_.sortByColumn(column);
    sortKey_->setText(Q("[ " + PlateColumnHeader(column) + " ]"));
    direction_->setText(Q(rows_.directionText()));
    std::vector<int> rows;
    for (int itemData : selected) rows.push_back(rows_.rowOf(itemData));
    ShowRows(rows);
}

void TVLPlatesDialog::OnSortByKeys() {
    std::vector<int> selected;
    for (int row : SelectedRows()) selected.push_back(rows_.at(row).itemData);
    rows_.sortByKeys();
    sortKey_->setText(Q(PlateRows::keysText()));
    direction_->setText(Q(rows_.directionText()));
    std::vector<int> rows;
    for (int itemData : selected) rows.push_back(rows_.rowOf(itemData));
    ShowRows(rows);
}

void TVLPlatesDialog::OnStoreOrder() {
    if (rows_.count() == 0) return;
    direction_->setText(QStringLiteral("   "));
    count_->clear();
    const std::vector<int> order = rows_.storeOrder();
    // A failed save keeps the sorted list as it is, so the user can try again.
    if (!Save(&order)) {
        direction_->setText(Q(rows_.directionText()));
        ShowCount();
        return;
    }
    Load();
}

void TVLPlatesDialog::OnImport() {
    if (importProgram_.empty()) return;
    const PlatesImportRun run = RunPlatesImport(settings_, importProgram_, WindowPrompt());
    if (!run.changed) return;
    direction_->setText(QStringLiteral("   "));
    count_->clear();
    list_->clear();
    const std::string path = PlatesFile::pathIn(settings_.dataFolder);
    if (!Load() && PathExists(path)) {
        WindowPrompt().tell(Msg("00427") + "\n" + path, "00073", PromptIcon::Exclamation);
        return;
    }
    // Written back through our own writer: plates the import made equal merge, and the file is in
    // the current format whatever the import program wrote.
    OnStoreOrder();
}

void TVLPlatesDialog::done(int result) {
    if (plates_.anyModified()) Save();
    QDialog::done(result);
}

}  // namespace tavrel
