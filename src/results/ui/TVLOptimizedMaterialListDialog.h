#pragma once
// The materials of the job's last optimisation beside the job's report: OK or a double click
// reopens the chosen material's stored result in the engine library, and the stock may follow
// the machine file it writes. The report shows what the stored results cut (plates, pieces,
// areas, yield, waste, offcuts), and two buttons print the job's piece labels and cutting
// sheets. The window stays open, so one material after the other can be processed.

#include <functional>
#include <string>

#include <QDialog>

#include "suite/SuiteLibrary.h"
class QListWidget;
class QTreeWidget;

namespace tavrel {

struct AppSettings;
struct Job;
class UserPrompt;

class TVLOptimizedMaterialListDialog : public QDialog {
    Q_OBJECT
public:
    // Gives the engine entry, loading the library when needed; nullptr when it is unavailable
    // (the loader has told the user).
    using EntrySource = std::function<LoadEditorFn()>;

    // Sorts the job's materials in place (their positions keep naming their result files).
    // Everything passed must outlive the window.
    TVLOptimizedMaterialListDialog(const AppSettings& settings, Job& job, const std::string& jobPath,
                                   UserPrompt& prompt, EntrySource entry, QWidget* parent = nullptr);

    // OK does not close: it processes the selected line.
    void accept() override;

private:
    void ProcessSelected();
    // Reads the stored results again: reopening one in the engine may have changed it.
    void ShowReport();
    void ShowMaterialOfRow(int row);
    void PrintLabels();
    void PrintSheets();

    const AppSettings& settings_;
    Job& job_;
    std::string jobPath_;
    UserPrompt& prompt_;
    EntrySource entry_;
    QListWidget* list_;
    QTreeWidget* report_;
};

}  // namespace tavrel
