#include "materials/ui/TVLMaterialSelectionDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "common/Messages.h"
#include "materials/Components.h"
#include "materials/MaterialGroups.h"
#include "materials/MaterialsFile.h"
#include "materials/ui/TVLMaterialsDialog.h"
#include "settings/AppSettings.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

TVLMaterialSelectionDialog::TVLMaterialSelectionDialog(AppSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("150");
    const DialogUnits du(font());
    setFixedSize(du.Size(220, 86));
    du.Place(new QLabel(QStringLiteral("00043"), this), 7, 9, 50, 8);
    groups_ = du.Place(new QComboBox(this), 60, 7, 153, 14);
    groups_->setObjectName("1012");
    du.Place(new QLabel(QStringLiteral("00044"), this), 7, 29, 50, 8);
    treatments_ = du.Place(new QComboBox(this), 60, 27, 153, 14);
    treatments_->setObjectName("1013");
    auto* materials = du.Place(new QPushButton(QStringLiteral("00045"), this), 7, 64, 60, 14);
    materials->setObjectName("1000");
    auto* ok = du.Place(new QPushButton(QStringLiteral("00008"), this), 109, 64, 50, 14);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = du.Place(new QPushButton(QStringLiteral("00009"), this), 163, 64, 50, 14);
    cancel->setObjectName("2");
    connect(ok, &QPushButton::clicked, this, &TVLMaterialSelectionDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TVLMaterialSelectionDialog::reject);
    connect(materials, &QPushButton::clicked, this, &TVLMaterialSelectionDialog::OpenMaterials);
    connect(groups_, &QComboBox::activated, this, [this] { FillTreatments(std::string(), false); });
}

void TVLMaterialSelectionDialog::showEvent(QShowEvent* event) {
    setWindowTitle(QString::fromStdString(title_));
    CompileDialogStrings(this);
    FillGroups(std::string());
    groups_->setCurrentIndex(-1);
    treatments_->clear();
    QDialog::showEvent(event);
}

void TVLMaterialSelectionDialog::FillGroups(const std::string& previous) {
    groups_->clear();
    for (const std::string& line : ChoosableGroups(SortedCatalogue(settings_), allowComposites_, excluded_))
        AddStoredLine(groups_, line);
    if (previous.empty()) return;
    const int index = FindStoredLine(groups_, previous);
    groups_->setCurrentIndex(index >= 0 ? index : 0);
}

void TVLMaterialSelectionDialog::FillTreatments(const std::string& previous, bool selectPrevious) {
    treatments_->clear();
    const std::string group = ChosenLine(groups_);
    for (const std::string& line : ChoosableTreatments(SortedCatalogue(settings_), group, allowComposites_))
        AddStoredLine(treatments_, line);
    if (!selectPrevious) {
        treatments_->setCurrentIndex(-1);
        return;
    }
    const int index = FindStoredLine(treatments_, previous);
    treatments_->setCurrentIndex(index >= 0 ? index : 0);
}

void TVLMaterialSelectionDialog::OpenMaterials() {
    const std::string group = ChosenLine(groups_);
    const std::string treatment = ChosenLine(treatments_);
    TVLMaterialsDialog materials(settings_, this);
    materials.SetNested(true);
    materials.SetComponentsAllowed(allowComposites_);
    materials.exec();
    FillGroups(group);
    FillTreatments(treatment, !group.empty());
}

void TVLMaterialSelectionDialog::accept() {
    const std::string group = ChosenLine(groups_);
    if (group.empty()) {
        WindowPrompt().tell(Msg("00091"), "00073", PromptIcon::Exclamation);
        return;
    }
    std::string serie, code;
    SplitSerieCode(group, serie, code);
    chosen_ = MaterialKey(serie, code, ChosenLine(treatments_));
    QDialog::accept();
}

}  // namespace tavrel
