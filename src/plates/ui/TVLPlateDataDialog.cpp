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

QString Q(const std::string& text) { return ShownText(text); }

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
        fields_.kinds[k] =
            du.Place(new QRadioButton(QString::fromLatin1(kindLabels[k]), this), 13 + 70 * k, 20, 66, 10);
        fields_.kinds[k]->setObjectName(QString::number(kindIds[k]));
    }
    lotLabel_ = du.Place(new QLabel(this), 13, 35, 110, 8);
    lotLabel_->setObjectName("1111");
    fields_.minimumLot = du.Place(new QLineEdit(this), 125, 33, 80, 12);
    fields_.minimumLot->setObjectName("1027");
    fields_.icon = du.Place(new QLabel(this), 210, 33, 12, 12);
    fields_.icon->setObjectName("1041");

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
    fields_.material = du.Place(new QComboBox(this), 95, 68, 140, 12);
    fields_.material->setObjectName("1012");
    auto* open = du.Place(new QPushButton(QStringLiteral("00045"), this), 239, 67, 50, 14);
    open->setObjectName("1000");
    label("00044", 83);
    fields_.treatment = du.Place(new QComboBox(this), 95, 83, 140, 12);
    fields_.treatment->setObjectName("1015");
    fields_.quantity = edit(1004, "00055", 98);
    fields_.width = edit(1002, "00056", 113);
    fields_.height = edit(1003, "00057", 128);
    fields_.priority = edit(1005, "00066", 143);
    fields_.parameter = edit(1006, "00067", 158);
    label("00068", 173);
    fields_.orientation = du.Place(new QComboBox(this), 95, 173, 120, 12);
    fields_.orientation->setObjectName("1013");
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
    fields_.Connect(materials_);
}

void TVLPlateDataDialog::showEvent(QShowEvent* event) {
    Prepare();
    QDialog::showEvent(event);
}

void TVLPlateDataDialog::Prepare() {
    setWindowTitle(Q(Msg(title_)));
    CompileDialogStrings(this);
    lotLabel_->setText(Q(Msg("00129") + WithAreaLabel(" [", "]")));
    rowLabel_->setText(QString::number(rowNumber_));
    fields_.Show(plate_, false);
}

void TVLPlateDataDialog::Round() {
    PlateDataTexts texts = fields_.Read();
    RoundPlateTexts(texts);
    fields_.width->setText(Q(texts.width));
    fields_.height->setText(Q(texts.height));
    fields_.parameter->setText(Q(texts.plateParameter));
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
    fields_.Refill(materials_);
}

void TVLPlateDataDialog::accept() {
    Round();
    const PlateDataTexts texts = fields_.Read();
    const std::string message = ReadPlateData(texts, plate_);
    if (!message.empty()) {
        WindowPrompt().tell(Msg(message), "00073", PromptIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

}  // namespace tavrel
