#pragma once
// Plates.dat, the stock-plate catalogue: a version line, then one line per plate of eleven
// ";"-separated fields (ten in version 1). Blank lines are skipped (a
// hand-edited file may hold them anywhere). Equal plates merge on
// reading; an unlimited plate always reads with quantity kUnlimitedQuantity. Lengths are stored
// in millimetres, the minimum lot in the suite's base area unit.
//
// Choices where the format leaves room:
// - Lines are read whole, whatever their length.
// - Fields missing from a short line read as empty or 0.
// - Texts are made storable on writing (see MakeStorable).
// - An order array that is not a permutation of the list's indices is ignored (list order is
//   written), so a wrong order can never drop or repeat a plate.

#include <string>
#include <vector>

namespace tavrel {

class PlateList;
struct CurrentUnit;
struct ReadReport;

class PlatesFile {
public:
    static constexpr int kVersion = 2;
    static constexpr const char* kFileName = "Plates.dat";

    static std::string pathIn(const std::string& dataFolder);

    // Empties `list` and reads the file, converting into `unit` and merging equal plates. False
    // when the file cannot be read or has no positive version (the list stays empty).
    static bool load(const std::string& path, PlateList& list, const CurrentUnit& unit,
                     ReadReport* report = nullptr);
    static bool read(const std::string& content, PlateList& list, const CurrentUnit& unit,
                     ReadReport* report = nullptr);
    // Makes the plates' key texts storable in place; counts the changed texts in `fixes`.
    static void clean(PlateList& list, ReadReport* fixes = nullptr);
    // Writes every plate, converted from `unit` (in `order` when it is a permutation of the
    // indices), through a temporary file; false when it could not be written.
    [[nodiscard]] static bool save(const std::string& path, const PlateList& list, const CurrentUnit& unit,
                                   const std::vector<int>* order = nullptr);
    static std::string write(const PlateList& list, const CurrentUnit& unit,
                             const std::vector<int>* order = nullptr);
};

}  // namespace tavrel
