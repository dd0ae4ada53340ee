#include "materials/ui/TVLMaterialsDialog.h"

#include <algorithm>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "materials/MaterialsFile.h"
#include "materials/ui/CTrapListCtrl.h"
#include "materials/ui/TVLMaterialDataDialog.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

namespace {

// Column widths as shares of 36 of the list's width.
const double kWidths[8] = {3.8, 3.8, 8, 6.2, 3.9, 3.9, 2.8, 2.3};
const char* const kHeaders[8] = {"00137", "00138", "00139", "00158", "00159", "00160", "00182", "00180"};

}  // namespace

TVLMaterialsDialog::TVLMaterialsDialog(AppSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("141");
    const DialogUnits du(font());
    setFixedSize(du.Size(460, 260));
    list_ = du.Place(new CTrapMaterialListCtrl(this), 7, 7, 446, 218);
    list_->setObjectName("1003");
    auto button = [&](const char* id, const char* text, int x) {
        auto* b = du.Place(new QPushButton(QString::fromLatin1(text), this), x, 236, 60, 16);
        b->setObjectName(QString::fromLatin1(id));
        return b;
    };
    QPushButton* add = button("1000", "00037", 7);
    QPushButton* change = button("1001", "00038", 71);
    delete_ = button("1002", "00012", 135);
    QPushButton* close = button("2", "00041", 393);
    du.Place(new QLabel(QStringLiteral("00148"), this), 220, 240, 40, 8);
    total_ = du.Place(new QLabel(this), 262, 240, 40, 8);
    total_->setObjectName("1083");
    connect(add, &QPushButton::clicked, this, &TVLMaterialsDialog::OnNew);
    connect(change, &QPushButton::clicked, this, &TVLMaterialsDialog::OnChange);
    connect(delete_, &QPushButton::clicked, this, &TVLMaterialsDialog::OnDelete);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { OnChange(); });
    connect(list_, &CTrapListCtrl::DeletePressed, this, &TVLMaterialsDialog::OnDelete);
    connect(list_, &CTrapListCtrl::CopyPressed, this, [this] {
        const std::vector<int> rows = SelectedRows();
        clipboardRow_ = rows.empty() ? -1 : rows.front();
    });
    connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        rows_.SortByColumn(column);
        ShowRows(-1);
    });

    setWindowTitle(QStringLiteral("00039"));
    QStringList headers;
    for (const char* h : kHeaders) headers << QString::fromStdString(Msg(h));
    headers[4] += QString::fromStdString(WithLinearLabel(" [", "]"));
    headers[5] += QString::fromStdString(WithWeightLabel(" [", "]"));
    list_->setHeaderLabels(headers);
    for (int c = 0; c < 8; ++c) {
        list_->setColumnWidth(c, int(list_->width() * kWidths[c] / 36.0));
        if (c >= 4) list_->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    CompileDialogStrings(this);
    catalogue_.load(MaterialsFile::pathIn(settings_.dataFolder), settings_.current);
    catalogue_.sort(false);
    rows_.Fill(catalogue_);
    ShowRows(0);
}

void TVLMaterialsDialog::showEvent(QShowEvent* event) {
    // The caller says whether the window is nested after construction.
    delete_->setEnabled(!nested_);
    QDialog::showEvent(event);
    // The shares leave room to spare; a header longer than its share (the thickness with its
    // unit, in a wide font) takes what it needs rather than showing cut. Only the polished
    // header knows its font, so this waits for the window to show.
    for (int c = 0; c < list_->columnCount(); ++c)
        list_->setColumnWidth(c, std::max(list_->columnWidth(c), list_->header()->sectionSizeHint(c)));
}

void TVLMaterialsDialog::ShowRow(int row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item) return;
    const MaterialRow& r = rows_.at(row);
    for (int c = 0; c < 8; ++c) {
        item->setText(c, ShownText(r.columns[size_t(c)]));
        if (c >= 4) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void TVLMaterialsDialog::ShowRows(int select) {
    std::vector<int> keep = select < 0 ? std::vector<int>() : std::vector<int>{select};
    list_->clear();
    for (int row = 0; row < rows_.count(); ++row) {
        list_->addTopLevelItem(new QTreeWidgetItem());
        ShowRow(row);
    }
    if (select >= 0 && select < rows_.count()) {
        QTreeWidgetItem* item = list_->topLevelItem(select);
        list_->setCurrentItem(item);
        list_->scrollToItem(item);
    }
    total_->setText(QString::number(rows_.count()));
}

std::vector<int> TVLMaterialsDialog::SelectedRows() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : list_->selectedItems()) rows.push_back(list_->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool TVLMaterialsDialog::Save() {
    if (catalogue_.save(MaterialsFile::pathIn(settings_.dataFolder), settings_.current)) return true;
    // The change stays in the window; the user learns that the file did not take it.
    WindowPrompt().tell(Msg("00267") + "\n" + MaterialsFile::pathIn(settings_.dataFolder), "00073",
                        PromptIcon::Exclamation);
    return false;
}

void TVLMaterialsDialog::OnNew() {
    MaterialList group = NewMaterialGroup();
    list_->clearSelection();
    TVLMaterialDataDialog dataWindow(group, this);
    dataWindow.SetTitle("00087");
    dataWindow.SetRowNumber(rows_.count() + 1);
    dataWindow.SetKeyEditable(true);
    dataWindow.SetComponentsAllowed(componentsAllowed_);
    dataWindow.SetReadOnlyTreatments(false);
    for (;;) {
        if (dataWindow.exec() != QDialog::Accepted) return;
        ++changeCount_;
        int base = -1;
        if (AddMaterialGroup(catalogue_, group, &base) == GroupAddResult::Added) break;
        WindowPrompt().tell(Msg("00088"), "00073", PromptIcon::Exclamation);
    }
    Save();
    const int base = catalogue_.indexOf(group.at(0).serie, group.at(0).code, "");
    if (base < 0) return;
    rows_.Append(catalogue_, base);
    ShowRows(rows_.count() - 1);
}

void TVLMaterialsDialog::OnChange() {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() >= 2) {
        WindowPrompt().tell(Msg("00170"), "00073", PromptIcon::Exclamation);
        return;
    }
    if (rows.empty()) return;
    const int row = rows.front();
    const std::string serie = rows_.at(row).serie();
    const std::string code = rows_.at(row).code();
    MaterialList group = catalogue_.subset(serie, code);
    if (group.empty()) return;
    TVLMaterialDataDialog dataWindow(group, this);
    dataWindow.SetTitle("00089");
    dataWindow.SetRowNumber(rows_.at(row).itemData + 1);
    dataWindow.SetKeyEditable(false);
    dataWindow.SetComponentsAllowed(componentsAllowed_);
    dataWindow.SetReadOnlyTreatments(nested_);
    if (dataWindow.exec() != QDialog::Accepted) return;
    ++changeCount_;
    const int first = ReplaceMaterialGroup(catalogue_, serie, code, group);
    Save();
    rows_.Refill(row, catalogue_, first);
    ShowRow(row);
}

void TVLMaterialsDialog::OnDelete() {
    // The Delete key follows the button: a window opened from inside another one keeps the
    // groups that the outer window may be using.
    if (nested_) return;
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    if (WindowPrompt().ask(Msg("00074"), "00073", PromptIcon::Question, PromptButtons::YesNo, 1) !=
        PromptAnswer::Yes)
        return;
    for (int row : rows) catalogue_.removeAll(rows_.at(row).serie(), rows_.at(row).code());
    Save();
    ShowRows(rows_.Delete(rows));
}

}  // namespace tavrel
