#include "ImportWindow.h"

#include <map>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "common/TextUtils.h"

namespace tavrel {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(DisplayText(text)); }

const QColor kProblemColour(255, 214, 214);
const QColor kHeaderColour(224, 224, 224);

}  // namespace

ImportWindow::ImportWindow(ImportSession& session, const ImportOptions& options, QWidget* parent)
    : QDialog(parent), session_(session), options_(options) {
    const std::string title = session.xni.general("TITLE");
    setWindowTitle(title.empty() ? QStringLiteral("Import from a spreadsheet") : Q(title));
    auto* layout = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(tr("Spreadsheet:")));
    fileEdit_ = new QLineEdit;
    fileEdit_->setReadOnly(true);
    fileEdit_->setObjectName("1001");
    fileRow->addWidget(fileEdit_, 1);
    auto* browse = new QPushButton(tr("Browse..."));
    browse->setObjectName("1002");
    connect(browse, &QPushButton::clicked, this, &ImportWindow::Browse);
    fileRow->addWidget(browse);
    fileRow->addWidget(new QLabel(tr("Sheet:")));
    sheetCombo_ = new QComboBox;
    sheetCombo_->setObjectName("1003");
    sheetCombo_->setMinimumContentsLength(12);
    connect(sheetCombo_, &QComboBox::currentIndexChanged, this, &ImportWindow::SheetChosen);
    fileRow->addWidget(sheetCombo_);
    fileRow->addWidget(new QLabel(tr("Sizes in:")));
    unitCombo_ = new QComboBox;
    unitCombo_->setObjectName("1004");
    unitCombo_->addItems({tr("millimetres"), tr("inches")});
    unitCombo_->setCurrentIndex(options.unit == SheetUnit::Inches ? 1 : 0);
    connect(unitCombo_, &QComboBox::currentIndexChanged, this, &ImportWindow::MappingChanged);
    fileRow->addWidget(unitCombo_);
    layout->addLayout(fileRow);

    auto* mappingBox = new QGroupBox(tr("Columns of the sheet for the fields"));
    auto* grid = new QGridLayout(mappingBox);
    const auto& fields = session.plan.fields();
    const int perRow = 4;
    for (std::size_t f = 0; f < fields.size(); ++f) {
        const int r = static_cast<int>(f) / perRow;
        const int c = static_cast<int>(f) % perRow;
        auto* label = new QLabel(QString::fromStdString(fields[f].title) + (fields[f].required ? " *" : ""));
        auto* combo = new QComboBox;
        combo->setObjectName(QString::number(1100 + f));
        combo->setMinimumContentsLength(10);
        connect(combo, &QComboBox::currentIndexChanged, this, &ImportWindow::MappingChanged);
        grid->addWidget(label, r, c * 2);
        grid->addWidget(combo, r, c * 2 + 1);
        fieldCombos_.push_back(combo);
    }
    layout->addWidget(mappingBox);

    table_ = new QTableWidget;
    table_->setObjectName("1005");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(table_, 3);

    summary_ = new QLabel;
    summary_->setObjectName("1006");
    layout->addWidget(summary_);
    problems_ = new QListWidget;
    problems_->setObjectName("1007");
    problems_->setMaximumHeight(110);
    connect(problems_, &QListWidget::currentRowChanged, this, [this](int index) {
        if (index < 0 || static_cast<std::size_t>(index) >= session_.rows.rowProblems.size()) return;
        const long number = session_.rows.rowProblems[static_cast<std::size_t>(index)].first;
        for (std::size_t r = 0; r < session_.sheet.rows.size(); ++r)
            if (session_.sheet.rows[r].number == number) table_->selectRow(static_cast<int>(r));
    });
    layout->addWidget(problems_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    okButton_->setText(tr("Import"));
    okButton_->setObjectName("1");
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ImportWindow::reject);
    layout->addWidget(buttons);
    resize(980, 640);
    fillMappingChoices();
    recheck();
}

bool ImportWindow::openFile(const QString& path, const QString& sheet) {
    std::string error;
    std::vector<std::string> names;
    if (!ListSheets(path.toStdString(), names, error) ||
        !LoadSheet(session_, path.toStdString(), sheet.toStdString(), error)) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
        return false;
    }
    file_ = path;
    fileEdit_->setText(QDir::toNativeSeparators(path));
    filling_ = true;
    sheetCombo_->clear();
    for (const std::string& name : names) sheetCombo_->addItem(QString::fromStdString(name));
    sheetCombo_->setCurrentText(QString::fromStdString(session_.sheet.name));
    filling_ = false;
    session_.mapping = GuessMapping(session_.plan, session_.sheet);
    if (options_.mapGiven &&
        !ParseMapping(options_.map, session_.plan, session_.sheet, session_.mapping, error))
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
    fillTable();
    fillMappingChoices();
    recheck();
    // Measured after the header row turned bold.
    table_->resizeColumnsToContents();
    return true;
}

void ImportWindow::Browse() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Spreadsheet to import"), QFileInfo(file_).path(),
                                     tr("Spreadsheets (*.xlsx *.ods *.csv *.txt);;All files (*)"));
    if (!path.isEmpty()) openFile(path);
}

void ImportWindow::SheetChosen(int index) {
    if (filling_ || index < 0 || file_.isEmpty()) return;
    openFile(file_, sheetCombo_->itemText(index));
}

void ImportWindow::fillTable() {
    const Sheet& sheet = session_.sheet;
    const int columns = sheet.columnCount();
    table_->clear();
    table_->setRowCount(static_cast<int>(sheet.rows.size()));
    table_->setColumnCount(columns);
    QStringList letters;
    for (int c = 0; c < columns; ++c) letters << QString::fromStdString(ColumnName(c));
    table_->setHorizontalHeaderLabels(letters);
    QStringList numbers;
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        numbers << QString::number(sheet.rows[r].number);
        for (int c = 0; c < columns; ++c) {
            const std::string& text = sheet.rows[r].cell(c);
            if (!text.empty())
                table_->setItem(static_cast<int>(r), c, new QTableWidgetItem(QString::fromStdString(text)));
        }
    }
    table_->setVerticalHeaderLabels(numbers);
    table_->resizeColumnsToContents();
}

void ImportWindow::fillMappingChoices() {
    filling_ = true;
    const Sheet& sheet = session_.sheet;
    const int columns = sheet.columnCount();
    const SheetRow* header = session_.mapping.headerRow >= 0
                                 ? &sheet.rows[static_cast<std::size_t>(session_.mapping.headerRow)]
                                 : nullptr;
    for (std::size_t f = 0; f < fieldCombos_.size(); ++f) {
        QComboBox* combo = fieldCombos_[f];
        combo->clear();
        combo->addItem(tr("(none)"), -1);
        for (int c = 0; c < columns; ++c) {
            QString text = QString::fromStdString(ColumnName(c));
            if (header && !header->cell(c).empty()) text += ": " + QString::fromStdString(header->cell(c));
            combo->addItem(text, c);
        }
        const int column = f < session_.mapping.columns.size() ? session_.mapping.columns[f] : -1;
        combo->setCurrentIndex(column < 0 ? 0 : column + 1);
    }
    filling_ = false;
}

void ImportWindow::MappingChanged() {
    if (filling_) return;
    session_.mapping.columns.assign(fieldCombos_.size(), -1);
    for (std::size_t f = 0; f < fieldCombos_.size(); ++f)
        session_.mapping.columns[f] = fieldCombos_[f]->currentData().toInt();
    recheck();
}

void ImportWindow::recheck() {
    problems_->clear();
    if (file_.isEmpty()) {
        session_.rows = CheckedRows();
        summary_->setText(tr("Choose a spreadsheet (.xlsx, .ods or .csv) with Browse."));
        okButton_->setEnabled(false);
        return;
    }
    const SheetUnit unit = unitCombo_->currentIndex() == 1 ? SheetUnit::Inches : SheetUnit::Millimetres;
    session_.rows = CheckRows(session_.plan, session_.sheet, session_.mapping, unit);
    std::map<long, QStringList> byRow;
    for (const auto& [number, text] : session_.rows.rowProblems)
        byRow[number] << QString::fromStdString(text);
    // Mapping problems (no row) first, then every row's.
    for (const std::string& p : session_.rows.problems)
        if (p.rfind("row ", 0) != 0) problems_->addItem(QString::fromStdString(p));
    for (const auto& [number, text] : session_.rows.rowProblems)
        problems_->addItem(QString::fromStdString(text));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const SheetRow& row = session_.sheet.rows[static_cast<std::size_t>(r)];
        const bool header = r == session_.mapping.headerRow;
        const auto found = byRow.find(row.number);
        for (int c = 0; c < table_->columnCount(); ++c) {
            QTableWidgetItem* item = table_->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                table_->setItem(r, c, item);
            }
            item->setBackground(header                 ? kHeaderColour
                                : found != byRow.end() ? kProblemColour
                                                       : QColor(Qt::white));
            item->setToolTip(found != byRow.end() ? found->second.join("\n") : QString());
            QFont font = item->font();
            font.setBold(header);
            item->setFont(font);
        }
    }
    const bool ok = session_.rows.problems.empty() && !session_.rows.records.empty();
    if (ok)
        summary_->setText(
            tr("%n row(s) ready to import.", "", static_cast<int>(session_.rows.records.size())));
    else if (session_.rows.problems.empty())
        summary_->setText(tr("The sheet holds no rows to import."));
    else
        summary_->setText(tr("%n problem(s) to mend before the import:", "",
                             static_cast<int>(session_.rows.problems.size())));
    okButton_->setEnabled(ok);
}

void ImportWindow::accept() {
    recheck();
    if (!session_.rows.problems.empty() || session_.rows.records.empty()) return;
    std::string done;
    std::string error;
    if (!WriteImport(session_, file_.toStdString(), done, error)) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
        return;
    }
    QDialog::accept();
}

int RunWindow(ImportKind kind, const ImportOptions& options, int argc, char** argv) {
    QApplication app(argc, argv);
    ImportSession session;
    std::string error;
    if (!LoadTemplate(session, kind, options.templatePath, error)) {
        QMessageBox::warning(nullptr, QStringLiteral("Import from a spreadsheet"),
                             QString::fromStdString(error));
        return 1;
    }
    ImportWindow window(session, options);
    window.show();
    const QByteArray screenshot = qgetenv("TAVREL_IMPORT_SCREENSHOT");
    if (!options.file.empty()) {
        window.openFile(QString::fromStdString(options.file), QString::fromStdString(options.sheet));
    } else {
        // Straight to the choice of the spreadsheet, as the user came to import one.
        QTimer::singleShot(0, &window, [&window] { QMetaObject::invokeMethod(&window, "Browse"); });
    }
    if (!screenshot.isEmpty()) {
        // For the documentation: the window as it opens, saved, then closed.
        QTimer::singleShot(400, &window, [&window, screenshot] {
            window.grab().save(QString::fromLocal8Bit(screenshot));
            window.reject();
        });
    }
    return window.exec() == QDialog::Accepted ? 0 : 1;
}

}  // namespace tavrel
