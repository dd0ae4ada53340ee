#pragma once
// The import programs' window: the spreadsheet chosen, its rows in a table, one drop-down per
// template field giving its column (pre-set by the guess from the header row), the problems of
// each row shown beside it, and OK writing exactly what the headless run writes. The rules are
// those of ImportRules; the window only shows them.

#include <QDialog>

#include "ImportRun.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace tavrel {

class ImportWindow : public QDialog {
    Q_OBJECT
public:
    ImportWindow(ImportSession& session, const ImportOptions& options, QWidget* parent = nullptr);

    // Reads a spreadsheet (its first sheet) into the window; false after telling the user.
    bool openFile(const QString& path, const QString& sheet = QString());

public slots:
    void accept() override;

private slots:
    void Browse();
    void SheetChosen(int index);
    void MappingChanged();

private:
    void fillTable();
    void fillMappingChoices();
    void recheck();

    ImportSession& session_;
    ImportOptions options_;
    QString file_;
    QLineEdit* fileEdit_ = nullptr;
    QComboBox* sheetCombo_ = nullptr;
    QComboBox* unitCombo_ = nullptr;
    std::vector<QComboBox*> fieldCombos_;
    QTableWidget* table_ = nullptr;
    QListWidget* problems_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* okButton_ = nullptr;
    bool filling_ = false;
};

// The windowed run: 0 when the result was written, 1 when the user left without importing.
int RunWindow(ImportKind kind, const ImportOptions& options, int argc, char** argv);

}  // namespace tavrel
