#include "settings/ui/TVLConfigDialog.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "common/TextUtils.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "settings/FolderState.h"
#include "settings/LabelSheets.h"
#include "settings/Languages.h"
#include "settings/SettingsChoice.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/FileDialogs.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

namespace {

// Where each folder's label and edit box sit, in folder position order.
struct FolderPlace {
    int labelY;
    int editY;
};
const FolderPlace kFolderPlaces[kDataFolderCount] = {{20, 30},   {52, 61},   {82, 92},
                                                     {114, 123}, {145, 154}, {195, 205}};

const std::string& FolderField(const AppSettings& s, int position) {
    return s.*DataFolders()[size_t(position)].field;
}

void PaintFolderBox(QLineEdit* edit, bool exists) {
    QPalette p = QApplication::palette(edit);
    if (!exists) {
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            p.setColor(group, QPalette::Base, TVLConfigDialog::MissingBackground());
            p.setColor(group, QPalette::Text, TVLConfigDialog::MissingText());
        }
    }
    edit->setPalette(p);
}

}  // namespace

TVLConfigDialog::TVLConfigDialog(AppSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("140");
    setFixedSize(DialogUnits(font()).Size(347, 390));
    BuildFolders();
    BuildUnits();
    BuildLanguage();
    BuildLabelSheet();
    const DialogUnits du(font());
    auto* ok = du.Place(new QPushButton(QStringLiteral("00008"), this), 121, 369, 50, 14);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = du.Place(new QPushButton(QStringLiteral("00009"), this), 175, 369, 50, 14);
    cancel->setObjectName("2");
    connect(ok, &QPushButton::clicked, this, &TVLConfigDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TVLConfigDialog::reject);
    setWindowTitle(QString::fromStdString(Msg("00019")));
    CompileDialogStrings(this);
    Fill();
}

void TVLConfigDialog::BuildFolders() {
    const DialogUnits du(font());
    du.PlaceGroup(new QGroupBox(QStringLiteral("00013"), this), 7, 7, 333, 223);
    du.PlaceGroup(new QGroupBox(QStringLiteral("00220"), this), 13, 183, 321, 42);
    for (int position = 0; position < kDataFolderCount; ++position) {
        const DataFolder& row = DataFolders()[size_t(position)];
        const FolderPlace& place = kFolderPlaces[position];
        du.Place(new QLabel(QString::fromLatin1(row.messageId), this), 17, place.labelY, 291, 8);
        auto* edit = du.Place(new QLineEdit(this), 17, place.editY, 293, 14);
        edit->setObjectName(QString::number(row.editId));
        auto* browse = du.Place(new QPushButton(QStringLiteral(". . ."), this), 311, place.editY, 17, 14);
        browse->setObjectName(QString::number(row.browseId));
        folders_[size_t(position)] = edit;
        connect(edit, &QLineEdit::textChanged, this, [this, position] { FolderEdited(position); });
        connect(browse, &QPushButton::clicked, this, [this, position] { Browse(position); });
    }
    // The CNC folder is where the engine writes; the start-up puts it back to its default anyway.
    FolderEdit(kCncFolderPosition)->setEnabled(false);
    findChild<QPushButton*>(QString::number(DataFolders()[kCncFolderPosition].browseId))->setEnabled(false);
}

void TVLConfigDialog::BuildUnits() {
    const DialogUnits du(font());
    du.PlaceGroup(new QGroupBox(QStringLiteral("00248"), this), 7, 235, 333, 60);
    millimetres_ = du.Place(new QRadioButton(QStringLiteral("00249"), this), 17, 253, 51, 11);
    millimetres_->setObjectName("1107");
    inches_ = du.Place(new QRadioButton(QStringLiteral("00250"), this), 17, 273, 51, 11);
    inches_->setObjectName("1108");
    millimetreArrow_ = du.Place(new QLabel(QStringLiteral("------------->"), this), 70, 254, 40, 8);
    millimetreArrow_->setObjectName("1110");
    inchArrow_ = du.Place(new QLabel(QStringLiteral("------------->"), this), 70, 275, 40, 8);
    inchArrow_->setObjectName("1116");

    const char* titles[] = {"00256", "00253", "00251", "00252", "00160"};
    const int titleX[] = {110, 157, 205, 251, 297};
    for (int i = 0; i < 5; ++i)
        du.Place(new QLabel(QString::fromLatin1(titles[i]), this), titleX[i], 242, 42, 8);

    auto decimalsEdit = [&](const char* id, int y) {
        auto* edit = du.Place(new QLineEdit(this), 114, y, 25, 12);
        edit->setObjectName(QString::fromLatin1(id));
        edit->setMaxLength(1);
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        edit->setAlignment(Qt::AlignCenter);
        return edit;
    };
    millimetreDecimals_ = decimalsEdit("1124", 252);
    inchDecimals_ = decimalsEdit("1123", 273);

    const int ids[] = {1117, 1109, 1112, 1114, 1118, 1111, 1113, 1115};
    const int labelX[] = {157, 205, 251, 297};
    for (int i = 0; i < 8; ++i) {
        auto* label = du.Place(new QLabel(this), labelX[i % 4], i < 4 ? 254 : 275, 40, 8);
        label->setObjectName(QString::number(ids[i]));
        unitLabels_[size_t(i)] = label;
    }
    roundingMark_ = du.Place(new QLabel(QStringLiteral("*"), this), 105, 274, 8, 10);
    roundingMark_->setObjectName("1086");
    roundingMark_->hide();
    roundingNote_ = du.Place(new QLabel(QStringLiteral("00254"), this), 29, 285, 300, 8);
    roundingNote_->setObjectName("1122");
    roundingNote_->hide();

    connect(millimetres_, &QRadioButton::toggled, this, &TVLConfigDialog::UnitChosen);
    connect(inchDecimals_, &QLineEdit::textChanged, this, &TVLConfigDialog::InchDecimalsEdited);
}

void TVLConfigDialog::BuildLanguage() {
    const DialogUnits du(font());
    du.PlaceGroup(new QGroupBox(QStringLiteral("00390"), this), 7, 301, 333, 29);
    language_ = du.Place(new QComboBox(this), 17, 311, 110, 13);
    language_->setObjectName("1125");
    // Each language under its own name, whatever the catalogue in use.
    for (const Language& language : Languages()) language_->addItem(QString::fromUtf8(language.name));
}

void TVLConfigDialog::BuildLabelSheet() {
    const DialogUnits du(font());
    du.PlaceGroup(new QGroupBox(QStringLiteral("00380"), this), 7, 333, 333, 29);
    labelSheet_ = du.Place(new QComboBox(this), 17, 344, 313, 14);
    labelSheet_->setObjectName("1130");
    for (const LabelSheet& sheet : LabelSheets())
        labelSheet_->addItem(QString::fromStdString(Msg(sheet.messageId)), QString::fromLatin1(sheet.key));
}

void TVLConfigDialog::Fill() {
    const SettingsChoice current = CurrentChoice(settings_);
    initialDecimals_ = current.initialDecimals;
    for (int position = 0; position < kDataFolderCount; ++position)
        FolderEdit(position)->setText(QString::fromStdString(current.folders[size_t(position)]));
    millimetreDecimals_->setText(QString::fromStdString(current.decimals[0]));
    inchDecimals_->setText(QString::fromStdString(current.decimals[1]));
    millimetreDecimals_->setEnabled(false);
    inchDecimals_->setEnabled(false);
    for (int position = 0; position < kDataFolderCount; ++position)
        PaintFolderBox(FolderEdit(position), RefreshFolderState(position, FolderField(settings_, position)));
    if (!settings_.units[1].found) inches_->setEnabled(false);
    if (settings_.selectedUnit == 1)
        inches_->setChecked(true);
    else
        millimetres_->setChecked(true);
    UnitChosen();
    const Language& chosen = FindLanguage(settings_.language);
    for (size_t i = 0; i < Languages().size(); ++i)
        if (&Languages()[i] == &chosen) language_->setCurrentIndex(int(i));
    labelSheet_->setCurrentIndex(labelSheet_->findData(QString::fromStdString(current.labelSheet)));
    for (int i = 0; i < 8; ++i) {
        const UnitDef& row = settings_.units[i < 4 ? 0 : 1];
        const std::string* texts[] = {&row.linearLabel, &row.lengthLabel, &row.areaLabel, &row.weightLabel};
        unitLabels_[size_t(i)]->setText(QString::fromStdString(*texts[i % 4]));
    }
}

void TVLConfigDialog::FolderEdited(int position) {
    QLineEdit* edit = FolderEdit(position);
    PaintFolderBox(edit, RefreshFolderState(position, edit->text().toStdString()));
}

void TVLConfigDialog::Browse(int position) {
    QLineEdit* edit = FolderEdit(position);
    const std::string current = edit->text().toStdString();
    const std::string start = Platform::IsDirectory(current) ? current : Platform::CurrentFolder();
    const QString chosen = FileDialogs::ExistingFolder(
        this, QString::fromStdString(Msg(DataFolders()[size_t(position)].messageId)),
        QString::fromStdString(start));
    if (!chosen.isEmpty()) edit->setText(chosen);
}

void TVLConfigDialog::UnitChosen() {
    const bool mm = millimetres_->isChecked();
    millimetreArrow_->setVisible(mm);
    inchArrow_->setVisible(!mm);
    inchDecimals_->setEnabled(!mm);
}

void TVLConfigDialog::InchDecimalsEdited() {
    if (decimalsGuard_) return;
    int standard = 0;
    const bool exceeds = ExceedsStdDecimals(int(ToLong(inchDecimals_->text().toStdString())), 1, &standard);
    if (exceeds) {
        // More decimals than the inch's standard are allowed only one step beyond, and marked.
        decimalsGuard_ = true;
        inchDecimals_->setText(QString::number(standard + 1));
        decimalsGuard_ = false;
    }
    roundingMark_->setVisible(exceeds);
    roundingNote_->setVisible(exceeds);
}

void TVLConfigDialog::accept() {
    SettingsChoice choice;
    for (int position = 0; position < kDataFolderCount; ++position)
        choice.folders[size_t(position)] = FolderEdit(position)->text().toStdString();
    choice.unit = millimetres_->isChecked() ? 0 : 1;
    choice.decimals = {millimetreDecimals_->text().toStdString(), inchDecimals_->text().toStdString()};
    choice.initialDecimals = initialDecimals_;
    choice.language = Languages()[size_t(std::max(language_->currentIndex(), 0))].code;
    choice.labelSheet = labelSheet_->currentData().toString().toStdString();
    ApplySettingsChoice(settings_, choice, WindowPrompt());
    QLineEdit* chosenEdit = choice.unit == 0 ? millimetreDecimals_ : inchDecimals_;
    if (chosenEdit->text().trimmed().isEmpty()) chosenEdit->setText(QStringLiteral("0"));
    initialDecimals_ = {millimetreDecimals_->text().toStdString(), inchDecimals_->text().toStdString()};
    QDialog::accept();
}

}  // namespace tavrel
