#include "plates/ui/PlateFields.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "materials/Components.h"
#include "settings/Units.h"
#include "ui/AppIcons.h"
#include "ui/DialogStrings.h"

namespace tavrel {

namespace {

std::string S(const QString& text) { return text.toStdString(); }

}  // namespace

void PlateFields::Connect(const MaterialList& materials) {
    materials_ = &materials;
    for (int k = 0; k < 3; ++k)
        QObject::connect(kinds[k], &QRadioButton::clicked, kinds[k], [this, k] { KindClicked(k); });
    QObject::connect(material, qOverload<int>(&QComboBox::activated), material,
                     [this] { FillTreatments(std::string()); });
}

void PlateFields::FillMaterials(const std::string& select, bool firstWhenNone) {
    material->clear();
    for (const Material& m : *materials_)
        if (m.treatment.empty() && !m.isComposite()) AddStoredLine(material, m.serie + ", " + m.code);
    const int line = FindStoredLine(material, select);
    const bool none = select.empty() && !firstWhenNone;
    material->setCurrentIndex(line >= 0 ? line : (none || material->count() == 0 ? -1 : 0));
}

void PlateFields::FillTreatments(const std::string& select) {
    treatment->clear();
    AddStoredLine(treatment, std::string());
    std::string serie, code;
    SplitSerieCode(ChosenLine(material), serie, code);
    for (const Material& m : *materials_)
        if (m.serie == serie && m.code == code && !m.treatment.empty()) AddStoredLine(treatment, m.treatment);
    const int line = FindStoredLine(treatment, select);
    treatment->setCurrentIndex(line >= 0 ? line : 0);
}

void PlateFields::Show(const StockPlate& plate, bool firstWhenNone) {
    FillMaterials(plate.key.serie.empty() ? std::string() : plate.key.serie + ", " + plate.key.code,
                  firstWhenNone);
    FillTreatments(plate.key.treatment);
    const std::string number = LengthFormat(1);
    width->setText(ShownText(FormatNumber(number, plate.width)));
    height->setText(ShownText(FormatNumber(number, plate.height)));
    parameter->setText(ShownText(FormatNumber(number, plate.plateParameter)));
    quantity->setText(QString::number(plate.quantity));
    priority->setText(QString::number(plate.priority));
    orientation->clear();
    for (const char* id : {"00110", "00111", "00112"}) orientation->addItem(ShownText(Msg(id)));
    orientation->setCurrentIndex(plate.orientation >= 0 && plate.orientation <= 2 ? plate.orientation : 0);
    minimumLot->setText(ShownText(FormatNumber(AreaFormat(), plate.minimumLot)));
    kind_ = plate.kind >= PlateOrdinary && plate.kind <= PlateUnlimited ? plate.kind : PlateOrdinary;
    kinds[kind_]->setChecked(true);
    state_ = PlateKindState();
    PlateKindForm form = ReadKindForm();
    state_.open(form);
    ShowKindForm(form);
}

PlateDataTexts PlateFields::Read() const {
    PlateDataTexts texts;
    texts.kind = kind_;
    texts.material = ChosenLine(material);
    texts.treatment = ChosenLine(treatment);
    texts.quantity = S(quantity->text());
    texts.width = S(width->text());
    texts.height = S(height->text());
    texts.priority = S(priority->text());
    texts.plateParameter = S(parameter->text());
    texts.minimumLot = S(minimumLot->text());
    texts.orientation = orientation->currentIndex();
    return texts;
}

void PlateFields::Refill(const MaterialList& materials) {
    materials_ = &materials;
    const std::string chosenMaterial = ChosenLine(material);
    const std::string chosenTreatment = ChosenLine(treatment);
    FillMaterials(chosenMaterial, false);
    FillTreatments(chosenTreatment);
    // An unlimited plate shows its "all treatments" line, which the refill took away.
    if (kind_ == PlateUnlimited) {
        AddStoredLine(treatment, Msg("00133"));
        treatment->setCurrentIndex(treatment->count() - 1);
    }
}

PlateKindForm PlateFields::ReadKindForm() const {
    PlateKindForm form;
    form.kind = kind_;
    form.minimumLot = S(minimumLot->text());
    form.quantity = S(quantity->text());
    form.priority = S(priority->text());
    for (int i = 0; i < treatment->count(); ++i) form.treatmentLines.push_back(StoredLine(treatment, i));
    form.treatmentLine = treatment->currentIndex();
    return form;
}

void PlateFields::ShowKindForm(const PlateKindForm& form) {
    kind_ = form.kind;
    minimumLot->setText(ShownText(form.minimumLot));
    quantity->setText(ShownText(form.quantity));
    priority->setText(ShownText(form.priority));
    treatment->clear();
    for (const std::string& line : form.treatmentLines) AddStoredLine(treatment, line);
    treatment->setCurrentIndex(form.treatmentLine);
    minimumLot->setEnabled(form.minimumLotEnabled());
    treatment->setEnabled(form.treatmentEnabled());
    quantity->setEnabled(form.quantityEnabled());
    priority->setEnabled(form.priorityEnabled());
    if (form.showsIcon())
        icon->setPixmap(IconPixmap(178, 16));
    else
        icon->clear();
}

void PlateFields::KindClicked(int kind) {
    PlateKindForm form = ReadKindForm();
    state_.choose(form, kind);
    ShowKindForm(form);
}

}  // namespace tavrel
