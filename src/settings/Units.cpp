#include "settings/Units.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "common/TextUtils.h"
#include "settings/AppSettings.h"

namespace tavrel {

namespace {

constexpr double kTolerance = 1e-5;
constexpr int kWeightAndAreaDecimals = 2;  // "%.2lf", as shown
CnvDimFromSysFn g_cnvDimFromSys = nullptr;

const CurrentUnit* Current() {
    const AppSettings* s = CurrentSettings();
    return s ? &s->current : nullptr;
}

double Inverse(double factor) { return NearlyEqual(factor, 0.0) ? 0.0 : 1.0 / factor; }

double ReadBack(const std::string& text, double fallback) {
    if (text.empty()) return fallback;
    return std::strtod(text.c_str(), nullptr);
}

}  // namespace

UnitDef MillimetreRow() {
    UnitDef row;
    row.referenceFactor = 1.0;
    row.name = "Millimetri";
    row.numberFormat = "%.1lf";
    row.stdDecimals = 1;
    return row;
}

UnitDef InchRow() {
    UnitDef row;
    row.referenceFactor = 25.4;
    row.name = "Pollici Americani";
    row.numberFormat = "%.2lf";
    row.stdDecimals = 2;
    return row;
}

bool NearlyEqual(double a, double b) { return std::fabs(a - b) < kTolerance; }

double LinearFactor() { return Current() ? Current()->linearFactor : 0.0; }
double AreaFactor() { return Current() ? Current()->areaFactor : 0.0; }
double WeightFactor() { return Current() ? Current()->weightFactor : 0.0; }
double InverseLinearFactor() { return Inverse(LinearFactor()); }
double InverseAreaFactor() { return Inverse(AreaFactor()); }
double InverseWeightFactor() { return Inverse(WeightFactor()); }
bool IsMillimetres() { return NearlyEqual(LinearFactor(), 1.0); }
bool IsInches() { return NearlyEqual(LinearFactor(), 25.4); }
int Decimals() { return Current() ? Current()->decimals : 1; }
int UnitSection() { return Current() ? Current()->sectionNumber : 0; }

bool ExceedsStdDecimals(int decimals, int unit, int* stdDecimalsUsed) {
    const AppSettings* s = CurrentSettings();
    if (!s) return true;
    if (decimals < 0) decimals = s->current.decimals;
    int std = s->current.stdDecimals;
    if (unit >= 0 && unit < static_cast<int>(s->units.size())) std = s->units[size_t(unit)].stdDecimals;
    if (stdDecimalsUsed) *stdDecimalsUsed = std;
    return std < decimals;
}

std::string LengthFormat(double hint) {
    if (!Current()) return NearlyEqual(hint, 1.0) ? "%.1lf" : "%.2lf";
    return Current()->numberFormat;
}
std::string AreaFormat() { return "%.2lf"; }
std::string WeightFormat() { return "%.2lf"; }

std::string WithLinearLabel(const std::string& prefix, const std::string& suffix) {
    return Current() ? prefix + Current()->linearLabel + suffix : std::string();
}
std::string WithLengthLabel(const std::string& prefix, const std::string& suffix) {
    return Current() ? prefix + Current()->lengthLabel + suffix : std::string();
}
std::string WithAreaLabel(const std::string& prefix, const std::string& suffix) {
    return Current() ? prefix + Current()->areaLabel + suffix : std::string();
}
std::string WithWeightLabel(const std::string& prefix, const std::string& suffix) {
    return Current() ? prefix + Current()->weightLabel + suffix : std::string();
}

std::string FormatNumber(const std::string& format, double value) {
    // Only a single floating conversion is ever passed; anything else prints plainly.
    const bool plain = format.size() < 3 || format.find('%') != format.rfind('%') ||
                       format.find_first_of("fFeEgG") == std::string::npos ||
                       format.find_first_of("sdinpxXc") != std::string::npos;
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, plain ? "%.6g" : format.c_str(), value);
    return buffer;
}

double TruncateDecimals(double value, std::string* text, int decimals) {
    if (decimals < 0) decimals = Decimals();
    // Six decimals ("%f"), whatever the size: a shorter form ("%g") would cut the digits of a
    // length in the millions before the point and round the ones after it. Printed without the
    // locale, so a decimal comma on the desktop cannot hide the point.
    char buffer[400];
    const auto printedEnd = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::string printed(buffer, printedEnd.ec == std::errc() ? printedEnd.ptr : buffer);
    auto point = printed.find('.');
    if (point != std::string::npos && point + 1 + size_t(decimals) < printed.size())
        printed.erase(point + 1 + size_t(decimals));
    if (text) *text = printed;
    if (point == std::string::npos) return value;
    double truncated = value;
    std::from_chars(printed.data(), printed.data() + printed.size(), truncated);
    return truncated;
}

double RoundDecimals(double value, int decimals, int mode) {
    if (decimals < 0) return value;
    if (mode == 1) {
        std::string fmt = Format("%%.%dlf", decimals);
        return std::strtod(FormatNumber(fmt, value).c_str(), nullptr);
    }
    if (mode != 0 || !std::isfinite(value)) return value;
    // The exact decimal digits of the stored value decide the rounding, so ties go away from
    // zero as a person rounding the printed number would expect.
    const double magnitude = std::fabs(value);
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals + 25, magnitude);
    std::string digits(buffer);
    auto point = digits.find('.');
    std::string kept = digits.substr(0, point) + digits.substr(point + 1, size_t(decimals));
    const char next = digits[point + 1 + size_t(decimals)];
    if (next >= '5') {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[size_t(i)] == '9') kept[size_t(i--)] = '0';
        if (i < 0)
            kept.insert(kept.begin(), '1');
        else
            kept[size_t(i)]++;
    }
    double result = std::strtod(kept.c_str(), nullptr) / std::pow(10.0, decimals);
    return value < 0 ? -result : result;
}

namespace {

CurrentUnit MakeNeutralUnit() {
    CurrentUnit unit;
    unit.numberFormat = "%.1lf";
    unit.decimals = 1;
    return unit;
}

double FactorOf(const CurrentUnit& unit, Kind kind) {
    switch (kind) {
        case Kind::Length:
            return unit.linearFactor;
        case Kind::Weight:
            return unit.weightFactor;
        case Kind::Area:
            return unit.areaFactor;
    }
    return 0.0;
}

bool ExceedsStd(const CurrentUnit& unit) { return unit.stdDecimals < unit.decimals; }

}  // namespace

const CurrentUnit& NeutralUnit() {
    static const CurrentUnit neutral = MakeNeutralUnit();
    return neutral;
}

const CurrentUnit& UnitInUse() { return Current() ? *Current() : NeutralUnit(); }

double ToSystem(const CurrentUnit& unit, double value, Kind kind) {
    if (NearlyEqual(value, 0.0)) return 0.0;
    const double factor = FactorOf(unit, kind);
    if (NearlyEqual(factor, 0.0)) return 0.0;
    // Weights and areas are shown and typed with two decimals whatever the length decimals, so
    // they keep two: cutting them to the length decimals lost 12.35 to 12.3 on every save.
    const int decimals = kind == Kind::Length ? unit.decimals : kWeightAndAreaDecimals;
    const double t = TruncateDecimals(value, nullptr, decimals);
    return NearlyEqual(factor, 1.0) ? t : t * factor;
}

double ToSystemLength(const CurrentUnit& unit, double value) { return ToSystem(unit, value, Kind::Length); }
double ToSystemWeight(const CurrentUnit& unit, double value) { return ToSystem(unit, value, Kind::Weight); }
double ToSystemArea(const CurrentUnit& unit, double value) { return ToSystem(unit, value, Kind::Area); }

double FromSystem(const CurrentUnit& unit, double value, Kind kind, double scale, int direction) {
    if (NearlyEqual(value, 0.0)) return 0.0;
    const double e = Inverse(FactorOf(unit, kind));
    const bool extra = kind == Kind::Length && ExceedsStd(unit);
    if (NearlyEqual(e, 0.0)) return 0.0;
    if (NearlyEqual(e, 1.0)) return value;
    const double r = e * value;
    if (!extra) return r;
    return ToSystemScaledValue(unit, RoundDecimals(r, unit.decimals, 0), scale, direction);
}

double DisplayLength(const CurrentUnit& unit, double value, double scale, int direction) {
    return ReadBack(FormatNumber(unit.numberFormat, FromSystem(unit, value, Kind::Length, scale, direction)),
                    0.0);
}

double DisplayWeight(const CurrentUnit& unit, double value) {
    return ReadBack(FormatNumber("%.2lf", FromSystem(unit, value, Kind::Weight, 10, 1)), 0.0);
}

double DisplayArea(const CurrentUnit& unit, double value) {
    return ReadBack(FormatNumber("%.2lf", FromSystem(unit, value, Kind::Area, 10, 1)), 0.0);
}

namespace {
// The nearest int of a value, the int's limits beyond them, 0 for a value that is not a number.
int SaturatedInt(double value) {
    if (!(value == value)) return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}
}  // namespace

int ToSystemScaled(const CurrentUnit& unit, double value, double scale, int /*direction*/, std::string* text,
                   std::string* text2) {
    // The direction only moved a value nobody read; the nearest whole unit is what callers get.
    if (text) *text = "0.0";
    if (text2) *text2 = "0.0";
    if (NearlyEqual(value, 0.0)) return 0;
    if (NearlyEqual(value, -1.0)) return 99990;
    const double factor = unit.linearFactor;
    if (NearlyEqual(factor, 0.0) || NearlyEqual(scale, 0.0)) return 0;
    std::string truncated;
    const double t = TruncateDecimals(value, &truncated, unit.decimals);
    if (text) *text = truncated;
    if (text2) *text2 = truncated;
    if (NearlyEqual(factor, 1.0)) return SaturatedInt(std::floor(scale * value));
    // A length from a damaged file can be beyond any whole number of tenths: the count saturates
    // and the text keeps the value itself.
    const double scaled = RoundDecimals(t * factor * scale, 0, 0);
    const int result = SaturatedInt(scaled);
    if (text) {
        char buffer[256] = {0};
        const double systemValue = scaled / scale;
        if (g_cnvDimFromSys) {
            g_cnvDimFromSys(buffer, 2, unit.sectionNumber, 2, systemValue);
            buffer[sizeof buffer - 1] = 0;
            *text = buffer;
        } else {
            *text = FormatNumber(unit.numberFormat, systemValue * Inverse(factor));
        }
    }
    return result;
}

double ToSystemScaledValue(const CurrentUnit& unit, double value, double scale, int direction) {
    std::string text;
    ToSystemScaled(unit, value, scale, direction, &text, nullptr);
    return std::strtod(text.c_str(), nullptr);
}

double ToSystem(double value, Kind kind) { return ToSystem(UnitInUse(), value, kind); }
double ToSystemLength(double value) { return ToSystem(value, Kind::Length); }
double ToSystemWeight(double value) { return ToSystem(value, Kind::Weight); }
double ToSystemArea(double value) { return ToSystem(value, Kind::Area); }

double FromSystem(double value, Kind kind, double scale, int direction) {
    return FromSystem(UnitInUse(), value, kind, scale, direction);
}

double DisplayLength(double value, double scale, int direction) {
    return DisplayLength(UnitInUse(), value, scale, direction);
}
double DisplayWeight(double value) { return DisplayWeight(UnitInUse(), value); }
double DisplayArea(double value) { return DisplayArea(UnitInUse(), value); }

int ToSystemScaled(double value, double scale, int direction, std::string* text, std::string* text2) {
    return ToSystemScaled(UnitInUse(), value, scale, direction, text, text2);
}

double ToSystemScaledValue(double value, double scale, int direction) {
    return ToSystemScaledValue(UnitInUse(), value, scale, direction);
}

int WeightToSystemScaled(double value, double scale, std::string* text) {
    if (text) *text = "0.0";
    const double factor = WeightFactor();
    if (NearlyEqual(value, 0.0) || NearlyEqual(factor, 0.0) || NearlyEqual(scale, 0.0)) return 0;
    const double t = TruncateDecimals(value, text, 2);
    if (NearlyEqual(factor, 1.0)) return static_cast<int>(std::floor(scale * value));
    return static_cast<int>(std::floor(t * factor * scale));
}

double WeightScaledValue(double value, double scale) {
    std::string text;
    WeightToSystemScaled(value, scale, &text);
    return std::strtod(text.c_str(), nullptr);
}

double ToLongLength(double millimetres) {
    if (IsMillimetres()) return millimetres / 1000.0;
    if (IsInches()) return millimetres / 12.0;
    return millimetres;
}

std::string LongLengthLabel() { return Current() ? Current()->lengthLabel : std::string(); }

std::string SummaryLabel(const std::string& name, double totalLong) {
    const std::string label = LongLengthLabel();
    std::string suffix = Format(" [%s=%.2lf %s]", Msg("00263").c_str(), totalLong, label.c_str());
    int room = 32 - static_cast<int>(suffix.size());
    if (room < 0) {
        suffix = Format(" [%.2lf %s]", totalLong, label.c_str());
        room = 32 - static_cast<int>(suffix.size());
        if (room < 0) {
            suffix.clear();
            room = 32;
        }
    }
    std::string padded = name + std::string(32, ' ');
    return Trim(padded.substr(0, size_t(room))) + suffix;
}

void SetCnvDimFromSys(CnvDimFromSysFn fn) { g_cnvDimFromSys = fn; }
CnvDimFromSysFn GetCnvDimFromSys() { return g_cnvDimFromSys; }

}  // namespace tavrel
