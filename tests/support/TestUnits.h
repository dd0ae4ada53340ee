#pragma once
// The two units of the shipped unit table as the conversions see them, built in memory, so a
// test of a file format needs no installation on disk.

#include <string>

#include "settings/UnitDef.h"

using namespace tavrel;

enum class TestUnitKind { Millimetres, Inches };

// decimals < 0: the unit's standard decimals (1 for millimetres, 2 for inches).
inline CurrentUnit TestUnit(TestUnitKind kind, int decimals = -1) {
    CurrentUnit unit;
    const bool inches = kind == TestUnitKind::Inches;
    unit.linearFactor = inches ? 25.4 : 1.0;
    unit.areaFactor = inches ? 0.09290304 : 1.0;
    unit.weightFactor = inches ? 0.45359237 : 1.0;
    unit.stdDecimals = inches ? 2 : 1;
    unit.decimals = decimals < 0 ? unit.stdDecimals : decimals;
    unit.numberFormat = "%." + std::to_string(unit.decimals) + "lf";
    unit.sectionNumber = inches ? 1 : 0;
    unit.linearLabel = inches ? "in" : "mm";
    unit.lengthLabel = inches ? "ft" : "m";
    unit.areaLabel = inches ? "sqft" : "mq";
    unit.weightLabel = inches ? "lb" : "Kg";
    return unit;
}

inline CurrentUnit Millimetres(int decimals = -1) { return TestUnit(TestUnitKind::Millimetres, decimals); }
inline CurrentUnit Inches(int decimals = -1) { return TestUnit(TestUnitKind::Inches, decimals); }

// Every decimal setting the unit table accepts (NumDecimali is clamped to 0..3).
constexpr int kMinDecimals = 0;
constexpr int kMaxDecimals = 3;
