#include "ui/MultipleModify.h"

#include <algorithm>

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "common/Messages.h"
#include "materials/Components.h"
#include "materials/MaterialGroups.h"
#include "materials/MaterialsFile.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

namespace {

QString Q(const std::string& text) { return ShownText(text); }
// A value of the list keeps its bytes beside the text shown, so a catalogue text a Windows
// station wrote goes back into the rows as it was read.
void SetValueText(QTreeWidgetItem* item, const std::string& value) {
    item->setText(2, Q(value));
    item->setData(2, Qt::UserRole, QByteArray::fromStdString(value));
}
std::string ValueText(const QTreeWidgetItem* item) {
    const QVariant data = item->data(2, Qt::UserRole);
    return data.isValid() ? data.toByteArray().toStdString() : item->text(2).toStdString();
}

}  // namespace

MultipleModify::MultipleModify(AppSettings& settings, ModifyFieldTable& table, int entryCount,
                               QWidget* parent)
    : QDialog(parent), settings_(settings), table_(table), choiceIndex_(size_t(table.count()), -1) {
    setObjectName("192");
    const DialogUnits du(font());
    setFixedSize(du.Size(330, 230));
    list_ = du.Place(new QTreeWidget(this), 7, 7, 316, 120);
    list_->setObjectName("1100");
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    du.Place(new QLabel(QStringLiteral("00225"), this), 7, 132, 70, 8);
    auto* count = du.Place(new QLabel(QString::number(entryCount), this), 80, 132, 40, 8);
    count->setObjectName("1083");
    du.PlaceGroup(new QGroupBox(QStringLiteral("00221"), this), 7, 145, 110, 40);
    fieldName_ = du.Place(new QLabel(this), 13, 162, 98, 8);
    fieldName_->setObjectName("1102");
    du.PlaceGroup(new QGroupBox(QStringLiteral("00222"), this), 123, 145, 200, 40);
    materials_ = du.Place(new QComboBox(this), 129, 157, 100, 14);
    materials_->setObjectName("1012");
    treatments_ = du.Place(new QComboBox(this), 231, 157, 86, 14);
    treatments_->setObjectName("1013");
    choices_ = du.Place(new QComboBox(this), 129, 157, 188, 14);
    choices_->setObjectName("1014");
    edit_ = du.Place(new QLineEdit(this), 129, 157, 188, 14);
    edit_->setObjectName("1101");
    auto* set = du.Place(new QPushButton(Q(Msg("00230") + " --->"), this), 7, 192, 70, 14);
    set->setObjectName("1098");
    auto* clear = du.Place(new QPushButton(Q(Msg("00229") + " --->"), this), 81, 192, 70, 14);
    clear->setObjectName("1099");
    auto* note = du.Place(new QLabel(QStringLiteral("00254"), this), 7, 213, 200, 8);
    note->setObjectName("1113");
    note->setVisible(ExceedsStdDecimals(-1, -1));
    auto* ok = du.Place(new QPushButton(QStringLiteral("00008"), this), 219, 210, 50, 14);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = du.Place(new QPushButton(QStringLiteral("00009"), this), 273, 210, 50, 14);
    cancel->setObjectName("2");
    setWindowTitle(QStringLiteral("00223"));
    CompileDialogStrings(this);

    list_->setHeaderLabels({Q(Msg("00228")), Q(Msg("00221")), Q(Msg("00222"))});
    const double widths[3] = {0.20, 0.45, 0.33};
    for (int c = 0; c < 3; ++c) list_->setColumnWidth(c, int(list_->width() * widths[c]));
    for (int i = 0; i < table_.count(); ++i) {
        auto* item = new QTreeWidgetItem(list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        item->setText(0, Q(table_.RowLabel(i)));
        item->setText(1, Q(table_.CaptionLabel(i)));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, i);
    }
    const MaterialList catalogue = SortedCatalogue(settings_);
    for (const std::string& line : ChoosableGroups(catalogue, true, "-")) AddStoredLine(materials_, line);
    materials_->setCurrentIndex(materials_->count() ? 0 : -1);
    FillTreatments(std::string());
    connect(materials_, &QComboBox::activated, this, [this] {
        FillTreatments(std::string());
        treatments_->setCurrentIndex(-1);
    });
    connect(list_, &QTreeWidget::currentItemChanged, this,
            [this] { ShowEditor(list_->currentIndex().row()); });
    connect(set, &QPushButton::clicked, this, &MultipleModify::SetValue);
    connect(clear, &QPushButton::clicked, this, &MultipleModify::ClearValue);
    connect(ok, &QPushButton::clicked, this, &MultipleModify::accept);
    connect(cancel, &QPushButton::clicked, this, &MultipleModify::reject);
    if (table_.count() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    ShowEditor(table_.count() > 0 ? 0 : -1);
}

void MultipleModify::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A row label with "may be empty" is longer than the row column's share, and the field
    // column has room to spare: it gives way, never below its own texts. Only the polished list
    // knows its font, so this waits for the window to show.
    const int rowShare = list_->columnWidth(0), fieldShare = list_->columnWidth(1);
    list_->resizeColumnToContents(0);
    list_->resizeColumnToContents(1);
    const int extra = std::max(0, list_->columnWidth(0) - rowShare);
    list_->setColumnWidth(0, rowShare + extra);
    list_->setColumnWidth(1, std::max(fieldShare - extra, list_->columnWidth(1)));
}

void MultipleModify::FillTreatments(const std::string& treatment) {
    treatments_->clear();
    const MaterialList catalogue = SortedCatalogue(settings_);
    for (const std::string& line : ChoosableTreatments(catalogue, ChosenLine(materials_), true))
        AddStoredLine(treatments_, line);
    const int index = FindStoredLine(treatments_, treatment);
    treatments_->setCurrentIndex(index >= 0 ? index : 0);
}

void MultipleModify::ShowEditor(int row) {
    const bool valid = row >= 0 && row < table_.count();
    const std::string type = valid ? table_.at(row).type : std::string();
    materials_->setVisible(type == "M");
    treatments_->setVisible(type == "M");
    choices_->setVisible(type == "C");
    edit_->setVisible(valid && type != "M" && type != "C");
    if (!valid) return;
    const std::string value = ValueText(list_->topLevelItem(row));
    fieldName_->setText(list_->topLevelItem(row)->text(1));
    if (type == "M") {
        std::string serie, code, treatment;
        if (!value.empty()) SplitMaterialValue(value, serie, code, treatment);
        const int index = FindStoredLine(materials_, serie + ", " + code);
        materials_->setCurrentIndex(index >= 0 ? index : (materials_->count() ? 0 : -1));
        FillTreatments(treatment);
    } else if (type == "C") {
        choices_->clear();
        for (const std::string& line : ParseChoices(table_.at(row).choices)) AddStoredLine(choices_, line);
        const int index = choiceIndex_[size_t(row)];
        choices_->setCurrentIndex(index >= 0 ? index : (choices_->count() ? 0 : -1));
    } else {
        edit_->setText(Q(value));
    }
}

void MultipleModify::SetValue() {
    QTreeWidgetItem* item = list_->currentItem();
    if (!item) return;
    const int row = list_->indexOfTopLevelItem(item);
    const ModifyField& field = table_.at(row);
    std::string value;
    if (field.type == "M") {
        value = MaterialValue(ChosenLine(materials_), ChosenLine(treatments_));
    } else if (field.type == "C") {
        value = ChosenLine(choices_);
        choiceIndex_[size_t(row)] = choices_->currentIndex();
    } else {
        value = ModifyValueText(edit_->text().toStdString(), field.type, field.rounding);
    }
    SetValueText(item, value);
}

void MultipleModify::ClearValue() {
    if (QTreeWidgetItem* item = list_->currentItem()) SetValueText(item, std::string());
}

void MultipleModify::accept() {
    std::vector<ModifyFieldTable::Answer> answers;
    for (int i = 0; i < table_.count(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        answers.push_back({item->checkState(0) == Qt::Checked, ValueText(item), choiceIndex_[size_t(i)]});
    }
    const std::string errors = table_.TakeAnswers(answers);
    if (!errors.empty()) {
        WindowPrompt().tell(Msg("00226") + ":" + "\n" + errors, "00073", PromptIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

}  // namespace tavrel
