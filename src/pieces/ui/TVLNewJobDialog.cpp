#include "pieces/ui/TVLNewJobDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "common/Messages.h"
#include "importing/SpreadsheetImport.h"
#include "settings/SettingsFiles.h"
#include "ui/CSXButton.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

TVLNewJobDialog::TVLNewJobDialog(const AppSettings& settings, std::vector<std::string> jobLists,
                                 QWidget* parent)
    : QDialog(parent), settings_(settings), jobLists_(std::move(jobLists)) {
    setObjectName("153");
    const DialogUnits du(font());
    setFixedSize(du.Size(253, 270));
    du.PlaceGroup(new QGroupBox(this), 7, 7, 239, 230);
    auto radio = [&](const char* id, const char* text, int x, int y, int w) {
        auto* r = du.Place(new QRadioButton(QString::fromLatin1(text), this), x, y, w, 10);
        r->setObjectName(QString::fromLatin1(id));
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) ShowSource();
        });
        return r;
    };
    empty_ = radio("1021", "00046", 15, 17, 48);
    jobList_ = radio("1022", "00217", 15, 32, 107);
    spreadsheet_ = radio("1023", "00216", 15, 47, 109);
    import_ = du.Place(new CSXButton(QStringLiteral("00208"), this), 126, 40, 111, 20);
    import_->setObjectName("1097");
    import_->setAutoDefault(false);
    import_->SetIcon(190, 32, 32);
    title_ = du.Place(new QLabel(this), 13, 70, 221, 12);
    title_->setObjectName("1094");
    list_ = du.Place(new QListWidget(this), 13, 84, 222, 146);
    list_->setObjectName("1003");
    auto* ok = du.Place(new QPushButton(QStringLiteral("00008"), this), 76, 249, 50, 14);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = du.Place(new QPushButton(QStringLiteral("00009"), this), 128, 249, 50, 14);
    cancel->setObjectName("2");
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TVLNewJobDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TVLNewJobDialog::reject);
    connect(import_, &QPushButton::clicked, this, &TVLNewJobDialog::Import);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        if (Source() != NewJobSource::Empty) accept();
    });

    setWindowTitle(QStringLiteral("00001"));
    CompileDialogStrings(this);
    import_->setEnabled(ExcelImportAvailable());
    ListResults(settings_, results_);
    empty_->setChecked(true);
    ShowSource();
}

NewJobSource TVLNewJobDialog::Source() const {
    if (jobList_->isChecked()) return NewJobSource::JobList;
    if (spreadsheet_->isChecked()) return NewJobSource::Spreadsheet;
    return NewJobSource::Empty;
}

void TVLNewJobDialog::ShowSource() {
    list_->clear();
    const NewJobSource source = Source();
    const std::vector<std::string>* rows = source == NewJobSource::JobList       ? &jobLists_
                                           : source == NewJobSource::Spreadsheet ? &results_
                                                                                 : nullptr;
    if (!rows) {
        title_->clear();
        list_->setEnabled(false);
        return;
    }
    title_->setText(ShownText(Msg(source == NewJobSource::JobList ? "00217" : "00216")));
    for (const std::string& row : *rows) list_->addItem(ShownText(row));
    list_->setEnabled(true);
    if (list_->count() > 0) list_->setCurrentRow(0);
}

void TVLNewJobDialog::Import() {
    RunSpreadsheetImport(settings_, WindowPrompt());
    results_.clear();
    ListResults(settings_, results_);
    import_->setEnabled(ExcelImportAvailable());
    if (Source() == NewJobSource::Spreadsheet) ShowSource();
}

void TVLNewJobDialog::accept() {
    const NewJobSource source = Source();
    const std::vector<std::string>& rows = source == NewJobSource::JobList ? jobLists_ : results_;
    const int index = list_->currentRow();
    const std::string* row = nullptr;
    if (source != NewJobSource::Empty && index >= 0 && index < static_cast<int>(rows.size()))
        row = &rows[index];
    if (!TakeNewJobChoice(settings_, source, row, texts_)) return;
    QDialog::accept();
}

}  // namespace tavrel
