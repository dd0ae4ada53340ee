#include "pieces/ui/TVLPiecesDialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "common/Messages.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "materials/ui/CTrapListCtrl.h"
#include "materials/ui/TVLMaterialsDialog.h"
#include "model/RecordText.h"
#include "optimise/ui/OptimiseWindows.h"
#include "pieces/JobOpening.h"
#include "pieces/NewJob.h"
#include "pieces/ui/TVLPieceDataDialog.h"
#include "plates/ui/TVLPlatesDialog.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"
#include "suite/JobListLibrary.h"
#include "ui/AppIcons.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/FileDialogs.h"
#include "ui/MultipleModify.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

namespace {

QString Q(const std::string& text) { return ShownText(text); }
std::string S(const QString& text) { return text.toStdString(); }
// What a box holds as the job's bytes: a text a Windows station wrote stays as it was read
// while the user leaves it alone, so an untouched job never counts as changed.
std::string Typed(const QLineEdit* edit, const std::string& original) {
    return edit->text() == ShownText(original) ? original : S(edit->text());
}

// Column widths as shares of 36 of the list's width; numbers are right-aligned.
const double kWidths[8] = {5, 2.5, 4.7, 4.7, 4.5, 4.5, 6, 2.3};
const char* const kHeaders[8] = {"00124", "00134", "00135", "00136", "00137", "00138", "00139", "00180"};
bool RightAligned(int column) { return column == 1 || column == 2 || column == 3 || column == 7; }

// The first showing of an editor in a run puts the caret into the job name.
bool g_focusGiven = false;

}  // namespace

TVLPiecesDialog::TVLPiecesDialog(AppSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), editor_(settings) {
    setObjectName("146");
    Build();
}

TVLPiecesDialog::~TVLPiecesDialog() = default;

const OptimiseReport* TVLPiecesDialog::lastOptimisation() const { return lastReport_.get(); }

void TVLPiecesDialog::Build() {
    const DialogUnits du(font());
    setFixedSize(du.Size(520, 330));
    du.Place(new QLabel(QStringLiteral("00187"), this), 7, 7, 40, 8);
    fileName_ = du.Place(new QLabel(this), 50, 7, 300, 8);
    fileName_->setObjectName("1092");

    du.PlaceGroup(new QGroupBox(QStringLiteral("00058"), this), 7, 20, 190, 62);
    const char* textLabels[3] = {"00059", "00060", "00061"};
    for (int i = 0; i < 3; ++i) {
        du.Place(new QLabel(QString::fromLatin1(textLabels[i]), this), 13, 32 + 15 * i, 50, 8);
        texts_[i] = du.Place(new QLineEdit(this), 65, 30 + 15 * i, 126, 12);
        texts_[i]->setObjectName(QString::number(1067 + i));
        connect(texts_[i], &QLineEdit::textEdited, this, &TVLPiecesDialog::HeaderEdited);
    }
    indicator_ = du.Place(new QLabel(QStringLiteral("00177"), this), 360, 7, 150, 8);
    indicator_->setObjectName("1066");
    indicator_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    indicator_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    indicator_->hide();

    du.PlaceGroup(new QGroupBox(QStringLiteral("00145"), this), 203, 20, 150, 62);
    for (int i = 0; i < 2; ++i) {
        du.Place(new QLabel(QString::fromLatin1(i == 0 ? "00135" : "00136"), this), 209, 32 + 22 * i, 60, 8);
        limitBoxes_[i] = du.Place(new QCheckBox(this), 209, 41 + 22 * i, 62, 10);
        limitBoxes_[i]->setObjectName(QString::number(1048 + i));
        limitEdits_[i] = du.Place(new QLineEdit(this), 273, 40 + 22 * i, 56, 12);
        limitEdits_[i]->setObjectName(QString::number(1088 + i));
        limitIcons_[i] = du.Place(new QLabel(this), 333, 40 + 22 * i, 12, 12);
        limitIcons_[i]->setObjectName(QString::number(1045 + i));
        connect(limitBoxes_[i], &QCheckBox::clicked, this, [this, i] { LimitClicked(i); });
        connect(limitEdits_[i], &QLineEdit::textEdited, this, &TVLPiecesDialog::HeaderEdited);
    }

    du.PlaceGroup(new QGroupBox(QStringLiteral("00209"), this), 359, 20, 154, 62);
    const int flagIds[3] = {1093, 1090, 1091};
    const char* flagLabels[3] = {"00231", "00210", "00211"};
    for (int i = 0; i < 3; ++i) {
        flags_[i] =
            du.Place(new QCheckBox(QString::fromLatin1(flagLabels[i]), this), 365, 32 + 15 * i, 144, 10);
        flags_[i]->setObjectName(QString::number(flagIds[i]));
        connect(flags_[i], &QCheckBox::clicked, this, &TVLPiecesDialog::HeaderEdited);
    }

    du.PlaceGroup(new QGroupBox(QStringLiteral("00062"), this), 7, 90, 440, 214);
    list_ = du.Place(new CTrapListCtrl(this), 13, 100, 428, 180);
    list_->setObjectName("1028");
    const char* totalLabels[3] = {"00260", "00261", "00262"};
    QLabel** totals[3] = {&rowsTotal_, &quantityTotal_, &perimeterTotal_};
    const int totalIds[3] = {1083, 1085, 1084};
    for (int i = 0; i < 3; ++i) {
        du.Place(new QLabel(QString::fromLatin1(totalLabels[i]), this), 13 + 110 * i, 288, 40, 8);
        *totals[i] = du.Place(new QLabel(this), 55 + 110 * i, 288, 66, 8);
        (*totals[i])->setObjectName(QString::number(totalIds[i]));
    }
    printPerimeter_ = du.Place(new QCheckBox(QStringLiteral("00264"), this), 13, 310, 200, 10);
    printPerimeter_->setObjectName("1127");
    printPerimeter_->hide();
    connect(printPerimeter_, &QCheckBox::clicked, this, [this](bool on) {
        if (!WritePrintPiecesPerimeter(settings_, on))
            Warn(WindowPrompt(), "00271", "\n" + settings_.optPath);
    });

    auto button = [&](int id, const char* text, int y) {
        auto* b = du.Place(new QPushButton(QString::fromLatin1(text), this), 453, y, 60, 16);
        b->setObjectName(QString::number(id));
        return b;
    };
    QPushButton* add = button(1001, "00037", 96);
    QPushButton* change = button(1002, "00038", 116);
    QPushButton* remove = button(1004, "00012", 136);
    optimise_ = button(1005, "00063", 166);
    results_ = button(1006, "00049", 186);
    QPushButton* materials = button(1011, "00045", 216);
    QPushButton* plates = button(1007, "00064", 236);
    QPushButton* ok = button(1, "00008", 288);
    ok->setDefault(true);
    auto* cancel = du.Place(new QPushButton(QStringLiteral("00009"), this), 453, 308, 60, 16);
    cancel->setObjectName("2");
    cancel->hide();

    connect(add, &QPushButton::clicked, this, &TVLPiecesDialog::OnAdd);
    connect(change, &QPushButton::clicked, this, &TVLPiecesDialog::OnChange);
    connect(remove, &QPushButton::clicked, this, &TVLPiecesDialog::OnDelete);
    connect(optimise_, &QPushButton::clicked, this, &TVLPiecesDialog::OnOptimise);
    connect(results_, &QPushButton::clicked, this, &TVLPiecesDialog::OnResults);
    connect(materials, &QPushButton::clicked, this, &TVLPiecesDialog::OnMaterials);
    connect(plates, &QPushButton::clicked, this, &TVLPiecesDialog::OnPlates);
    connect(ok, &QPushButton::clicked, this, &TVLPiecesDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TVLPiecesDialog::reject);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { OnChange(); });
    connect(list_, &CTrapListCtrl::DeletePressed, this, &TVLPiecesDialog::OnDelete);
    connect(list_, &CTrapListCtrl::CopyPressed, this, &TVLPiecesDialog::OnCopy);
    connect(list_, &CTrapListCtrl::PastePressed, this, &TVLPiecesDialog::OnPaste);
    connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        const std::vector<int> rows = editor_.rows().PieceIndices(SelectedRows());
        editor_.sortByColumn(column);
        // The selection follows its pieces to their new rows.
        std::vector<int> select;
        for (int row = 0; row < editor_.rows().count(); ++row)
            if (std::find(rows.begin(), rows.end(), editor_.rows().at(row).itemData) != rows.end())
                select.push_back(row);
        ShowRows(select);
    });

    CompileDialogStrings(this);
    QStringList headers;
    for (int c = 0; c < 8; ++c) {
        std::string h = Msg(kHeaders[c]);
        if (c == 2 || c == 3) h += WithLinearLabel(" [", "]");
        headers << Q(h);
    }
    list_->setHeaderLabels(headers);
    for (int c = 0; c < 8; ++c) {
        list_->setColumnWidth(c, int(list_->width() * kWidths[c] / 36.0));
        if (RightAligned(c)) list_->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
}

bool TVLPiecesDialog::OpenJobFile(const std::string& path, const std::string& caption) {
    Job job;
    JobOpening opening;
    if (!OpenJobAsEditor(settings_, path, job, WindowPrompt(), &opening)) {
        Warn(WindowPrompt(), "00105", "\n" + path);
        return false;
    }
    job.title = caption.empty() ? path : caption;
    // Identifiers made while opening are a change the file does not hold yet.
    editor_.open(std::move(job), path, !opening.modified);
    indicatorHeld_ = false;
    Prepared();
    return true;
}

void TVLPiecesDialog::OpenNewJob() { OpenNewJob(NewJobTexts()); }

void TVLPiecesDialog::OpenNewJob(const NewJobTexts& texts) {
    Job job;
    job.setWorkingPaths(settings_.tempFolder);
    const JobListCalls* calls = nullptr;
    if (texts.resultPath.empty() && !texts.jobListName.empty()) {
        JobListLibrary& reader = JobListLibrary::instance();
        if (reader.load(settings_, WindowPrompt())) calls = &reader.calls();
    }
    std::string path;
    const bool imported = BuildNewJob(settings_, texts, calls, job, path, WindowPrompt());
    editor_.open(std::move(job), path, false);
    // A new empty job is changed from the start, but says so only once the user does something;
    // an imported one shows it at once.
    indicatorHeld_ = !imported;
    Prepared();
}

void TVLPiecesDialog::SetEngineEntry(LoadEditorFn entry) {
    engineEntry_ = entry;
    RefreshResultsButton();
}

void TVLPiecesDialog::SetEngineLibrary(const std::string& path) {
    engineLibrary_ = path;
    RefreshResultsButton();
}

void TVLPiecesDialog::Prepared() {
    const Job& job = editor_.job();
    ShowJobPath();
    texts_[0]->setText(Q(job.name));
    texts_[1]->setText(Q(job.customer));
    texts_[2]->setText(Q(job.order));
    limits_[0].open(job.maxPlateWidth);
    limits_[1].open(job.maxPlateHeight);
    ShowLimit(0);
    ShowLimit(1);
    flags_[0]->setChecked(job.preferOffcuts != 0);
    flags_[1]->setChecked(job.preferLargePlates != 0);
    flags_[2]->setChecked(job.preferPlentifulPlates != 0);
    ShowRows({0});
    const PerimeterOption option = ReadPerimeterOption(settings_);
    printPerimeter_->setVisible(option.shown);
    printPerimeter_->setChecked(option.checked);
    RefreshResultsButton();
    if (indicatorHeld_) {
        indicator_->hide();
        results_->setText(Q(Msg("00049")));
    } else {
        RefreshIndicator();
    }
}

void TVLPiecesDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!g_focusGiven) {
        g_focusGiven = true;
        texts_[0]->setFocus();
    }
}

void TVLPiecesDialog::ShowJobPath() {
    const std::string& path = editor_.jobPath();
    const std::string& title = editor_.job().title;
    setWindowTitle(Q(title));
    fileName_->setText(Q(path.empty() ? title : SplitPath(path).fileName));
}

void TVLPiecesDialog::ShowRow(int row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item || row >= editor_.rows().count()) return;
    const PieceRow& r = editor_.rows().at(row);
    for (int c = 0; c < 8; ++c) {
        item->setText(c, Q(r.columns[size_t(c)]));
        item->setTextAlignment(c, (RightAligned(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    item->setData(0, Qt::UserRole, r.itemData);
}

void TVLPiecesDialog::ShowRows(const std::vector<int>& select) {
    list_->clear();
    for (int row = 0; row < editor_.rows().count(); ++row) {
        list_->addTopLevelItem(new QTreeWidgetItem());
        ShowRow(row);
    }
    bool first = true;
    for (int row : select) {
        QTreeWidgetItem* item = list_->topLevelItem(row);
        if (!item) continue;
        if (first) list_->setCurrentItem(item);
        item->setSelected(true);
        list_->scrollToItem(item);
        first = false;
    }
    ShowTotals();
}

std::vector<int> TVLPiecesDialog::SelectedRows() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : list_->selectedItems()) rows.push_back(list_->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TVLPiecesDialog::ShowTotals() {
    const PieceTotals totals = editor_.totals();
    rowsTotal_->setText(QString::number(totals.rows));
    quantityTotal_->setText(QString::number(totals.quantity));
    perimeterTotal_->setText(Q(Format("%.2lf %s", totals.perimeter, LongLengthLabel().c_str())));
}

void TVLPiecesDialog::ShowLimit(int which) {
    const PlateLimit::View v = limits_[which].view();
    limitBoxes_[which]->setChecked(v.checked);
    limitBoxes_[which]->setText(Q(v.checkText));
    limitEdits_[which]->setText(Q(v.editText));
    limitEdits_[which]->setReadOnly(v.readOnly);
    if (v.icon)
        limitIcons_[which]->setPixmap(IconPixmap(185, 16));
    else
        limitIcons_[which]->clear();
}

void TVLPiecesDialog::LimitClicked(int which) {
    limits_[which].toggle(S(limitEdits_[which]->text()));
    ShowLimit(which);
    if (limits_[which].on()) limitEdits_[which]->setFocus();
    HeaderEdited();
}

PiecesHeader TVLPiecesDialog::ReadHeader() const {
    PiecesHeader h;
    const Job& job = editor_.job();
    h.name = Typed(texts_[0], job.name);
    h.customer = Typed(texts_[1], job.customer);
    h.order = Typed(texts_[2], job.order);
    h.widthOn = limits_[0].on();
    h.widthText = S(limitEdits_[0]->text());
    h.heightOn = limits_[1].on();
    h.heightText = S(limitEdits_[1]->text());
    h.preferOffcuts = flags_[0]->isChecked() ? 1 : 0;
    h.preferLargePlates = flags_[1]->isChecked() ? 1 : 0;
    h.preferPlentifulPlates = flags_[2]->isChecked() ? 1 : 0;
    return h;
}

void TVLPiecesDialog::HeaderEdited() {
    editor_.headerEdited(ReadHeader());
    RefreshIndicator();
}

void TVLPiecesDialog::RefreshIndicator() {
    indicatorHeld_ = false;
    const PiecesEditor::Indicator i = editor_.indicator();
    indicator_->setText(Q(Msg("00177")));
    indicator_->setVisible(i.shown);
    results_->setText(Q(i.resultsLabel));
}

void TVLPiecesDialog::RefreshResultsButton() {
    const bool engine = engineEntry_ != nullptr || !engineLibrary_.empty();
    optimise_->setEnabled(engine);
    results_->setEnabled(engine && editor_.hasResultFile());
}

void TVLPiecesDialog::OnAdd() {
    Piece piece = editor_.newPiece();
    TVLPieceDataDialog pieceWindow(settings_, piece, editor_.job(), -1, this);
    pieceWindow.SetTitle("00096");
    pieceWindow.SetRowNumber(editor_.rows().count() + 1);
    const bool accepted = pieceWindow.exec() == QDialog::Accepted;
    if (pieceWindow.catalogueChanges() > 0) editor_.reloadCatalogue();
    if (!accepted) {
        if (pieceWindow.catalogueChanges() > 0) ShowRows(SelectedRows());
        return;
    }
    const int row = editor_.addPiece(piece);
    ShowRows({row});
    RefreshIndicator();
}

void TVLPiecesDialog::OnChange() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    if (rows.size() == 1) {
        const int row = rows.front();
        const int index = editor_.pieceIndex(row);
        if (index < 0) return;
        Piece piece = editor_.job().pieces.at(index);
        TVLPieceDataDialog pieceWindow(settings_, piece, editor_.job(), index, this);
        pieceWindow.SetTitle("00097");
        pieceWindow.SetRowNumber(index + 1);
        const bool accepted = pieceWindow.exec() == QDialog::Accepted;
        if (pieceWindow.catalogueChanges() > 0) editor_.reloadCatalogue();
        if (accepted) {
            editor_.job().pieces.at(index) = piece;
            editor_.pieceChanged(row);
            RefreshIndicator();
        }
        if (accepted || pieceWindow.catalogueChanges() > 0) ShowRows(rows);
        return;
    }
    ModifyFieldTable table = PiecesModifyTable();
    MultipleModify bulk(settings_, table, int(rows.size()), this);
    for (;;) {
        if (bulk.exec() != QDialog::Accepted) return;
        const std::string refused = CheckPieceModify(table);
        if (refused.empty()) break;
        Warn(WindowPrompt(), refused);
    }
    editor_.applyModify(table, rows);
    ShowRows(rows);
    RefreshIndicator();
}

void TVLPiecesDialog::OnDelete() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    if (WindowPrompt().ask(Msg("00074"), "00073", PromptIcon::Question, PromptButtons::YesNo, 1) !=
        PromptAnswer::Yes)
        return;
    const int select = editor_.deleteRows(rows);
    ShowRows(select >= 0 ? std::vector<int>{select} : std::vector<int>());
    RefreshIndicator();
}

void TVLPiecesDialog::OnCopy() { editor_.copyRows(SelectedRows()); }

void TVLPiecesDialog::OnPaste() {
    const std::vector<int> added = editor_.paste();
    if (added.empty()) return;
    ShowRows(added);
    RefreshIndicator();
}

std::string TVLPiecesDialog::ChooseSavePath(const std::string& folder, const std::string& current) {
    const QString filter = Q(Msg("00109")) + QStringLiteral(" (*.TVL)");
    return S(
        FileDialogs::SaveFileName(this, QString(), Q(folder), Q(current), filter, QStringLiteral("TVL")));
}

SaveStepAnswer TVLPiecesDialog::RunSaveStep() {
    SaveStepFocus focus = SaveStepFocus::None;
    const SaveStepAnswer answer = editor_.saveStep(
        ReadHeader(), WindowPrompt(),
        [this](const std::string& folder, const std::string& current) {
            return ChooseSavePath(folder, current);
        },
        &focus);
    if (focus == SaveStepFocus::Width) limitEdits_[0]->setFocus();
    if (focus == SaveStepFocus::Height) limitEdits_[1]->setFocus();
    if (answer == SaveStepAnswer::Saved && !editor_.jobPath().empty()) {
        editor_.job().title = editor_.jobPath();
        ShowJobPath();
    }
    RefreshIndicator();
    return answer;
}

void TVLPiecesDialog::OnOptimise() {
    // Results are stored under the job's name, so a job without one is saved first.
    if (editor_.jobPath().empty()) {
        if (RunSaveStep() == SaveStepAnswer::Refused) return;
        if (editor_.jobPath().empty()) {
            Warn(WindowPrompt(), "00341");
            return;
        }
    }
    // The command names its results after the job path it starts with; a job saved under
    // another name at its save question starts it again under the new name.
    const std::string startPath = editor_.jobPath();
    bool renamed = false;
    EditorSteps steps;
    steps.openedFromMainWindow = fromMainWindow_;
    steps.engineLibrary = engineLibrary_;
    steps.commitAndSave = [this, startPath, &renamed](bool& saved) {
        const SaveStepAnswer answer = RunSaveStep();
        saved = answer == SaveStepAnswer::Saved;
        renamed = editor_.jobPath() != startPath;
        return answer != SaveStepAnswer::Refused && !renamed;
    };
    steps.saveAgain = [this] { return editor_.save(editor_.jobPath(), WindowPrompt()); };
    steps.setResultsPresent = [this](bool present) { editor_.setResultsPresent(present); };
    steps.enableResultsButton = [this](bool enable) {
        results_->setEnabled(enable && (engineEntry_ != nullptr || !engineLibrary_.empty()));
    };
    steps.refreshModified = [this] { RefreshIndicator(); };
    // The parent is the window only when the engine may show its own windows over it.
    QWidget* engineParent = engineLibrary_.empty() ? this : nullptr;
    lastReport_ = std::make_unique<OptimiseReport>(
        OptimiseFromWindow(engineParent, settings_, editor_.job(), startPath, WindowPrompt(), steps));
    if (renamed) {
        const std::string newPath = editor_.jobPath();
        steps.commitAndSave = [this](bool& saved) {
            const SaveStepAnswer answer = RunSaveStep();
            saved = answer == SaveStepAnswer::Saved;
            return answer != SaveStepAnswer::Refused;
        };
        lastReport_ = std::make_unique<OptimiseReport>(
            OptimiseFromWindow(engineParent, settings_, editor_.job(), newPath, WindowPrompt(), steps));
    }
    // The optimised materials and any stock changes may relabel rows.
    editor_.reloadCatalogue();
    ShowRows(SelectedRows());
    RefreshIndicator();
}

void TVLPiecesDialog::OnResults() {
    if (!editor_.hasResultFile()) {
        Warn(WindowPrompt(), "00103");
        return;
    }
    ShowOptimisedMaterials(this, settings_, editor_.job(), editor_.jobPath(), WindowPrompt());
}

void TVLPiecesDialog::OnMaterials() {
    TVLMaterialsDialog dialog(settings_, this);
    dialog.SetNested(true);
    dialog.exec();
    if (dialog.changeCount() > 0) {
        editor_.reloadCatalogue();
        ShowRows(SelectedRows());
    }
}

void TVLPiecesDialog::OnPlates() {
    TVLPlatesDialog dialog(settings_, this);
    dialog.exec();
}

void TVLPiecesDialog::accept() {
    const SaveStepAnswer answer = RunSaveStep();
    if (answer == SaveStepAnswer::Refused) return;
    editor_.close(answer, WindowPrompt());
    QDialog::accept();
}

void TVLPiecesDialog::reject() {
    // Escape or the window's close box would otherwise leave changes unsaved without a word.
    accept();
}

}  // namespace tavrel
