// Takes the README's screenshots of the main window, the about box, the settings window, the
// catalogue windows, the new job window and the optimisation windows on a demo installation in
// the temporary folder, and of the main window, the settings window and the pieces editor in Italian. Run it
// under a real X server (xvfb-run), so the pictures show the fonts and icons a user sees:  xvfb-run -a
// ui_screenshots <output folder>

#include <cstdio>
#include <filesystem>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/ui/CAboutDlg.h"
#include "app/ui/CTavrelDlg.h"
#include "common/IniFile.h"
#include "materials/MaterialsFile.h"
#include "materials/ui/TVLComponentsDialog.h"
#include "materials/ui/TVLMaterialDataDialog.h"
#include "materials/ui/TVLMaterialsDialog.h"
#include "model/Job.h"
#include "optimise/ui/OptimiseWindows.h"
#include "pieces/JobOpening.h"
#include "pieces/NewJob.h"
#include "pieces/ui/TVLNewJobDialog.h"
#include "pieces/ui/TVLPieceDataDialog.h"
#include "pieces/ui/TVLPiecesDialog.h"
#include "plates/PlateData.h"
#include "plates/PlateRows.h"
#include "plates/ui/TVLAutomaticPlatesDialog.h"
#include "plates/ui/TVLPlateDataDialog.h"
#include "plates/ui/TVLPlatesDialog.h"
#include "results/ui/TVLOptimizedMaterialListDialog.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"
#include "settings/ui/TVLConfigDialog.h"
#include "suite/JobListLibrary.h"
#include "ui/MultipleModify.h"
#include "ui/QtUserPrompt.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {

// A fresh installation with every data folder, so the main window starts without complaints.
std::string MakeInstallation() {
    const fs::path root = fs::path(QDir::tempPath().toStdString()) / "Tavrel";
    fs::remove_all(root);
    fs::create_directories(root / "Msg");
    const fs::path resources = fs::path(TAVREL_SOURCE_DIR) / "resources";
    for (const char* f : {"CONFIG.INI", "BRENIX.INI", "Macchine.ini"})
        fs::copy_file(resources / "suite" / f, root / f);
    for (const char* f : {"Tavrel.msg", "Tavrel.it.msg"})
        fs::copy_file(resources / "Msg" / f, root / "Msg" / f);
    for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC", "Addins/ExcelEXE"})
        fs::create_directories(root / f);
    for (const char* f : {"Materials.dat", "Plates.dat"})
        fs::copy_file(resources / "demo/DAT" / f, root / "DAT" / f);
    fs::copy_file(resources / "demo/TVL/DEMO_KITCHEN.TVL", root / "TVL/DEMO_KITCHEN.TVL");
    return root.string();
}

bool Save(QWidget& window, const QString& path) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) std::printf("window not exposed\n");
    QTest::qWait(200);
    const bool ok = window.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    window.hide();
    return ok;
}

// Saves a window that is open already (a modal one, from inside its event loop).
bool SaveOpen(QWidget* window, const QString& path) {
    const bool ok = window->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

QPushButton* Button(QWidget* window, const char* id) { return window->findChild<QPushButton*>(id); }

// The optimisation of three materials of the demo kitchen job with the engine library of the
// build, over the main window: the choice, the engine's progress window while it searches, and
// the review of each result, pictured on the way.
bool OptimisationShots(CTavrelDlg& main, const QString& out, const std::string& install) {
    AppSettings& settings = main.settings();
    settings.editorParameters = "/TIME=3 /SEED=11";
    Job job;
    const std::string jobPath = install + "/TVL/DEMO_KITCHEN.TVL";
    if (!OpenJobAsEditor(settings, jobPath, job, WindowPrompt())) return false;
    bool ok = true;
    int reviews = 0;
    QPointer<QWidget> last;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last.data()) return;
        last = modal;
        const QString name = modal->objectName();
        if (name == "151") {
            // Three plain glasses; the laminate and the toughened glass stay for another run.
            auto* list = modal->findChild<QListWidget*>("1003");
            for (int i = 0; i < list->count(); ++i) {
                const QString line = list->item(i)->text();
                list->item(i)->setSelected(line == "FL, 4MM" || line == "FL, 6MM" || line == "FL, 8MM");
            }
            ok = SaveOpen(modal, out + "/optimise-what.png") && ok;
            Button(modal, "1")->click();
        } else if (name == "engineProgress") {
            if (reviews > 0) return;
            // Half way through the first material's search, with a plan on show.
            QPointer<QWidget> progress = modal;
            QTimer::singleShot(1500, [&ok, progress, out] {
                if (progress) ok = SaveOpen(progress, out + "/engine-progress.png") && ok;
            });
        } else if (name == "layoutViewer") {
            modal->close();
        } else if (name == "172") {
            if (++reviews == 1) ok = SaveOpen(modal, out + "/optimised-plates.png") && ok;
            Button(modal, "2")->click();
        } else {
            modal->close();
        }
    });
    driver.start(50);
    const OptimiseReport report =
        OptimiseFromWindow(&main, settings, job, jobPath, WindowPrompt(), EditorSteps{});
    driver.stop();
    int accepted = 0;
    for (const MaterialRunReport& m : report.materials) accepted += m.accepted ? 1 : 0;
    std::printf("%d materials optimised\n", accepted);
    ok = accepted == 3 && ok;

    TVLOptimizedMaterialListDialog materials(settings, job, jobPath, WindowPrompt(), nullptr, &main);
    // The last material chosen: its report and the job's totals beneath it are in view.
    auto* list = materials.findChild<QListWidget*>("1003");
    list->setCurrentRow(list->count() - 1);
    ok = Save(materials, out + "/optimised-materials.png") && ok;
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Absolute, because the main window's start-up moves into its installation folder.
    const QString out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".")).absolutePath();
    QDir().mkpath(out);
    const std::string install = MakeInstallation();

    // The demo has no engine library; its notice is answered out of sight.
    ScriptedPrompt quiet;
    SetWindowPromptOverride(&quiet);
    bool ok = true;
    {
        CTavrelDlg main(nullptr, install);
        ok = Save(main, out + "/main-window.png") && ok;
        CAboutDlg about(&main);
        ok = Save(about, out + "/about.png") && ok;
        // The settings window as a user meets it after mistyping a folder: the box turns red.
        TVLConfigDialog settings(main.settings(), &main);
        settings.findChild<QLineEdit*>("1005")->setText(QString::fromStdString(install + "/TMP"));
        ok = Save(settings, out + "/settings.png") && ok;

        TVLMaterialsDialog materials(main.settings(), &main);
        ok = Save(materials, out + "/materials.png") && ok;
        MaterialList group = materials.catalogue().subset("LAM", "44-2");
        TVLMaterialDataDialog data(group, &main);
        data.SetTitle("00089");
        data.SetKeyEditable(false);
        data.SetRowNumber(3);
        ok = Save(data, out + "/material-data.png") && ok;
        MaterialKeyList layers = group.at(1).components.copy();
        TVLComponentsDialog components(main.settings(), layers, &main);
        components.SetTitle(Msg("00078") + " LAM, 44-2, SATIN");
        ok = Save(components, out + "/components.png") && ok;
        // The pieces editor on the demo kitchen job, and the data window of its pantry door.
        {
            TVLPiecesDialog editor(main.settings(), &main);
            editor.SetEngineEntry(nullptr);
            editor.SetEngineLibrary(TAVREL_INSTALL_TREE "/libZORUDIR.so");
            const std::string jobPath = install + "/TVL/DEMO_KITCHEN.TVL";
            if (editor.OpenJobFile(jobPath, QString::fromStdString(jobPath).toUpper().toStdString())) {
                ok = Save(editor, out + "/pieces-editor.png") && ok;
                Job& job = editor.editor().job();
                Piece door = job.pieces.at(3);
                TVLPieceDataDialog pieceWindow(main.settings(), door, job, 3, &editor);
                pieceWindow.SetTitle("00097");
                pieceWindow.SetRowNumber(4);
                ok = Save(pieceWindow, out + "/piece-data.png") && ok;
            } else {
                ok = false;
            }
        }

        // The new job window on the demo's job lists, as the installation's job-list reader
        // lists them.
        {
            const fs::path lists = fs::path(install) / "JobLists";
            fs::create_directories(lists);
            for (const auto& entry :
                 fs::directory_iterator(fs::path(TAVREL_SOURCE_DIR) / "resources/demo/JobLists"))
                fs::copy_file(entry.path(), lists / entry.path().filename());
            fs::copy_file(TAVREL_INSTALL_TREE "/libQjlFileReader.so",
                          fs::path(install) / "libQjlFileReader.so");
            // With the import program in its folder, so its button is shown as a user has it.
            const fs::path importer = TAVREL_INSTALL_TREE "/Addins/ExcelEXE/ExcelImport";
            if (fs::exists(importer))
                fs::copy_file(importer, fs::path(main.settings().excelImportFolder) / "ExcelImport",
                              fs::copy_options::overwrite_existing);
            ProbeExcelImport(main.settings().excelImportFolder);
            std::vector<std::string> jobLists;
            JobListLibrary& reader = JobListLibrary::instance();
            if (reader.load(main.settings(), WindowPrompt(), true)) jobLists = JobListRows(reader.calls());
            std::printf("%zu job lists\n", jobLists.size());
            TVLNewJobDialog newJob(main.settings(), jobLists, &main);
            newJob.findChild<QRadioButton*>("1022")->click();
            ok = !jobLists.empty() && Save(newJob, out + "/new-job.png") && ok;
        }

        TVLPlatesDialog plates(main.settings(), &main);
        ok = Save(plates, out + "/plates.png") && ok;
        // The bulk change of the plates window for the demo's offcuts, their priority set to 1
        // and ticked, as a user leaves it before OK.
        {
            auto* list = plates.findChild<QTreeWidget*>("1003");
            list->clearSelection();
            const QString offcut = QString::fromStdString(PlateKindText(PlateOffcut));
            int selected = 0;
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                QTreeWidgetItem* item = list->topLevelItem(i);
                item->setSelected(item->text(ColumnKind) == offcut);
                selected += item->isSelected() ? 1 : 0;
            }
            ModifyFieldTable table = PlatesModifyTable();
            MultipleModify bulk(main.settings(), table, selected, &main);
            auto* fields = bulk.findChild<QTreeWidget*>("1100");
            QTreeWidgetItem* priority = fields->topLevelItem(ModifyPriority);
            fields->setCurrentItem(priority);
            bulk.findChild<QLineEdit*>("1101")->setText("1");
            bulk.SetValue();
            priority->setCheckState(0, Qt::Checked);
            ok = Save(bulk, out + "/bulk-change.png") && ok;
            list->clearSelection();
        }
        StockPlate satin = plates.plates().at(3).duplicate();
        TVLPlateDataDialog plateData(satin, materials.catalogue(), &main);
        plateData.SetTitle("00114");
        plateData.SetRowNumber(4);
        ok = Save(plateData, out + "/plate-data.png") && ok;
        // A series from a copy of a catalogue plate, calculated as a user would before OK.
        StockPlate start = plates.plates().at(0).duplicate();
        TVLAutomaticPlatesDialog series(main.settings(), start, false, &main);
        const std::pair<const char*, const char*> typed[] = {
            {"1044", "100"}, {"1046", "3500"}, {"1048", "50"}, {"1050", "2350"}};
        for (const auto& [id, text] : typed) series.findChild<QLineEdit*>(id)->setText(text);
        series.Calculate();
        ok = Save(series, out + "/plate-series.png") && ok;
        // The engine library of the build, as an installation holds it.
        fs::copy_file(TAVREL_INSTALL_TREE "/libZORUDIR.so", fs::path(install) / "libZORUDIR.so");
        main.LoadSuiteLibrary(nullptr, true);
        main.show();
        ok = OptimisationShots(main, out, install) && ok;
    }
    {
        // The same installation in Italian, as a user who chose it in the settings window meets
        // it at the next start.
        IniFile::WriteString(install + "/Tavrel.CFG", "Configuration", "Language", "it");
        CTavrelDlg main(nullptr, install);
        ok = Save(main, out + "/main-window-it.png") && ok;
        TVLConfigDialog settings(main.settings(), &main);
        settings.findChild<QLineEdit*>("1005")->setText(QString::fromStdString(install + "/TMP"));
        ok = Save(settings, out + "/settings-it.png") && ok;
        TVLPiecesDialog editor(main.settings(), &main);
        editor.SetEngineEntry(nullptr);
        editor.SetEngineLibrary(TAVREL_INSTALL_TREE "/libZORUDIR.so");
        const std::string jobPath = install + "/TVL/DEMO_KITCHEN.TVL";
        if (editor.OpenJobFile(jobPath, QString::fromStdString(jobPath).toUpper().toStdString()))
            ok = Save(editor, out + "/pieces-editor-it.png") && ok;
        else
            ok = false;
    }
    SetWindowPromptOverride(nullptr);
    fs::remove_all(install);
    return ok ? 0 : 1;
}
