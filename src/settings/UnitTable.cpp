// Loading and saving the unit table shared with the suite (CONFIG.INI sections "UM0".."UM10" and
// the selected unit name in BRENIX.INI).

#include <cstdlib>
#include <functional>

#include "common/IniFile.h"
#include "common/TextUtils.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/UnitHooks.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

constexpr int kUnitBuffer = 2048;

std::string DecimalsFormat(int decimals) { return Format("%%.%dlf", decimals); }

int ClampDecimals(long value) { return value < 0 ? 0 : value > 3 ? 3 : static_cast<int>(value); }

void CopyToCurrent(const UnitDef& row, CurrentUnit& current) {
    current.numberFormat = row.numberFormat;
    current.linearFactor = row.linearFactor;
    current.areaFactor = row.areaFactor;
    current.weightFactor = row.weightFactor;
    current.decimals = row.decimals;
    current.sectionNumber = row.sectionNumber;
    current.stdDecimals = row.stdDecimals;
    current.linearLabel = row.linearLabel;
    current.lengthLabel = row.lengthLabel;
    current.areaLabel = row.areaLabel;
    current.weightLabel = row.weightLabel;
}

bool SectionMatches(const std::string& config, const std::string& section, const UnitDef& row) {
    const std::string name = IniFile::Read(config, section, "Descrizione", "", kUnitBuffer);
    if (!EqualsNoCase(name, row.name)) return false;
    const double factor =
        std::strtod(IniFile::Read(config, section, "LinearFactToMM", "0.0", kUnitBuffer).c_str(), nullptr);
    if (!NearlyEqual(factor, row.referenceFactor)) return false;
    const std::string flag = IniFile::Read(config, section, "Default", "", kUnitBuffer);
    return EqualsNoCase(flag, "Y") || EqualsNoCase(flag, "N");
}

void ReadMatchedRow(const std::string& config, int number, UnitDef& row) {
    const std::string section = Format("UM%d", number);
    auto read = [&](const char* key) { return IniFile::Read(config, section, key, "", kUnitBuffer); };
    row.found = 1;
    row.linearFactor = std::strtod(read("LinearFactToMM").c_str(), nullptr);
    row.sectionName = section;
    row.defaultFlag = read("Default");
    // A section without factors or decimals leaves them open; we take the neutral factor 1 and
    // the unit's standard decimals, so such a unit still converts and prints sensibly.
    row.areaFactor = 1.0;
    row.weightFactor = 1.0;
    row.decimals = row.stdDecimals;
    row.sectionNumber = number;
    row.numberFormat = DecimalsFormat(row.decimals);
    if (std::string v = read("AreaFactor"); !v.empty()) row.areaFactor = std::strtod(v.c_str(), nullptr);
    if (std::string v = read("WeightFactor"); !v.empty()) row.weightFactor = std::strtod(v.c_str(), nullptr);
    if (std::string v = read("LinearPost"); !v.empty()) row.linearLabel = v;
    if (std::string v = read("Lengthpost"); !v.empty()) row.lengthLabel = v;
    if (std::string v = read("AreaPost"); !v.empty()) row.areaLabel = v;
    if (std::string v = read("Weightpost"); !v.empty()) row.weightLabel = v;
    if (std::string v = read("NumDecimali"); !v.empty()) {
        row.decimals = ClampDecimals(std::strtol(v.c_str(), nullptr, 10));
        row.numberFormat = DecimalsFormat(row.decimals);
    }
}

void ApplyFallback(AppSettings& settings) {
    CurrentUnit& c = settings.current;
    c.linearFactor = c.areaFactor = c.weightFactor = 1.0;
    c.decimals = 1;
    c.sectionNumber = 0;
    c.stdDecimals = 1;
    c.numberFormat = "%.1lf";
    c.linearLabel = "mm";
    c.lengthLabel = "m";
    c.areaLabel = "mq";
    c.weightLabel = "Kg";
    settings.selectedUnit = 0;
    UnitDef& mm = settings.units[0];
    mm.linearFactor = mm.areaFactor = mm.weightFactor = 1.0;
    mm.found = 1;
    mm.decimals = 1;
    mm.sectionNumber = 0;
    mm.stdDecimals = 1;
    mm.numberFormat = "%.1lf";
    mm.sectionName.clear();
    mm.linearLabel = "mm";
    mm.lengthLabel = "m";
    mm.areaLabel = "mq";
    mm.weightLabel = "Kg";
    mm.defaultFlag.clear();
    UnitDef& in = settings.units[1];
    in.found = 0;
    in.sectionName.clear();
    in.linearLabel.clear();
    in.lengthLabel.clear();
    in.areaLabel.clear();
    in.weightLabel.clear();
    in.defaultFlag.clear();
}

std::function<void()> g_unitChanged;

}  // namespace

void SetUnitChangedHook(std::function<void()> hook) { g_unitChanged = std::move(hook); }

void LoadUnits(AppSettings& settings) {
    const std::string wanted = IniFile::Read(settings.suiteIniPath, "GenGen", "UMDef", "", kUnitBuffer);
    int matches = 0;
    for (int i = 0; i <= 10 && matches < 2; ++i) {
        const std::string section = Format("UM%d", i);
        if (IniFile::Read(settings.configIniPath, section, "Descrizione", "", kUnitBuffer).empty()) continue;
        for (int j = 0; j < 2 && matches < 2; ++j) {
            UnitDef& row = settings.units[size_t(j)];
            if (!SectionMatches(settings.configIniPath, section, row)) continue;
            ++matches;
            ReadMatchedRow(settings.configIniPath, i, row);
            if (!wanted.empty() && EqualsNoCase(wanted, row.name)) settings.selectedUnit = j;
        }
    }
    if (matches == 2 && (settings.selectedUnit == 0 || settings.selectedUnit == 1))
        CopyToCurrent(settings.units[size_t(settings.selectedUnit)], settings.current);
    else
        ApplyFallback(settings);
}

bool SaveUnitChoice(AppSettings& settings, int unit, int decimals) {
    if (unit < 0 || unit > 1) return false;
    const std::string brenix = settings.suiteIniPath;
    const std::string config = settings.configIniPath;
    const std::string brenixSav = brenix + "_SAV";
    const std::string configSav = config + "_SAV";
    Platform::DeleteFile(brenixSav);
    Platform::DeleteFile(configSav);
    if (!Platform::CopyFile(brenix, brenixSav) || !Platform::CopyFile(config, configSav)) {
        Platform::DeleteFile(brenixSav);
        Platform::DeleteFile(configSav);
        return false;
    }
    UnitDef chosen = settings.units[size_t(unit)];
    bool ok = true;
    const long stored =
        std::strtol(IniFile::Read(config, chosen.sectionName, "NumDecimali", "0").c_str(), nullptr, 10);
    if (stored != decimals) {
        ok = IniFile::WriteString(config, chosen.sectionName, "NumDecimali", Format("%d", decimals)) && ok;
        chosen.decimals = ClampDecimals(decimals);
        chosen.numberFormat = DecimalsFormat(chosen.decimals);
    }
    ok = ok && IniFile::WriteString(brenix, "GenGen", "UMDef", chosen.name);
    if (ok && settings.selectedUnit >= 0 && settings.selectedUnit <= 1) {
        const std::string previous = settings.units[size_t(settings.selectedUnit)].sectionName;
        if (!previous.empty()) ok = IniFile::WriteString(config, previous, "Default", "N");
    }
    ok = ok && IniFile::WriteString(config, chosen.sectionName, "Default", "Y");
    const std::string step = StepMoveText(chosen.decimals, chosen.linearLabel);
    ok = ok && IniFile::WriteString(brenix, "Kelvara", "StepMoveX", step);
    ok = ok && IniFile::WriteString(brenix, "Kelvara", "StepMoveY", step);
    if (!ok) {
        Platform::RenameFile(brenixSav, brenix);
        Platform::RenameFile(configSav, config);
        return false;
    }
    settings.units[size_t(unit)] = chosen;
    CopyToCurrent(chosen, settings.current);
    settings.selectedUnit = unit;
    Platform::DeleteFile(brenixSav);
    Platform::DeleteFile(configSav);
    if (g_unitChanged) g_unitChanged();
    return true;
}

}  // namespace tavrel
