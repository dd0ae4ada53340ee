#pragma once
// Conversions between what files store (millimetres, and the suite's area and weight units) and
// what the user sees and types (the selected unit). The conversions come in two forms: one that
// takes the unit it converts with (what the file formats use, so they can be read and written
// without an installation), and one that reads the current unit of the registered AppSettings at
// the moment it is called; without settings that one gives neutral values.

#include <string>

#include "settings/UnitDef.h"

namespace tavrel {

struct AppSettings;

enum class Kind { Length = 1, Weight = 2, Area = 3 };

bool NearlyEqual(double a, double b);  // |a - b| < 1e-5

double LinearFactor();
double AreaFactor();
double WeightFactor();
double InverseLinearFactor();
double InverseAreaFactor();
double InverseWeightFactor();
bool IsMillimetres();
bool IsInches();
int Decimals();
int UnitSection();
// decimals < 0: the current decimals; unit < 0: the current unit.
bool ExceedsStdDecimals(int decimals, int unit, int* stdDecimalsUsed = nullptr);

std::string LengthFormat(double hint = 1.0);
std::string AreaFormat();
std::string WeightFormat();
std::string WithLinearLabel(const std::string& prefix = "", const std::string& suffix = "");
std::string WithLengthLabel(const std::string& prefix = "", const std::string& suffix = "");
std::string WithAreaLabel(const std::string& prefix = "", const std::string& suffix = "");
std::string WithWeightLabel(const std::string& prefix = "", const std::string& suffix = "");

// The unit the conversions without a unit argument use: the current unit of the registered
// settings, or the neutral unit (factors 0, one decimal) when none is registered. The reference
// stays valid until the settings are changed or unregistered.
const CurrentUnit& UnitInUse();
// The unit conversions see when no settings are registered.
const CurrentUnit& NeutralUnit();

// The same conversions with the unit given.
double ToSystem(const CurrentUnit& unit, double value, Kind kind);
double ToSystemLength(const CurrentUnit& unit, double value);
double ToSystemWeight(const CurrentUnit& unit, double value);
double ToSystemArea(const CurrentUnit& unit, double value);
double FromSystem(const CurrentUnit& unit, double value, Kind kind, double scale = 10, int direction = 1);
double DisplayLength(const CurrentUnit& unit, double value, double scale = 10, int direction = 1);
double DisplayWeight(const CurrentUnit& unit, double value);
double DisplayArea(const CurrentUnit& unit, double value);
int ToSystemScaled(const CurrentUnit& unit, double value, double scale, int direction,
                   std::string* text = nullptr, std::string* text2 = nullptr);
double ToSystemScaledValue(const CurrentUnit& unit, double value, double scale, int direction);

// User value -> system value.
double ToSystem(double value, Kind kind);
double ToSystemLength(double value);
double ToSystemWeight(double value);
double ToSystemArea(double value);
// System value -> user value.
double FromSystem(double value, Kind kind, double scale = 10, int direction = 1);
// System value -> user value rounded to what the screen shows.
double DisplayLength(double value, double scale = 10, int direction = 1);
double DisplayWeight(double value);
double DisplayArea(double value);

// A user length as a whole number of system units times scale (scale 10: tenths of a mm).
// -1 gives the sentinel 99990. `text` receives the shown text, `text2` the truncated input.
int ToSystemScaled(double value, double scale, int direction, std::string* text = nullptr,
                   std::string* text2 = nullptr);
double ToSystemScaledValue(double value, double scale, int direction);
int WeightToSystemScaled(double value, double scale, std::string* text = nullptr);
double WeightScaledValue(double value, double scale);

// decimals < 0 means Decimals(). Never rounds.
double TruncateDecimals(double value, std::string* text, int decimals);
// mode 0: decimal rounding, ties away from zero; mode 1: printf rounding; else unchanged.
double RoundDecimals(double value, int decimals, int mode);

// A length total in millimetres shown in the long unit (m or ft), and that unit's label.
double ToLongLength(double millimetres);
std::string LongLengthLabel();

// A list row label of at most 32 characters: the name cut to fit, then the perimeter total.
std::string SummaryLabel(const std::string& name, double totalLong);

// Printf one double with a format such as "%.2lf".
std::string FormatNumber(const std::string& format, double value);

// Loading and saving the unit table (CONFIG.INI and BRENIX.INI of the installation).
void LoadUnits(AppSettings& settings);
bool SaveUnitChoice(AppSettings& settings, int unit, int decimals);

// The engine library's dimension formatter. Until a library provides it, lengths fall back to
// the current number format.
using CnvDimFromSysFn = int (*)(char* out, int a, int sectionNumber, int b, double value);
void SetCnvDimFromSys(CnvDimFromSysFn fn);
CnvDimFromSysFn GetCnvDimFromSys();

}  // namespace tavrel
