#pragma once
// The pieces editor: the job's texts, plate limits and plate choice, the list of its pieces with
// add, change, bulk change, delete, copy and paste, the optimise and results buttons, the
// catalogues, and OK with the save step. A thin window on pieces/PiecesEditor.h.

#include <memory>
#include <string>

#include <QDialog>

#include "pieces/PiecesEditor.h"
#include "suite/SuiteLibrary.h"
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrel {

struct AppSettings;
struct NewJobTexts;
class CTrapListCtrl;
struct OptimiseReport;

class TVLPiecesDialog : public QDialog {
    Q_OBJECT
public:
    explicit TVLPiecesDialog(AppSettings& settings, QWidget* parent = nullptr);
    ~TVLPiecesDialog() override;

    // The job as the main window hands it over. False (window not to be shown) when the file
    // cannot be read; the user has been told.
    bool OpenJobFile(const std::string& path, const std::string& caption);
    // An empty job titled "00189", changed until saved.
    void OpenNewJob();
    // The job the new job window chose: empty, or the pieces of a job list or of a spreadsheet
    // import result, which start as changed. What could not be read has been told.
    void OpenNewJob(const NewJobTexts& texts);
    // The engine entry; without it optimise is disabled.
    void SetEngineEntry(LoadEditorFn entry);
    // Tests and tools: the engine library at this path instead of the installation's.
    // The engine then shows no window of its own.
    void SetEngineLibrary(const std::string& path);
    // Opened from the main window (the optimise command runs whole only then).
    void SetOpenedFromMainWindow(bool fromMain) { fromMainWindow_ = fromMain; }

    PiecesEditor& editor() { return editor_; }
    const OptimiseReport* lastOptimisation() const;

    void OnAdd();        // 1001
    void OnChange();     // 1002, double click
    void OnDelete();     // 1004, Delete key
    void OnCopy();       // Ctrl+C, Ctrl+Insert
    void OnPaste();      // Ctrl+V, Shift+Insert
    void OnOptimise();   // 1005
    void OnResults();    // 1006
    void OnMaterials();  // 1011
    void OnPlates();     // 1007
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Build();
    void Prepared();
    void ShowRows(const std::vector<int>& select);
    void ShowRow(int row);
    std::vector<int> SelectedRows() const;
    void ShowTotals();
    void ShowLimit(int which);
    void LimitClicked(int which);
    PiecesHeader ReadHeader() const;
    void HeaderEdited();
    void RefreshIndicator();
    void ShowJobPath();
    void RefreshResultsButton();
    // The save step with the window's save dialog; focuses an offending limit.
    SaveStepAnswer RunSaveStep();
    std::string ChooseSavePath(const std::string& folder, const std::string& current);

    AppSettings& settings_;
    PiecesEditor editor_;
    PlateLimit limits_[2];
    LoadEditorFn engineEntry_ = nullptr;
    std::string engineLibrary_;
    bool fromMainWindow_ = true;
    bool indicatorHeld_ = false;
    bool showing_ = false;
    std::unique_ptr<OptimiseReport> lastReport_;

    QLabel* fileName_;
    QLineEdit* texts_[3] = {};
    QLabel* indicator_;
    QCheckBox* limitBoxes_[2] = {};
    QLineEdit* limitEdits_[2] = {};
    QLabel* limitIcons_[2] = {};
    QCheckBox* flags_[3] = {};
    CTrapListCtrl* list_;
    QLabel* rowsTotal_;
    QLabel* quantityTotal_;
    QLabel* perimeterTotal_;
    QCheckBox* printPerimeter_;
    QPushButton* optimise_;
    QPushButton* results_;
};

}  // namespace tavrel
