#include "materials/ui/TVLMaterialDataDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "common/Messages.h"
#include "materials/Components.h"
#include "materials/ui/TVLComponentsDialog.h"
#include "model/RecordText.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "ui/AppIcons.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/QtUserPrompt.h"
#include "ui/TVLInputDialog.h"

namespace tavrel {

namespace {

const int kCutIds[7] = {1004, 1005, 1006, 1007, 1008, 1009, 1010};
const char* const kCutLabels[7] = {"00027", "00029", "00028", "00030", "00033", "00031", "00032"};

QString Q(const std::string& text) { return ShownText(text); }

}  // namespace

TVLMaterialDataDialog::TVLMaterialDataDialog(MaterialList& group, QWidget* parent)
    : QDialog(parent), group_(group) {
    setObjectName("142");
    Build();
}

void TVLMaterialDataDialog::Build() {
    const DialogUnits du(font());
    setFixedSize(du.Size(400, 300));
    auto edit = [&](int id, const char* label, int x, int y, int labelWidth = 70) {
        du.Place(new QLabel(QString::fromLatin1(label), this), x, y + 2, labelWidth, 8);
        auto* e = du.Place(new QLineEdit(this), x + labelWidth, y, 100 - (labelWidth - 70), 12);
        e->setObjectName(QString::number(id));
        return e;
    };
    du.PlaceGroup(new QGroupBox(QStringLiteral("00020"), this), 7, 7, 190, 92);
    serie_ = edit(1002, "00021", 13, 20);
    code_ = edit(1003, "00022", 13, 35);
    description_ = edit(1011, "00023", 13, 50);
    thickness_ = edit(1012, "00024", 13, 65);
    weight_ = edit(1013, "", 13, 80);
    weightLabel_ = findChildren<QLabel*>().back();
    du.PlaceGroup(new QGroupBox(QStringLiteral("00026"), this), 7, 105, 190, 120);
    for (int i = 0; i < 7; ++i) {
        cut_[size_t(i)] = edit(kCutIds[i], kCutLabels[i], 13, 118 + 15 * i, 110);
        cut_[size_t(i)]->setFixedWidth(du.X(60));
    }
    du.PlaceGroup(new QGroupBox(QStringLiteral("00034"), this), 203, 7, 190, 130);
    treatments_ = du.Place(new QListWidget(this), 209, 18, 178, 72);
    treatments_->setObjectName("1017");
    auto* add = du.Place(new QPushButton(QStringLiteral("00037"), this), 209, 94, 56, 14);
    add->setObjectName("1001");
    rename_ = du.Place(new QPushButton(QStringLiteral("00038"), this), 270, 94, 56, 14);
    rename_->setObjectName("1018");
    deleteTreatment_ = du.Place(new QPushButton(QStringLiteral("00012"), this), 331, 94, 56, 14);
    deleteTreatment_->setObjectName("1019");
    flag_ = du.Place(new QCheckBox(QStringLiteral("00035"), this), 209, 113, 110, 10);
    flag_->setObjectName("1014");
    components_ = du.Place(new QPushButton(QStringLiteral("00036"), this), 320, 111, 67, 14);
    components_->setObjectName("1000");
    du.PlaceGroup(new QGroupBox(QStringLiteral("00145"), this), 203, 143, 190, 60);
    const int checkIds[2] = {1048, 1049}, editIds[2] = {1015, 1016}, iconIds[2] = {1045, 1046};
    const char* labels[2] = {"00143", "00144"};
    for (int i = 0; i < 2; ++i) {
        const int y = 156 + 22 * i;
        du.Place(new QLabel(QString::fromLatin1(labels[i]), this), 209, y, 70, 8);
        limitChecks_[size_t(i)] = du.Place(new QCheckBox(this), 209, y + 9, 70, 10);
        limitChecks_[size_t(i)]->setObjectName(QString::number(checkIds[i]));
        limitEdits_[size_t(i)] = du.Place(new QLineEdit(this), 282, y + 7, 80, 12);
        limitEdits_[size_t(i)]->setObjectName(QString::number(editIds[i]));
        limitIcons_[size_t(i)] = du.Place(new QLabel(this), 366, y + 7, 12, 12);
        limitIcons_[size_t(i)]->setObjectName(QString::number(iconIds[i]));
        limitIcons_[size_t(i)]->setPixmap(IconPixmap(185, 16));
        connect(limitChecks_[size_t(i)], &QCheckBox::clicked, this, [this, i] { LimitClicked(i); });
    }
    // A star beside every real the rounding touches; they, the note and the button show only
    // when the unit prints more decimals than the files keep.
    const int markerRows[9] = {65, 80, 118, 133, 148, 163, 178, 193, 208};
    for (int i = 0; i < 9; ++i) {
        markers_[size_t(i)] = du.Place(new QLabel(QStringLiteral("*"), this), 186, markerRows[i] + 2, 8, 8);
        markers_[size_t(i)]->setObjectName(QString::number(1085 + i));
    }
    roundingNote_ = du.Place(new QLabel(QStringLiteral("00254"), this), 7, 232, 386, 8);
    roundingNote_->setObjectName("1113");
    round_ = du.Place(new QPushButton(QStringLiteral("00255"), this), 7, 280, 70, 14);
    round_->setObjectName("3");
    du.Place(new QLabel(QStringLiteral("00180"), this), 209, 213, 30, 8);
    rowLabel_ = du.Place(new QLabel(this), 240, 213, 40, 8);
    rowLabel_->setObjectName("1084");
    auto* ok = du.Place(new QPushButton(QStringLiteral("00008"), this), 283, 280, 50, 14);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = du.Place(new QPushButton(QStringLiteral("00009"), this), 343, 280, 50, 14);
    cancel->setObjectName("2");

    connect(ok, &QPushButton::clicked, this, &TVLMaterialDataDialog::accept);
    connect(round_, &QPushButton::clicked, this, &TVLMaterialDataDialog::Round);
    connect(cancel, &QPushButton::clicked, this, &TVLMaterialDataDialog::reject);
    connect(serie_, &QLineEdit::textEdited, this, [this] { KeyEdited(serie_, kSerieWidth); });
    connect(code_, &QLineEdit::textEdited, this, [this] { KeyEdited(code_, kCodeWidth); });
    connect(treatments_, &QListWidget::currentRowChanged, this, &TVLMaterialDataDialog::TreatmentSelected);
    connect(treatments_, &QListWidget::itemDoubleClicked, this, [this] {
        if (!readOnlyTreatments_) RenameTreatment();
    });
    connect(add, &QPushButton::clicked, this, &TVLMaterialDataDialog::NewTreatment);
    connect(rename_, &QPushButton::clicked, this, &TVLMaterialDataDialog::RenameTreatment);
    connect(deleteTreatment_, &QPushButton::clicked, this, &TVLMaterialDataDialog::DeleteTreatment);
    connect(components_, &QPushButton::clicked, this, &TVLMaterialDataDialog::OpenComponents);
    connect(flag_, &QCheckBox::clicked, this, [this](bool on) {
        const int row = treatments_->currentRow();
        if (row >= 0 && row < group_.count()) group_.at(row).engineFlag = on ? 1 : 0;
    });
}

void TVLMaterialDataDialog::showEvent(QShowEvent* event) {
    // The caller's settings come after construction; a second run (a refused new group) keeps
    // what the user typed, which the group holds.
    Prepare();
    QDialog::showEvent(event);
}

void TVLMaterialDataDialog::Prepare() {
    setWindowTitle(Q(title_));
    CompileDialogStrings(this);
    const bool rounds = ExceedsStdDecimals(-1, -1);
    for (QLabel* marker : markers_) marker->setVisible(rounds);
    roundingNote_->setVisible(rounds);
    round_->setVisible(rounds);
    if (group_.empty()) group_.add(Material());
    const Material& first = group_.at(0);
    const MaterialDataForm form = FormOf(first);
    shown_ = form;
    guard_ = true;
    serie_->setText(Q(form.serie));
    code_->setText(Q(form.code));
    description_->setText(Q(form.description));
    thickness_->setText(Q(form.thickness));
    weight_->setText(Q(form.weight));
    for (int i = 0; i < 7; ++i) cut_[size_t(i)]->setText(Q(form.cutParameters[size_t(i)]));
    guard_ = false;
    weightLabel_->setText(Q(Msg("00160") + WithWeightLabel(" [", "]") + ":"));
    serie_->setReadOnly(!keyEditable_);
    code_->setReadOnly(!keyEditable_);
    serie_->setMaxLength(keyEditable_ ? int(kSerieWidth) : 32767);
    code_->setMaxLength(keyEditable_ ? int(kCodeWidth) : 32767);
    components_->setEnabled(componentsAllowed_);
    rowLabel_->setText(QString::number(rowNumber_));
    limits_ = {PlateLimitBox(first.maxPlateWidth), PlateLimitBox(first.maxPlateHeight)};
    ShowLimit(0);
    ShowLimit(1);
    FillTreatments(0);
}

void TVLMaterialDataDialog::KeyEdited(QLineEdit* edit, std::size_t width) {
    if (guard_ || edit->isReadOnly()) return;
    std::string text = edit->text().toStdString();
    int caret = edit->cursorPosition();
    if (!CleanKeyText(text, width, &caret)) return;
    guard_ = true;
    edit->setText(Q(text));
    edit->setCursorPosition(caret);
    guard_ = false;
}

void TVLMaterialDataDialog::ShowLimit(int which) {
    const PlateLimitBox& box = limits_[size_t(which)];
    limitChecks_[size_t(which)]->setChecked(box.on());
    limitChecks_[size_t(which)]->setText(Q(box.CheckText()));
    limitEdits_[size_t(which)]->setText(Q(box.EditText()));
    limitEdits_[size_t(which)]->setReadOnly(!box.on());
    limitIcons_[size_t(which)]->setVisible(box.on());
}

void TVLMaterialDataDialog::LimitClicked(int which) {
    PlateLimitBox& box = limits_[size_t(which)];
    if (limitChecks_[size_t(which)]->isChecked()) {
        box.SwitchOn();
        ShowLimit(which);
        limitEdits_[size_t(which)]->setFocus();
    } else {
        box.SwitchOff(ParseReal(limitEdits_[size_t(which)]->text().toStdString()));
        ShowLimit(which);
    }
}

void TVLMaterialDataDialog::FillTreatments(int select) {
    treatments_->clear();
    for (const Material& entry : group_) treatments_->addItem(Q(TreatmentLine(entry)));
    if (select >= treatments_->count()) select = treatments_->count() - 1;
    treatments_->setCurrentRow(select);
    TreatmentSelected();
}

void TVLMaterialDataDialog::TreatmentSelected() {
    const int row = treatments_->currentRow();
    const bool editable = row > 0 && !readOnlyTreatments_;
    rename_->setEnabled(editable);
    deleteTreatment_->setEnabled(editable);
    if (row >= 0 && row < group_.count()) flag_->setChecked(group_.at(row).engineFlag == 1);
}

void TVLMaterialDataDialog::NewTreatment() {
    TVLInputDialog input(this);
    input.SetCaption(Msg("00080"));
    input.SetPrompt("00081");
    input.SetValue("");
    while (input.exec() == QDialog::Accepted) {
        int index = -1;
        const TreatmentNameResult r = AddTreatment(group_, input.value(), &index);
        if (r == TreatmentNameResult::Exists) {
            WindowPrompt().tell(Msg("00082"), "00073", PromptIcon::Exclamation);
            continue;
        }
        if (r == TreatmentNameResult::Done) FillTreatments(index);
        return;
    }
}

void TVLMaterialDataDialog::RenameTreatment() {
    const int row = treatments_->currentRow();
    if (row <= 0 || row >= group_.count()) return;
    TVLInputDialog input(this);
    input.SetCaption(Msg("00083"));
    input.SetPrompt("00084");
    input.SetValue(group_.at(row).treatment);
    while (input.exec() == QDialog::Accepted) {
        int index = -1;
        const TreatmentNameResult r = tavrel::RenameTreatment(group_, row, input.value(), &index);
        if (r == TreatmentNameResult::Exists) {
            WindowPrompt().tell(Msg("00082"), "00073", PromptIcon::Exclamation);
            continue;
        }
        if (r == TreatmentNameResult::Done) FillTreatments(index);
        return;
    }
}

void TVLMaterialDataDialog::DeleteTreatment() {
    const int row = treatments_->currentRow();
    if (row <= 0 || row >= group_.count()) return;
    if (WindowPrompt().ask(Msg("00074"), "00073", PromptIcon::Question, PromptButtons::YesNo, 1) !=
        PromptAnswer::Yes)
        return;
    group_.removeAllWithTreatment(group_.at(row).treatment);
    FillTreatments(row);
}

MaterialDataForm TVLMaterialDataDialog::ReadForm() const {
    MaterialDataForm form;
    form.serie = KeptText(serie_, shown_.serie);
    form.code = KeptText(code_, shown_.code);
    form.description = KeptText(description_, shown_.description);
    form.thickness = thickness_->text().toStdString();
    form.weight = weight_->text().toStdString();
    for (int i = 0; i < 7; ++i) form.cutParameters[size_t(i)] = cut_[size_t(i)]->text().toStdString();
    form.widthOn = limitChecks_[0]->isChecked();
    form.width = limitEdits_[0]->text().toStdString();
    form.heightOn = limitChecks_[1]->isChecked();
    form.height = limitEdits_[1]->text().toStdString();
    return form;
}

void TVLMaterialDataDialog::Round() {
    MaterialDataForm form = ReadForm();
    RoundMaterialForm(form);
    thickness_->setText(Q(form.thickness));
    weight_->setText(Q(form.weight));
    for (int i = 0; i < 7; ++i) cut_[size_t(i)]->setText(Q(form.cutParameters[size_t(i)]));
}

void TVLMaterialDataDialog::accept() {
    Round();
    const MaterialDataForm form = ReadForm();
    const MaterialDataCheck check = CheckMaterialForm(form, keyEditable_);
    if (check != MaterialDataCheck::Ok) {
        WindowPrompt().tell(Msg(MaterialDataMessage(check)), "00073", PromptIcon::Exclamation);
        if (check == MaterialDataCheck::WidthLimit) limitEdits_[0]->setFocus();
        if (check == MaterialDataCheck::HeightLimit) limitEdits_[1]->setFocus();
        return;
    }
    ApplyMaterialForm(form, group_);
    QDialog::accept();
}

void TVLMaterialDataDialog::OpenComponents() {
    const std::string serie = KeptText(serie_, shown_.serie);
    const std::string code = KeptText(code_, shown_.code);
    if (serie.empty() || code.empty()) {
        WindowPrompt().tell(Msg("00079"), "00073", PromptIcon::Exclamation);
        return;
    }
    const int row = treatments_->currentRow();
    AppSettings* settings = CurrentSettings();
    if (row < 0 || row >= group_.count() || !settings) return;
    Material& entry = group_.at(row);
    MaterialKeyList copy = entry.components.copy();
    TVLComponentsDialog dialog(*settings, copy, this);
    dialog.SetTitle(ComponentsTitle(entry));
    dialog.SetHostSerieCode(serie + ", " + code);
    dialog.SetReadOnly(readOnlyTreatments_);
    if (dialog.exec() != QDialog::Accepted) return;
    entry.components = copy;
    FillTreatments(row);
}

}  // namespace tavrel
