#pragma once
// Materials.dat, the material catalogue: a version line, then per entry one line of sixteen
// ";"-separated fields (fourteen in version 1) and a component block (a count line and one
// "serie";"code";"treatment" line per layer). Blank lines between entries are
// skipped (a hand-edited file may hold them anywhere). Lengths are stored
// in millimetres, weights in the suite's base unit; in memory they are in the user's units.
//
// Choices where the format leaves room:
// - Lines are read whole, whatever their length, so a long description never splits an entry.
// - Fields missing from a short line read as empty or 0.
// - A version above 2 is read with the version 2 layout.
// - A component count promising more lines than the file holds stops at the end of the file.
// - Texts are made storable on writing (see MakeStorable): a ";" in a description would
//   otherwise shift every following field when read back.

#include <string>

namespace tavrel {

class MaterialList;
struct CurrentUnit;
struct ReadReport;

class MaterialsFile {
public:
    static constexpr int kVersion = 2;
    static constexpr const char* kFileName = "Materials.dat";

    // dataFolder + "Materials.dat".
    static std::string pathIn(const std::string& dataFolder);

    // Empties `list` and reads the file into it, converting into `unit`; a second entry with an
    // existing key is dropped. False when the file cannot be read or has no positive version
    // (the list stays empty).
    static bool load(const std::string& path, MaterialList& list, const CurrentUnit& unit,
                     ReadReport* report = nullptr);
    static bool read(const std::string& content, MaterialList& list, const CurrentUnit& unit,
                     ReadReport* report = nullptr);
    // Makes every text of the catalogue storable in place, so that what is in memory equals what
    // a reload of the saved file gives; counts the changed texts in `fixes`.
    static void clean(MaterialList& list, ReadReport* fixes = nullptr);
    // Writes the whole catalogue, converted from `unit`, through a temporary file; false when it
    // could not be written.
    [[nodiscard]] static bool save(const std::string& path, const MaterialList& list,
                                   const CurrentUnit& unit);
    static std::string write(const MaterialList& list, const CurrentUnit& unit);
};

}  // namespace tavrel
