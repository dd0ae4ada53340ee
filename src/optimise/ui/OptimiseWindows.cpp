#include "optimise/ui/OptimiseWindows.h"

#include <map>
#include <memory>

#include <QLibrary>

#include "common/Messages.h"
#include "common/UserPrompt.h"
#include "model/Job.h"
#include "optimise/ui/TVLOptimizeWhatDialog.h"
#include "results/ui/TVLOptimizedMaterialListDialog.h"
#include "results/ui/TVLOptimizedPlatesDialog.h"
#include "settings/AppSettings.h"
#include "suite/SuiteLibrary.h"

namespace tavrel {

namespace {

// The engine entry: the program's loader, or a library named by path. A library named by path
// stays loaded for the rest of the run, as the program's own does, since the engine's windows
// and threads may outlive a single call's frame.
LoadEditorFn EngineEntryFrom(const AppSettings& settings, const std::string& library, UserPrompt& prompt) {
    if (library.empty()) {
        LoadEditorFn entry = nullptr;
        SuiteLibrary::instance().load(settings, prompt, false, &entry);
        return entry;
    }
    static std::map<std::string, std::unique_ptr<QLibrary>> loaded;
    std::unique_ptr<QLibrary>& lib = loaded[library];
    if (!lib) lib = std::make_unique<QLibrary>(QString::fromStdString(library));
    auto entry = reinterpret_cast<LoadEditorFn>(lib->resolve("LoadEditor"));
    if (!entry) Warn(prompt, "00117", " '" + library + "'");
    return entry;
}

class WindowHost : public OptimiseHost {
public:
    WindowHost(QWidget* parent, const AppSettings& settings, UserPrompt& prompt, EditorSteps steps)
        : parent_(parent), settings_(settings), prompt_(prompt), steps_(std::move(steps)) {}

    bool openedFromMainWindow() const override { return steps_.openedFromMainWindow; }
    bool CommitAndSave(bool& saved) override {
        saved = false;
        return steps_.commitAndSave ? steps_.commitAndSave(saved) : true;
    }
    bool SaveAgain() override { return steps_.saveAgain ? steps_.saveAgain() : false; }
    bool ChooseMaterials(const MaterialList& used, MaterialKeyList& chosen) override {
        TVLOptimizeWhatDialog choice(used, prompt_, parent_);
        if (choice.exec() != QDialog::Accepted) return false;
        chosen = choice.chosen();
        return true;
    }
    bool ReviewPlates(PlateList& candidates, const PlateList& usedPlates, const std::string& caption,
                      const std::string& info) override {
        TVLOptimizedPlatesDialog review(candidates, usedPlates, caption, info, parent_);
        return review.exec() == QDialog::Accepted;
    }
    LoadEditorFn EngineEntry() override { return EngineEntryFrom(settings_, steps_.engineLibrary, prompt_); }
    // The engine shows its progress window over this one and runs its search beside that
    // window's event loop, so the program's windows keep painting while it works.
    void* ParentWindow() override { return parent_; }
    void SetResultsPresent(bool present) override {
        if (steps_.setResultsPresent) steps_.setResultsPresent(present);
    }
    void EnableResultsButton(bool enable) override {
        if (steps_.enableResultsButton) steps_.enableResultsButton(enable);
    }
    void RefreshModified() override {
        if (steps_.refreshModified) steps_.refreshModified();
    }

private:
    QWidget* parent_;
    const AppSettings& settings_;
    UserPrompt& prompt_;
    EditorSteps steps_;
};

}  // namespace

OptimiseReport OptimiseFromWindow(QWidget* parent, AppSettings& settings, Job& job,
                                  const std::string& jobPath, UserPrompt& prompt, EditorSteps steps) {
    WindowHost host(parent, settings, prompt, std::move(steps));
    return Optimise(settings, job, jobPath, prompt, host);
}

void ShowOptimisedMaterials(QWidget* parent, AppSettings& settings, Job& job, const std::string& jobPath,
                            UserPrompt& prompt) {
    if (job.materials.empty()) {
        Warn(prompt, "00103");
        return;
    }
    TVLOptimizedMaterialListDialog list(
        settings, job, jobPath, prompt,
        [&settings, &prompt] { return EngineEntryFrom(settings, std::string(), prompt); }, parent);
    list.exec();
}

}  // namespace tavrel
