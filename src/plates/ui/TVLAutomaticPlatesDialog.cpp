#include "plates/ui/TVLAutomaticPlatesDialog.h"

#include <algorithm>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "materials/Components.h"
#include "materials/MaterialGroups.h"
#include "materials/ui/TVLMaterialsDialog.h"
#include "model/RecordText.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "ui/AppIcons.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

namespace {

// Start, step, end and count edits of the widths row and of the heights row.
const int kSeriesIds[2][4] = {{1037, 1044, 1046, 1045}, {1047, 1048, 1050, 1049}};
enum SeriesColumn { Start, Step, End, Count };

QString Q(const std::string& text) { return ShownText(text); }
std::string S(const QString& text) { return text.toStdString(); }

}  // namespace

TVLAutomaticPlatesDialog::TVLAutomaticPlatesDialog(AppSettings& settings, StockPlate& plate, bool newPlate,
                                                   QWidget* parent)
    : QDialog(parent), settings_(settings), plate_(plate) {
    setObjectName("181");
    materials_ = SortedCatalogue(settings_);
    Build();
    std::string caption = Msg("00162");
    if (!newPlate) caption += Format("   [ %s ]", Msg("00176").c_str());
    CompileDialogStrings(this);
    setWindowTitle(Q(caption));

    fields_.Show(plate_, true);
    ShowRow(0, SeriesRow{plate_.width, 0.0, plate_.width, 0});
    ShowRow(1, SeriesRow{plate_.height, 0.0, plate_.height, 0});
    ShowComputed();
    ShowPlateCount(ReadRow(0), ReadRow(1));
}

void TVLAutomaticPlatesDialog::Build() {
    const DialogUnits du(font());
    setFixedSize(du.Size(330, 297));
    auto* kindGroup = du.PlaceGroup(new QGroupBox(QStringLiteral("00146"), this), 7, 7, 316, 44);
    kindGroup->setObjectName("1052");
    const int kindIds[3] = {1029, 1031, 1030};
    const char* kindLabels[3] = {"00131", "00069", "00132"};
    for (int k = 0; k < 3; ++k) {
        fields_.kinds[k] =
            du.Place(new QRadioButton(QString::fromLatin1(kindLabels[k]), this), 13 + 75 * k, 20, 70, 10);
        fields_.kinds[k]->setObjectName(QString::number(kindIds[k]));
    }
    auto* lotLabel = du.Place(new QLabel(Q(Msg("00129") + WithAreaLabel(" [", "]")), this), 13, 35, 110, 8);
    lotLabel->setObjectName("1111");
    fields_.minimumLot = du.Place(new QLineEdit(this), 125, 33, 70, 12);
    fields_.minimumLot->setObjectName("1027");
    fields_.icon = du.Place(new QLabel(this), 200, 33, 12, 12);
    fields_.icon->setObjectName("1041");

    du.PlaceGroup(new QGroupBox(QStringLiteral("00065"), this), 7, 55, 316, 111);
    auto label = [&](const char* text, int x, int y, int w = 70) {
        du.Place(new QLabel(QString::fromLatin1(text), this), x, y + 2, w, 8);
    };
    auto edit = [&](int id, const char* text, int x, int y, int labelWidth) {
        label(text, x, y, labelWidth);
        auto* e = du.Place(new QLineEdit(this), x + labelWidth, y, 66, 12);
        e->setObjectName(QString::number(id));
        return e;
    };
    label("00043", 13, 67);
    fields_.material = du.Place(new QComboBox(this), 80, 67, 170, 12);
    fields_.material->setObjectName("1012");
    auto* open = du.Place(new QPushButton(QStringLiteral("00045"), this), 256, 66, 60, 14);
    open->setObjectName("1000");
    label("00044", 13, 82);
    fields_.treatment = du.Place(new QComboBox(this), 80, 82, 170, 12);
    fields_.treatment->setObjectName("1015");
    fields_.quantity = edit(1004, "00055", 13, 97, 67);
    fields_.width = edit(1064, "00056", 13, 112, 67);
    fields_.height = edit(1065, "00057", 13, 127, 67);
    fields_.priority = edit(1005, "00066", 170, 97, 70);
    fields_.parameter = edit(1006, "00067", 170, 112, 70);
    label("00068", 13, 142, 67);
    fields_.orientation = du.Place(new QComboBox(this), 80, 142, 120, 12);
    fields_.orientation->setObjectName("1013");
    const bool rounds = ExceedsStdDecimals(-1, -1);
    const int markerIds[3] = {1085, 1086, 1087}, markerX[3] = {148, 148, 308}, markerY[3] = {112, 127, 112};
    for (int i = 0; i < 3; ++i) {
        auto* marker = du.Place(new QLabel(QStringLiteral("*"), this), markerX[i], markerY[i] + 2, 8, 8);
        marker->setObjectName(QString::number(markerIds[i]));
        marker->setVisible(rounds);
    }

    du.PlaceGroup(new QGroupBox(QStringLiteral("00162"), this), 7, 172, 316, 84);
    label("00165", 70, 182, 55);
    label("00167", 130, 182, 55);
    auto* end = du.Place(new QPushButton(QStringLiteral("00166"), this), 190, 181, 60, 12);
    end->setObjectName("1069");
    auto* count = du.Place(new QPushButton(QStringLiteral("00168"), this), 255, 181, 60, 12);
    count->setObjectName("1070");
    const char* rowLabels[2] = {"00135", "00136"};
    for (int r = 0; r < 2; ++r) {
        const int y = 197 + 15 * r;
        label(rowLabels[r], 13, y, 55);
        for (int c = 0; c < 4; ++c) {
            QLineEdit* e = du.Place(new QLineEdit(this), 70 + 60 * c + (c >= 2 ? 5 : 0), y, 55, 12);
            e->setObjectName(QString::number(kSeriesIds[r][c]));
            e->setAlignment(Qt::AlignRight);
            series_[r][c] = e;
        }
        series_[r][Start]->setReadOnly(true);
    }
    auto* calculate = du.Place(new QPushButton(QStringLiteral("00169"), this), 13, 232, 60, 14);
    calculate->setObjectName("3");
    auto* countLabel = du.Place(new QLabel(QStringLiteral("00148"), this), 190, 235, 60, 8);
    countLabel->setObjectName("1068");
    plateCount_ = du.Place(new QLabel(this), 255, 235, 55, 8);
    plateCount_->setObjectName("1083");
    plateCount_->setAlignment(Qt::AlignRight);

    auto* note = du.Place(new QLabel(QStringLiteral("00254"), this), 7, 262, 200, 8);
    note->setObjectName("1113");
    note->setVisible(rounds);
    ok_ = du.Place(new QPushButton(QStringLiteral("00008"), this), 219, 277, 50, 14);
    ok_->setObjectName("1");
    ok_->setDefault(true);
    auto* cancel = du.Place(new QPushButton(QStringLiteral("00009"), this), 273, 277, 50, 14);
    cancel->setObjectName("2");

    connect(ok_, &QPushButton::clicked, this, &TVLAutomaticPlatesDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TVLAutomaticPlatesDialog::reject);
    connect(calculate, &QPushButton::clicked, this, &TVLAutomaticPlatesDialog::Calculate);
    connect(end, &QPushButton::clicked, this, &TVLAutomaticPlatesDialog::ChooseComputed);
    connect(count, &QPushButton::clicked, this, &TVLAutomaticPlatesDialog::ChooseComputed);
    connect(open, &QPushButton::clicked, this, &TVLAutomaticPlatesDialog::OpenMaterials);
    fields_.Connect(materials_);
    connect(fields_.width, &QLineEdit::textEdited, this, [this] { SizeEdited(0); });
    connect(fields_.height, &QLineEdit::textEdited, this, [this] { SizeEdited(1); });
    // A changed step, end or count leaves the shown series stale until it is calculated again.
    for (auto& row : series_)
        for (int c = Step; c <= Count; ++c)
            connect(row[c], &QLineEdit::textEdited, this, [this] { ok_->setEnabled(false); });
}

SeriesRow TVLAutomaticPlatesDialog::ReadRow(int row) const {
    SeriesRow values;
    values.start = ParseReal(S(series_[row][Start]->text()));
    values.step = ParseReal(S(series_[row][Step]->text()));
    values.end = ParseReal(S(series_[row][End]->text()));
    values.count = ParseInt(S(series_[row][Count]->text()));
    return values;
}

void TVLAutomaticPlatesDialog::ShowRow(int row, const SeriesRow& values) {
    const std::string number = LengthFormat(1);
    series_[row][Start]->setText(Q(FormatNumber(number, values.start)));
    series_[row][Step]->setText(Q(FormatNumber(number, values.step)));
    series_[row][End]->setText(Q(FormatNumber(number, values.end)));
    series_[row][Count]->setText(QString::number(values.count));
}

void TVLAutomaticPlatesDialog::SizeEdited(int row) {
    QLineEdit* edit = row == 0 ? fields_.width : fields_.height;
    const std::string text = S(edit->text());
    double value = ParseReal(text);
    SeriesRow values = ReadRow(row);
    const bool negative = value < 0.0;
    const bool endMoved = StartSeriesAt(values, value);
    if (negative) edit->setText(Q(Trim(text).substr(Trim(text).find('-') + 1)));
    const std::string number = LengthFormat(1);
    series_[row][Start]->setText(Q(FormatNumber(number, values.start)));
    if (endMoved) {
        series_[row][End]->setText(Q(FormatNumber(number, values.end)));
        ok_->setEnabled(false);
    }
}

void TVLAutomaticPlatesDialog::ChooseComputed() {
    // Either button switches the computed column: choosing the one already computed gives the
    // other, so each press toggles.
    computeEnd_ = !computeEnd_;
    ShowComputed();
}

void TVLAutomaticPlatesDialog::ShowComputed() {
    for (auto& row : series_) {
        row[End]->setReadOnly(computeEnd_);
        row[Count]->setReadOnly(!computeEnd_);
    }
}

void TVLAutomaticPlatesDialog::ShowPlateCount(const SeriesRow& widths, const SeriesRow& heights) {
    plateCount_->setText(QString::number(SeriesPlateCount(widths, heights)));
}

void TVLAutomaticPlatesDialog::Calculate() {
    if (!IsMillimetres()) {
        // The plate's own sizes are rounded as the rows are, so the series starts where they do.
        const std::string number = LengthFormat(1);
        for (QLineEdit* e : {fields_.width, fields_.height})
            e->setText(Q(FormatNumber(number, ToSystemScaledValue(ParseReal(S(e->text())), 10, -1))));
    }
    SeriesRow rows[2] = {ReadRow(0), ReadRow(1)};
    for (int r = 0; r < 2; ++r) {
        RoundSeriesRow(rows[r]);
        ComputeSeriesRow(rows[r], computeEnd_);
        ShowRow(r, rows[r]);
    }
    const int valid = ValidateSeries(ParseReal(S(fields_.width->text())),
                                     ParseReal(S(fields_.height->text())), rows[0], rows[1]);
    ok_->setEnabled(valid >= 0);
    ShowPlateCount(rows[0], rows[1]);
}

void TVLAutomaticPlatesDialog::OpenMaterials() {
    TVLMaterialsDialog dialog(settings_, this);
    dialog.SetNested(true);
    dialog.exec();
    if (dialog.changeCount() <= 0) return;
    materialChanges_ += dialog.changeCount();
    materials_ = SortedCatalogue(settings_);
    fields_.Refill(materials_);
}

void TVLAutomaticPlatesDialog::accept() {
    const PlateDataTexts texts = fields_.Read();
    StockPlate edited = plate_.duplicate();
    const std::string message = ReadPlateData(texts, edited);
    if (!message.empty()) {
        WindowPrompt().tell(Msg(message), "00073", PromptIcon::Exclamation);
        return;
    }
    const SeriesRow widths = ReadRow(0), heights = ReadRow(1);
    // The template is only written with a valid series, so a refused OK leaves it as it came.
    if (ValidateSeries(edited.width, edited.height, widths, heights) < 0) {
        WindowPrompt().tell(Msg("00095"), "00073", PromptIcon::Exclamation);
        ok_->setEnabled(false);
        return;
    }
    plate_ = edited;
    result_ = SeriesResult{widths.step, widths.count, heights.step, heights.count};
    QDialog::accept();
}

}  // namespace tavrel
