#pragma once
// The one settings object of a run: where the installation and its data folders are, the
// editor parameters and the units of measure. Created by the main window (or the batch tool),
// registered process-wide, and read by every subsystem through CurrentSettings().

#include <array>
#include <string>

#include "common/Messages.h"
#include "settings/UnitDef.h"

namespace tavrel {

extern const char* const kDefaultEditorParameters;

struct AppSettings {
    // Builds the defaults below the given installation folder, made absolute against the current
    // folder first.
    explicit AppSettings(const std::string& installFolder);
    // Defaults below the folder of the running executable.
    AppSettings();

    std::string installFolder;
    std::string iniPath;
    std::string cfgPath;
    std::string tempFolder;
    std::string dataFolder;
    std::string jobFolder;
    std::string mrFolder;
    std::string cncFolder;
    std::string editorParameters;
    std::string engineFolder;
    std::string excelImportFolder;
    std::string configIniPath;
    std::string suiteIniPath;
    std::array<UnitDef, 2> units;
    CurrentUnit current;
    int selectedUnit = -1;
    std::string optPath;
    // The code of the language chosen in the settings window (Languages.h); the catalogue of a
    // run is the one chosen when it started.
    std::string language = "en";
};

// Process-wide accessors (one thread). Registering nullptr clears them.
void SetCurrentSettings(AppSettings* settings);
AppSettings* CurrentSettings();

}  // namespace tavrel
