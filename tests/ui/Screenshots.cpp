// Takes the README's screenshots of the main window, the about box and the settings window on a
// demo installation in the temporary folder. Run it under a real X server (xvfb-run), so the
// pictures show the fonts and icons a user sees:  xvfb-run -a ui_screenshots <output folder>

#include <cstdio>
#include <filesystem>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include "app/ui/CAboutDlg.h"
#include "app/ui/CTavrelDlg.h"
#include "materials/MaterialsFile.h"
#include "materials/ui/TVLComponentsDialog.h"
#include "materials/ui/TVLMaterialDataDialog.h"
#include "materials/ui/TVLMaterialsDialog.h"
#include "plates/ui/TVLAutomaticPlatesDialog.h"
#include "plates/ui/TVLPlateDataDialog.h"
#include "plates/ui/TVLPlatesDialog.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "settings/ui/TVLConfigDialog.h"
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
    fs::copy_file(resources / "Msg/Tavrel.msg", root / "Msg/Tavrel.msg");
    for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC", "Addins/ExcelEXE"})
        fs::create_directories(root / f);
    for (const char* f : {"Materials.dat", "Plates.dat"})
        fs::copy_file(resources / "demo/DAT" / f, root / "DAT" / f);
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
        ModifyFieldTable table;
        table.Add(Msg("00043"), "M");
        table.Add("Quantity:", "%ld");
        table.Add("Priority:", "%ld", true);
        table.Add("Kind:", "C", false, "Ordinary, Offcut, Unlimited, ");
        table.Add("Width" + WithLinearLabel(" [", "]"), LengthFormat(1), false, "", -1);
        MultipleModify bulk(main.settings(), table, 6, &main);
        ok = Save(bulk, out + "/bulk-change.png") && ok;

        TVLPlatesDialog plates(main.settings(), &main);
        ok = Save(plates, out + "/plates.png") && ok;
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
    }
    SetWindowPromptOverride(nullptr);
    fs::remove_all(install);
    return ok ? 0 : 1;
}
