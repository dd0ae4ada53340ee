#pragma once
#include <string>

namespace tavrel {

// One unit of measure the user can work in, as matched against a "UM%d" section of CONFIG.INI.
struct UnitDef {
    int found = 0;
    double referenceFactor = 1.0;  // LinearFactToMM value that identifies the unit
    std::string name;              // must equal the section's Descrizione
    std::string numberFormat;      // printf format for lengths, "%.1lf" style
    double linearFactor = 0.0;     // millimetres per user unit, as read
    double areaFactor = 0.0;
    double weightFactor = 0.0;
    int decimals = 0;       // 0..3
    int sectionNumber = 0;  // the N of "UMN"; handed to the engine library
    int stdDecimals = 1;    // the unit's standard decimals, never read from a file
    std::string sectionName;
    std::string linearLabel;  // "mm"
    std::string lengthLabel;  // "m"
    std::string areaLabel;    // "mq"
    std::string weightLabel;  // "Kg"
    std::string defaultFlag;  // "Y" or "N"
};

// The copy of the selected row that every conversion reads.
struct CurrentUnit {
    std::string numberFormat;
    double linearFactor = 0.0;
    double areaFactor = 0.0;
    double weightFactor = 0.0;
    int decimals = 0;
    int sectionNumber = 0;
    int stdDecimals = 0;
    std::string linearLabel;
    std::string lengthLabel;
    std::string areaLabel;
    std::string weightLabel;
};

UnitDef MillimetreRow();
UnitDef InchRow();

}  // namespace tavrel
