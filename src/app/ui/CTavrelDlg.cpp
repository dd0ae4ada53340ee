#include "app/ui/CTavrelDlg.h"

#include <QAction>
#include <QGroupBox>
#include <QKeySequence>

#include "app/ui/CAboutDlg.h"
#include "common/TextUtils.h"
#include "materials/ui/TVLMaterialsDialog.h"
#include "pieces/NewJob.h"
#include "pieces/ui/TVLNewJobDialog.h"
#include "pieces/ui/TVLPiecesDialog.h"
#include "plates/ui/TVLPlatesDialog.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "settings/UnitHooks.h"
#include "settings/ui/TVLConfigDialog.h"
#include "suite/JobListLibrary.h"
#include "suite/KLanguage.h"
#include "ui/AppIcons.h"
#include "ui/CSXButton.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/FileDialogs.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

namespace {

CTavrelDlg* g_mainWindow = nullptr;

struct ButtonRow {
    int id;
    const char* textId;
    int iconId;
    int x, y;
};

// In binding order; positions in dialog units.
const ButtonRow kButtons[] = {
    {1006, "00007", 134, 165, 217}, {1005, "00006", 133, 165, 159}, {1004, "00005", 132, 29, 159},
    {1003, "00004", 138, 165, 93},  {1002, "00003", 137, 29, 93},   {1001, "00002", 131, 165, 27},
    {1000, "00001", 130, 29, 27},
};

constexpr int kSettingsIcon = 132;
constexpr int kSettingsMissingIcon = 199;

}  // namespace

CTavrelDlg* CTavrelDlg::Current() { return g_mainWindow; }

CTavrelDlg::CTavrelDlg(QWidget* parent, const std::string& installFolder) : QDialog(parent) {
    setObjectName("102");
    setWindowTitle(QStringLiteral("Tavrel"));
    setWindowIcon(AppIcon(128));
    settings_ = installFolder.empty() ? std::make_unique<AppSettings>()
                                      : std::make_unique<AppSettings>(installFolder);
    g_mainWindow = this;
    SetCurrentSettings(settings_.get());
    BuildButtons();

    startup_ = RunStartup(*settings_, WindowPrompt(), language_, SuiteLibrary::instance());
    AddAboutEntry();  // its text comes from the catalogue, loaded by the start-up
    CompileDialogStrings(this);
    if (!startup_.foldersOk) button(1004)->SetIcon(kSettingsMissingIcon, 32, 32);
    // A unit change alters what the engine library formats, so it is loaded afresh.
    SetUnitChangedHook([this] { LoadSuiteLibrary(nullptr, true); });
}

CTavrelDlg::~CTavrelDlg() {
    SetUnitChangedHook(nullptr);
    if (g_mainWindow == this) g_mainWindow = nullptr;
    if (CurrentSettings() == settings_.get()) SetCurrentSettings(nullptr);
    if (CurrentCatalogue() == language_.get()) SetCurrentCatalogue(nullptr);
}

void CTavrelDlg::BuildButtons() {
    const DialogUnits du(font());
    setFixedSize(du.Size(319, 254));
    du.PlaceGroup(new QGroupBox(QStringLiteral("00204"), this), 17, 14, 282, 57);
    du.PlaceGroup(new QGroupBox(QStringLiteral("00205"), this), 17, 80, 282, 57);
    du.PlaceGroup(new QGroupBox(QStringLiteral("00206"), this), 17, 146, 282, 57);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const ButtonRow& row = kButtons[i];
        auto* b = du.Place(new CSXButton(QString::fromLatin1(row.textId), this), row.x, row.y, 118, 30);
        b->setObjectName(QString::number(row.id));
        b->SetIcon(row.iconId, 32, 32);
        b->SetImageMargin(8);
        buttons_[i] = b;
    }
    // Tab order follows the panel, top left to bottom right, not the binding order.
    for (int id = 1000; id < 1006; ++id) setTabOrder(button(id), button(id + 1));
    button(1006)->SetDefault(true);
    connect(button(1000), &QPushButton::clicked, this, &CTavrelDlg::OnNewJob);
    connect(button(1001), &QPushButton::clicked, this, &CTavrelDlg::OnOpenJob);
    connect(button(1002), &QPushButton::clicked, this, &CTavrelDlg::OnMaterials);
    connect(button(1003), &QPushButton::clicked, this, &CTavrelDlg::OnPlates);
    connect(button(1004), &QPushButton::clicked, this, &CTavrelDlg::OnSettings);
    connect(button(1005), &QPushButton::clicked, this, &CTavrelDlg::OnAbout);
    connect(button(1006), &QPushButton::clicked, this, &QDialog::accept);
}

void CTavrelDlg::AddAboutEntry() {
    // Our desktops give a dialog no system menu to extend, so the about entry goes where users
    // look for it instead: the window's context menu (right click) and F1.
    const QString text = QString::fromStdString(Msg("00247"));
    if (text.isEmpty()) return;
    auto* about = new QAction(text + QStringLiteral("..."), this);
    about->setObjectName("16");
    about->setShortcut(QKeySequence(Qt::Key_F1));
    about->setShortcutContext(Qt::WindowShortcut);
    connect(about, &QAction::triggered, this, &CTavrelDlg::OnAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

CSXButton* CTavrelDlg::button(int id) const {
    for (CSXButton* b : buttons_)
        if (b && b->objectName() == QString::number(id)) return b;
    return nullptr;
}

bool CTavrelDlg::LoadSuiteLibrary(LoadEditorFn* loadEditor, bool force) {
    return SuiteLibrary::instance().load(*settings_, WindowPrompt(), force, loadEditor);
}

void CTavrelDlg::RefreshSettingsButton() {
    button(1004)->SetIcon(FoldersPresent(*settings_) ? kSettingsIcon : kSettingsMissingIcon, 32, 32);
}

CTavrelDlg::JobChoice CTavrelDlg::OpenJob() {
    const AppSettings& s = *settings_;
    Platform::SetCurrentFolder(s.jobFolder);
    const QString filter = QString::fromStdString(Msg("00109")) + QStringLiteral(" (*.TVL)");
    const QString chosen = FileDialogs::OpenFileName(this, QString(), QString::fromStdString(s.jobFolder),
                                                     filter, QStringLiteral("TVL"));
    Platform::SetCurrentFolder(s.installFolder);
    JobChoice choice;
    // The path stays as chosen: on a case-sensitive file system another case is another file.
    choice.path = chosen.toStdString();
    if (!choice.path.empty()) choice.caption = chosen.toUpper().toStdString();
    return choice;
}

void CTavrelDlg::OnNewJob() {
    // The job lists come from the reader when it is there; without it the job-list choice is
    // simply empty (loading it has told the user why).
    std::vector<std::string> jobLists;
    JobListLibrary& reader = JobListLibrary::instance();
    if (reader.load(*settings_, WindowPrompt())) jobLists = JobListRows(reader.calls());
    TVLNewJobDialog choice(*settings_, std::move(jobLists), this);
    if (choice.exec() != QDialog::Accepted) return;
    TVLPiecesDialog editor(*settings_, this);
    LoadEditorFn entry = nullptr;
    LoadSuiteLibrary(&entry);
    editor.SetEngineEntry(entry);
    editor.OpenNewJob(choice.texts());
    editor.exec();
}

void CTavrelDlg::OnOpenJob() {
    const JobChoice choice = OpenJob();
    if (choice.path.empty()) return;
    TVLPiecesDialog editor(*settings_, this);
    LoadEditorFn entry = nullptr;
    LoadSuiteLibrary(&entry);
    editor.SetEngineEntry(entry);
    if (!editor.OpenJobFile(choice.path, choice.caption)) return;
    editor.exec();
}

void CTavrelDlg::OnMaterials() {
    TVLMaterialsDialog dialog(*settings_, this);
    dialog.exec();
}

void CTavrelDlg::OnPlates() {
    TVLPlatesDialog dialog(*settings_, this);
    dialog.exec();
}

void CTavrelDlg::OnSettings() {
    TVLConfigDialog dialog(*settings_, this);
    dialog.exec();
    RefreshSettingsButton();
}

void CTavrelDlg::OnAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

}  // namespace tavrel
