#pragma once
// The materials of the job's last optimisation: OK or a double click reopens the chosen
// material's stored result in the engine library, and the stock may follow the machine file it
// writes. The window stays open, so one material after the other can be processed.

#include <functional>
#include <string>

#include <QDialog>

#include "suite/SuiteLibrary.h"
class QListWidget;

namespace tavrel {

struct AppSettings;
class MaterialKeyList;
class UserPrompt;

class TVLOptimizedMaterialListDialog : public QDialog {
    Q_OBJECT
public:
    // Gives the engine entry, loading the library when needed; nullptr when it is unavailable
    // (the loader has told the user).
    using EntrySource = std::function<LoadEditorFn()>;

    // Sorts `materials` in place (their positions keep naming their result files). Everything
    // passed must outlive the window.
    TVLOptimizedMaterialListDialog(const AppSettings& settings, MaterialKeyList& materials,
                                   const std::string& jobPath, UserPrompt& prompt, EntrySource entry,
                                   QWidget* parent = nullptr);

    // OK does not close: it processes the selected line.
    void accept() override;

private:
    void ProcessSelected();

    const AppSettings& settings_;
    MaterialKeyList& materials_;
    std::string jobPath_;
    UserPrompt& prompt_;
    EntrySource entry_;
    QListWidget* list_;
};

}  // namespace tavrel
