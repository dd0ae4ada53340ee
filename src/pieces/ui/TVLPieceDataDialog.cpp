#include "pieces/ui/TVLPieceDataDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "materials/MaterialGroups.h"
#include "materials/ui/TVLMaterialsDialog.h"
#include "model/Job.h"
#include "model/RecordText.h"
#include "model/ShapeSections.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

namespace {

QString Q(const std::string& text) { return ShownText(text); }
std::string S(const QString& text) { return text.toStdString(); }

// The serie and code of a material line "serie, code".
void SplitLine(const std::string& line, std::string& serie, std::string& code) {
    const std::size_t comma = line.find(',');
    serie = Trim(line.substr(0, comma));
    code = comma == std::string::npos ? std::string() : Trim(line.substr(comma + 1));
}

}  // namespace

TVLPieceDataDialog::TVLPieceDataDialog(AppSettings& settings, Piece& piece, Job& job, int pieceIndex,
                                       QWidget* parent)
    : QDialog(parent), settings_(settings), piece_(piece), job_(job), pieceIndex_(pieceIndex) {
    setObjectName("147");
    Build();
}

void TVLPieceDataDialog::Build() {
    const DialogUnits du(font());
    setFixedSize(du.Size(290, 214));
    du.PlaceGroup(new QGroupBox(QStringLiteral("00054"), this), 7, 7, 276, 178);
    auto label = [&](const char* text, int y) {
        du.Place(new QLabel(QString::fromLatin1(text), this), 14, y + 2, 76, 8);
    };
    auto edit = [&](int id, const char* text, int y, int w) {
        label(text, y);
        auto* e = du.Place(new QLineEdit(this), 92, y, w, 12);
        e->setObjectName(QString::number(id));
        return e;
    };
    label("00043", 20);
    material_ = du.Place(new QComboBox(this), 92, 20, 120, 12);
    material_->setObjectName("1012");
    auto* materials = du.Place(new QPushButton(QStringLiteral("00045"), this), 216, 20, 60, 13);
    materials->setObjectName("1000");
    label("00044", 36);
    treatment_ = du.Place(new QComboBox(this), 92, 36, 120, 12);
    treatment_->setObjectName("1013");
    id_ = edit(1026, "00124", 54, 90);
    quantity_ = edit(1002, "00055", 70, 60);
    width_ = edit(1003, "00056", 86, 60);
    height_ = edit(1004, "00057", 102, 60);
    for (int i = 0; i < 2; ++i) {
        marks_[i] = du.Place(new QLabel(QStringLiteral("*"), this), 155, 88 + 16 * i, 8, 8);
        marks_[i]->setObjectName(QString::number(1085 + i));
        marks_[i]->hide();
    }
    round_ = du.Place(new QPushButton(QStringLiteral("00255"), this), 166, 94, 60, 13);
    round_->setObjectName("3");
    round_->hide();
    text2_ = edit(1029, "00141", 120, 180);
    text3_ = edit(1028, "00142", 136, 180);
    path_ = du.Place(new QLineEdit(this), 92, 152, 180, 12);
    path_->setObjectName("1025");
    path_->setReadOnly(true);
    path_->hide();
    marks_[2] = du.Place(new QLabel(QStringLiteral("00254"), this), 14, 152, 262, 16);
    marks_[2]->setObjectName("1113");
    marks_[2]->setWordWrap(true);
    marks_[2]->hide();
    du.Place(new QLabel(QStringLiteral("00180"), this), 14, 170, 30, 8);
    rowLabel_ = du.Place(new QLabel(this), 46, 170, 40, 8);
    rowLabel_->setObjectName("1084");
    ok_ = du.Place(new QPushButton(QStringLiteral("00008"), this), 173, 192, 50, 15);
    ok_->setObjectName("1");
    ok_->setDefault(true);
    cancel_ = du.Place(new QPushButton(QStringLiteral("00009"), this), 233, 192, 50, 15);
    cancel_->setObjectName("2");

    connect(ok_, &QPushButton::clicked, this, &TVLPieceDataDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &TVLPieceDataDialog::reject);
    connect(materials, &QPushButton::clicked, this, &TVLPieceDataDialog::OnMaterials);
    connect(round_, &QPushButton::clicked, this, &TVLPieceDataDialog::OnRound);
    connect(material_, qOverload<int>(&QComboBox::activated), this,
            [this] { FillTreatments(std::string()); });
    connect(id_, &QLineEdit::textEdited, this, &TVLPieceDataDialog::IdEdited);
    for (QLineEdit* text : {text2_, text3_}) {
        connect(text, &QLineEdit::textEdited, this, [this, text] { TextEdited(text); });
        connect(text, &QLineEdit::editingFinished, this, [this, text] { TextEdited(text); });
    }
    connect(width_, &QLineEdit::textEdited, this, &TVLPieceDataDialog::SizeEdited);
    connect(height_, &QLineEdit::textEdited, this, &TVLPieceDataDialog::SizeEdited);
    id_->installEventFilter(this);
}

void TVLPieceDataDialog::showEvent(QShowEvent* event) {
    if (!prepared_) Prepare();
    QDialog::showEvent(event);
}

void TVLPieceDataDialog::Prepare() {
    prepared_ = true;
    setWindowTitle(Q(Msg(title_)));
    CompileDialogStrings(this);
    const bool rounded = ExceedsStdDecimals(-1, -1);
    for (QLabel* mark : marks_) mark->setVisible(rounded);
    round_->setVisible(rounded);

    catalogue_ = SortedCatalogue(settings_);
    const bool existing = pieceIndex_ >= 0;
    const PieceDataForm form = FormOf(piece_, existing);
    FillMaterials(form.material);
    FillTreatments(form.treatment);
    id_->setText(Q(form.pieceId));
    acceptedId_ = form.pieceId;
    quantity_->setText(Q(Format("%d", piece_.quantity)));
    width_->setText(Q(form.width));
    height_->setText(Q(form.height));
    text2_->setText(Q(form.text2));
    text3_->setText(Q(form.text3));
    path_->setText(Q(form.shapePath));
    rowLabel_->setText(QString::number(rowNumber_));
    shapeRule_ = ShapePathRule(piece_.width, piece_.height, piece_.text1);
    // The shape editor works on the piece's sections through the exchange file.
    if (!job_.tmpPanelVarPath.empty()) ShapeSections(job_).exportShapes(piece_.pieceId);
    id_->setFocus();
}

void TVLPieceDataDialog::FillMaterials(const std::string& select) {
    material_->clear();
    for (const Material& m : catalogue_)
        if (m.treatment.empty()) AddStoredLine(material_, m.serie + ", " + m.code);
    int line = -1;
    if (!select.empty())
        for (int i = 0; i < material_->count() && line < 0; ++i)
            if (StoredLine(material_, i).rfind(select, 0) == 0) line = i;
    material_->setCurrentIndex(line >= 0 ? line : (material_->count() ? 0 : -1));
}

void TVLPieceDataDialog::FillTreatments(const std::string& select) {
    treatment_->clear();
    // Always an empty line first, so the base material can be chosen.
    AddStoredLine(treatment_, std::string());
    std::string serie, code;
    SplitLine(ChosenLine(material_), serie, code);
    for (const Material& m : catalogue_)
        if (m.serie == serie && m.code == code && !m.treatment.empty())
            AddStoredLine(treatment_, m.treatment);
    const int line = select.empty() ? 0 : FindStoredLine(treatment_, select);
    treatment_->setCurrentIndex(line > 0 ? line : 0);
}

void TVLPieceDataDialog::IdEdited() {
    std::string text = S(id_->text());
    int caret = id_->cursorPosition();
    // The caret counts characters, the rule bytes; piece identifiers are plain ASCII in practice,
    // and a caret past the text is held at its end.
    if (CleanTypedPieceId(text, &caret)) {
        id_->setText(Q(text));
        id_->setCursorPosition(caret);
    }
}

void TVLPieceDataDialog::TextEdited(QLineEdit* edit) {
    std::string text = S(edit->text());
    int caret = edit->cursorPosition();
    if (CleanTypedPieceText(text, &caret)) {
        edit->setText(Q(text));
        edit->setCursorPosition(caret);
    }
}

void TVLPieceDataDialog::SizeEdited() {
    path_->setText(Q(shapeRule_.pathFor(ParseReal(S(width_->text())), ParseReal(S(height_->text())))));
}

bool TVLPieceDataDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == id_ && event->type() == QEvent::FocusOut && !checkingId_) {
        // Leaving for OK or cancel is not leaving the field: OK checks it anyway, cancel drops it.
        // Nor is another window taking the focus, the message box of this very check among them.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        QWidget* next = QApplication::focusWidget();
        if (next != ok_ && next != cancel_ && isVisible() && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason) {
            checkingId_ = true;
            const std::string id = S(id_->text());
            if (CheckPieceIdFree(id, job_.pieces, pieceIndex_, WindowPrompt())) {
                acceptedId_ = id;
            } else {
                id_->setText(Q(acceptedId_));
                QMetaObject::invokeMethod(
                    id_, [this] { id_->setFocus(); }, Qt::QueuedConnection);
            }
            checkingId_ = false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

PieceDataForm TVLPieceDataDialog::ReadForm() const {
    PieceDataForm form;
    form.material = ChosenLine(material_);
    form.treatment = ChosenLine(treatment_);
    form.pieceId = KeptText(id_, piece_.pieceId);
    form.quantity = S(quantity_->text());
    form.width = S(width_->text());
    form.height = S(height_->text());
    form.shapePath = KeptText(path_, piece_.text1);
    form.text2 = KeptText(text2_, piece_.text2);
    form.text3 = KeptText(text3_, piece_.text3);
    return form;
}

void TVLPieceDataDialog::OnRound() {
    PieceDataForm form = ReadForm();
    RoundPieceForm(form);
    width_->setText(Q(form.width));
    height_->setText(Q(form.height));
    SizeEdited();
}

void TVLPieceDataDialog::OnMaterials() {
    const std::string previous = ChosenLine(material_);
    const std::string treatment = ChosenLine(treatment_);
    TVLMaterialsDialog dialog(settings_, this);
    dialog.SetNested(true);
    dialog.exec();
    catalogueChanges_ += dialog.changeCount();
    catalogue_ = SortedCatalogue(settings_);
    FillMaterials(previous);
    FillTreatments(treatment);
}

void TVLPieceDataDialog::DropWorkingShapes() {
    if (!piece_.internalId.empty()) ShapeSections(job_).deleteShapes(piece_.internalId);
    if (!job_.tmpPanelVarPath.empty() && Platform::IsFile(job_.tmpPanelVarPath))
        Platform::DeleteFile(job_.tmpPanelVarPath);
}

void TVLPieceDataDialog::accept() {
    OnRound();
    PieceDataForm form = ReadForm();
    const PieceDataCheck check = CheckPieceForm(form, job_.pieces, pieceIndex_, WindowPrompt());
    if (check != PieceDataCheck::Ok) {
        if (check == PieceDataCheck::IdTaken || check == PieceDataCheck::IdEmpty) id_->setFocus();
        return;
    }
    const std::string oldId = piece_.pieceId;
    const bool pathDropped = !shapeRule_.original().empty() && form.shapePath.empty();
    ApplyPieceForm(form, piece_);
    if (pieceIndex_ >= 0) UpdatePieceShapes(ShapeSections(job_), oldId, piece_.pieceId, pathDropped);
    if (!job_.tmpPanelVarPath.empty() && Platform::IsFile(job_.tmpPanelVarPath))
        Platform::DeleteFile(job_.tmpPanelVarPath);
    QDialog::accept();
}

void TVLPieceDataDialog::reject() {
    DropWorkingShapes();
    QDialog::reject();
}

}  // namespace tavrel
