#pragma once
// The main window: seven picture buttons from which every other window opens. It owns the
// settings of the run and runs the start-up sequence before it shows.

#include <array>
#include <memory>
#include <string>

#include <QDialog>

#include "app/Startup.h"
#include "suite/SuiteLibrary.h"

namespace tavrel {

struct AppSettings;
class CSXButton;
class KLanguage;

class CTavrelDlg : public QDialog {
    Q_OBJECT
public:
    // `installFolder` empty: the folder of the executable. Start-up runs here, its messages
    // through WindowPrompt().
    explicit CTavrelDlg(QWidget* parent = nullptr, const std::string& installFolder = std::string());
    ~CTavrelDlg() override;

    // The main window of the run, or nullptr.
    static CTavrelDlg* Current();

    AppSettings& settings() { return *settings_; }
    const StartupResult& startup() const { return startup_; }
    CSXButton* button(int id) const;

    // Loads the engine library when a load is pending or `force` is set; messages as at start.
    // `loadEditor`, when given, receives the editor entry (nullptr when missing).
    bool LoadSuiteLibrary(LoadEditorFn* loadEditor = nullptr, bool force = false);

    // The job file the user picked, exactly as picked, and the caption it is shown under.
    struct JobChoice {
        std::string path;     // empty: cancelled
        std::string caption;  // the path in upper case, for the window title only
    };
    JobChoice OpenJob();

    // Shows icon 132 when every data folder exists, else 199, testing quietly.
    void RefreshSettingsButton();

public slots:
    void OnNewJob();
    void OnOpenJob();
    void OnMaterials();
    void OnPlates();
    void OnSettings();
    void OnAbout();

private:
    void BuildButtons();
    void AddAboutEntry();

    std::unique_ptr<AppSettings> settings_;
    std::unique_ptr<KLanguage> language_;
    std::array<CSXButton*, 7> buttons_{};
    StartupResult startup_;
};

}  // namespace tavrel
