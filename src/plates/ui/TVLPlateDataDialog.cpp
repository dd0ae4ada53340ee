#include "plates/ui/TVLPlateDataDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "materials/MaterialGroups.h"
#include "materials/ui/TVLMaterialsDialog.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "ui/AppIcons.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QString& text) { return text.toStdString(); }

}  // namespace

TVLPlateDataDialog::TVLPlateDataDialog(StockPlate& plate, const MaterialList& materials, QWidget* parent)
    : QDialog(parent), plate_(plate), materials_(materials) {
    setObjectName("144");
    materials_.sort(false);
    Build();
}

void TVLPlateDataDialog::Build() {
    const DialogUnits du(font());
    setFixedSize(du.Size(300, 250));
    du.PlaceGroup(new QGroupBox(QStringLiteral("00146"), this), 7, 7, 286, 44);
    const int kindIds[3] = {1029, 1031, 1030};
    const char* kindLabels[3] = {"00131", "00069", "00132"};
    for (int k = 0; k < 3; ++k) {
        kinds_[k] =
            du.Place(new QRadioButton(QString::fromLatin1(kindLabels[k]), this), 13 + 70 * k, 20, 66, 10);
        kinds_[k]->setObjectName(QString::number(kindIds[k]));
        connect(kinds_[k], &QRadioButton::clicked, this, [this, k] { KindClicked(k); });
    }
    lotLabel_ = du.Place(new QLabel(this), 13, 35, 110, 8);
    lotLabel_->setObjectName("1111");
    minimumLot_ = du.Place(new QLineEdit(this), 125, 33, 80, 12);
    minimumLot_->setObjectName("1027");
    icon_ = du.Place(new QLabel(this), 210, 33, 12, 12);
    icon_->setObjectName("1041");

    du.PlaceGroup(new QGroupBox(QStringLiteral("00065"), this), 7, 55, 286, 170);
    auto label = [&](const char* text, int y) {
        du.Place(new QLabel(QString::fromLatin1(text), this), 13, y + 2, 80, 8);
    };
    auto edit = [&](int id, const char* text, int y) {
        label(text, y);
        auto* e = du.Place(new QLineEdit(this), 95, y, 80, 12);
        e->setObjectName(QString::number(id));
        return e;
    };
    label("00043", 68);
    material_ = du.Place(new QComboBox(this), 95, 68, 140, 12);
    material_->setObjectName("1012");
    auto* open = du.Place(new QPushButton(QStringLiteral("00045"), this), 239, 67, 50, 14);
    open->setObjectName("1000");
    label("00044", 83);
    treatment_ = du.Place(new QComboBox(this), 95, 83, 140, 12);
    treatment_->setObjectName("1015");
    quantity_ = edit(1004, "00055", 98);
    width_ = edit(1002, "00056", 113);
    height_ = edit(1003, "00057", 128);
    priority_ = edit(1005, "00066", 143);
    parameter_ = edit(1006, "00067", 158);
    label("00068", 173);
    orientation_ = du.Place(new QComboBox(this), 95, 173, 120, 12);
    orientation_->setObjectName("1013");
    // The rounding note, button and markers only matter when the unit shows more decimals than
    // the engine keeps.
    const bool rounds = ExceedsStdDecimals(-1, -1);
    const int markerIds[3] = {1085, 1086, 1087}, markerRows[3] = {113, 128, 158};
    for (int i = 0; i < 3; ++i) {
        auto* marker = du.Place(new QLabel(QStringLiteral("*"), this), 178, markerRows[i] + 2, 8, 8);
        marker->setObjectName(QString::number(markerIds[i]));
        marker->setVisible(rounds);
    }
    auto* note = du.Place(new QLabel(QStringLiteral("00254"), this), 13, 190, 274, 8);
    note->setObjectName("1113");
    note->setVisible(rounds);
    auto* round = du.Place(new QPushButton(QStringLiteral("00255"), this), 7, 230, 70, 14);
    round->setObjectName("3");
    round->setVisible(rounds);
    du.Place(new QLabel(QStringLiteral("00180"), this), 13, 205, 30, 8);
    rowLabel_ = du.Place(new QLabel(this), 45, 205, 40, 8);
    rowLabel_->setObjectName("1084");
    auto* ok = du.Place(new QPushButton(QStringLiteral("00008"), this), 183, 230, 50, 14);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = du.Place(new QPushButton(QStringLiteral("00009"), this), 243, 230, 50, 14);
    cancel->setObjectName("2");
    connect(ok, &QPushButton::clicked, this, &TVLPlateDataDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TVLPlateDataDialog::reject);
    connect(round, &QPushButton::clicked, this, &TVLPlateDataDialog::Round);
    connect(open, &QPushButton::clicked, this, &TVLPlateDataDialog::OpenMaterials);
    connect(material_, qOverload<int>(&QComboBox::activated), this,
            [this] { FillTreatments(std::string()); });
}

void TVLPlateDataDialog::showEvent(QShowEvent* event) {
    Prepare();
    QDialog::showEvent(event);
}

void TVLPlateDataDialog::Prepare() {
    setWindowTitle(Q(Msg(title_)));
    CompileDialogStrings(this);
    material_->clear();
    for (const Material& m : materials_)
        if (m.treatment.empty() && !m.isComposite()) material_->addItem(Q(m.serie + ", " + m.code));
    const int line = material_->findText(Q(plate_.key.serie + ", " + plate_.key.code));
    material_->setCurrentIndex(plate_.key.serie.empty() ? -1 : (line >= 0 ? line : 0));
    FillTreatments(plate_.key.treatment);
    const std::string number = LengthFormat(1);
    width_->setText(Q(FormatNumber(number, plate_.width)));
    height_->setText(Q(FormatNumber(number, plate_.height)));
    parameter_->setText(Q(FormatNumber(number, plate_.plateParameter)));
    quantity_->setText(Q(Format("%d", plate_.quantity)));
    priority_->setText(Q(Format("%d", plate_.priority)));
    orientation_->clear();
    for (const char* id : {"00110", "00111", "00112"}) orientation_->addItem(Q(Msg(id)));
    orientation_->setCurrentIndex(plate_.orientation >= 0 && plate_.orientation <= 2 ? plate_.orientation
                                                                                     : 0);
    lotLabel_->setText(Q(Msg("00129") + WithAreaLabel(" [", "]")));
    rowLabel_->setText(QString::number(rowNumber_));
    minimumLot_->setText(Q(FormatNumber(AreaFormat(), plate_.minimumLot)));
    kind_ = plate_.kind >= PlateOrdinary && plate_.kind <= PlateUnlimited ? plate_.kind : PlateOrdinary;
    kinds_[kind_]->setChecked(true);
    state_ = PlateKindState();
    PlateKindForm form = ReadKindForm();
    state_.open(form);
    ShowKindForm(form);
}

void TVLPlateDataDialog::FillTreatments(const std::string& select) {
    treatment_->clear();
    treatment_->addItem(QString());
    const std::string text = S(material_->currentText());
    const std::size_t comma = text.find(',');
    const std::string serie = Trim(text.substr(0, comma));
    const std::string code = comma == std::string::npos ? std::string() : Trim(text.substr(comma + 1));
    for (const Material& m : materials_)
        if (m.serie == serie && m.code == code && !m.treatment.empty()) treatment_->addItem(Q(m.treatment));
    const int line = treatment_->findText(Q(select));
    treatment_->setCurrentIndex(line >= 0 ? line : 0);
}

PlateKindForm TVLPlateDataDialog::ReadKindForm() const {
    PlateKindForm form;
    form.kind = kind_;
    form.minimumLot = S(minimumLot_->text());
    form.quantity = S(quantity_->text());
    form.priority = S(priority_->text());
    for (int i = 0; i < treatment_->count(); ++i) form.treatmentLines.push_back(S(treatment_->itemText(i)));
    form.treatmentLine = treatment_->currentIndex();
    return form;
}

void TVLPlateDataDialog::ShowKindForm(const PlateKindForm& form) {
    kind_ = form.kind;
    minimumLot_->setText(Q(form.minimumLot));
    quantity_->setText(Q(form.quantity));
    priority_->setText(Q(form.priority));
    treatment_->clear();
    for (const std::string& line : form.treatmentLines) treatment_->addItem(Q(line));
    treatment_->setCurrentIndex(form.treatmentLine);
    minimumLot_->setEnabled(form.minimumLotEnabled());
    treatment_->setEnabled(form.treatmentEnabled());
    quantity_->setEnabled(form.quantityEnabled());
    priority_->setEnabled(form.priorityEnabled());
    if (form.showsIcon())
        icon_->setPixmap(IconPixmap(178, 16));
    else
        icon_->clear();
}

void TVLPlateDataDialog::KindClicked(int kind) {
    PlateKindForm form = ReadKindForm();
    state_.choose(form, kind);
    ShowKindForm(form);
}

PlateDataTexts TVLPlateDataDialog::ReadTexts() const {
    PlateDataTexts texts;
    texts.kind = kind_;
    texts.material = S(material_->currentText());
    texts.treatment = S(treatment_->currentText());
    texts.quantity = S(quantity_->text());
    texts.width = S(width_->text());
    texts.height = S(height_->text());
    texts.priority = S(priority_->text());
    texts.plateParameter = S(parameter_->text());
    texts.minimumLot = S(minimumLot_->text());
    texts.orientation = orientation_->currentIndex();
    return texts;
}

void TVLPlateDataDialog::Round() {
    PlateDataTexts texts = ReadTexts();
    RoundPlateTexts(texts);
    width_->setText(Q(texts.width));
    height_->setText(Q(texts.height));
    parameter_->setText(Q(texts.plateParameter));
}

void TVLPlateDataDialog::OpenMaterials() {
    AppSettings* settings = settings_ ? settings_ : CurrentSettings();
    if (!settings) return;
    TVLMaterialsDialog dialog(*settings, this);
    dialog.SetNested(true);
    dialog.exec();
    if (dialog.changeCount() <= 0) return;
    materialChanges_ += dialog.changeCount();
    materials_ = SortedCatalogue(*settings);
    const QString material = material_->currentText();
    const QString treatment = treatment_->currentText();
    material_->clear();
    for (const Material& m : materials_)
        if (m.treatment.empty() && !m.isComposite()) material_->addItem(Q(m.serie + ", " + m.code));
    material_->setCurrentIndex(material.isEmpty() ? -1 : std::max(material_->findText(material), 0));
    FillTreatments(S(treatment));
    // An unlimited plate shows its "all treatments" line, which the refill took away.
    if (kind_ == PlateUnlimited) {
        treatment_->addItem(Q(Msg("00133")));
        treatment_->setCurrentIndex(treatment_->count() - 1);
    }
}

void TVLPlateDataDialog::accept() {
    Round();
    const PlateDataTexts texts = ReadTexts();
    const std::string message = ReadPlateData(texts, plate_);
    if (!message.empty()) {
        WindowPrompt().tell(Msg(message), "00073", PromptIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

}  // namespace tavrel
