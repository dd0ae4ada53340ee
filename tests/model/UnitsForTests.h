#pragma once
// An installation in a temporary folder with the shipped unit table and millimetres or inches
// selected, registered as the current settings for the life of the object.

#include <memory>
#include <string>

#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "support/TempDir.h"

using namespace tavrel;

class UnitsForTests {
public:
    enum Unit { Millimetres, Inches };

    explicit UnitsForTests(Unit unit = Millimetres) {
        InstallSuiteFiles(dir.path());
        WriteText(dir / "BRENIX.INI", std::string("[GenGen]\nUMDef=") +
                                          (unit == Inches ? "Pollici Americani" : "Millimetri") + "\n");
        settings = std::make_unique<AppSettings>(dir.path());
        LoadUnits(*settings);
        SetCurrentSettings(settings.get());
    }
    ~UnitsForTests() { SetCurrentSettings(nullptr); }
    UnitsForTests(const UnitsForTests&) = delete;
    UnitsForTests& operator=(const UnitsForTests&) = delete;

    std::string path(const std::string& name) const { return dir / name; }

    TempDir dir;
    std::unique_ptr<AppSettings> settings;
};
