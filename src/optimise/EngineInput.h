#pragma once
// The engine input file: two fixed-width lines per usable plate and one per piece, every line
// 190 characters, plus the small conversions those records use.

#include <string>

namespace tavrel {

struct AppSettings;
struct CurrentUnit;
struct Job;
struct Material;
class PieceList;
class PlateList;

// The material name the engine knows, at most 16 characters.
std::string EngineMaterialKey(const std::string& serie, const std::string& code);
// A length in `unit` as a whole number of tenths (scale 10) or hundredths (scale 100) of a
// millimetre; -1 (no value) gives 99990.
long EngineLength(double value, int scale, const CurrentUnit& unit);
// A weight in `unit` as tenths of the base weight unit.
long EngineWeight(double weight, const CurrentUnit& unit);
// The job name with the pieces' total perimeter, as printed on the cutting plans.
std::string PerimeterLabel(const Job& job, const CurrentUnit& unit);

// The job file's name cut just after its last "." ("A.TVL" -> "A."); a name without "." whole.
std::string JobBaseName(const std::string& jobPath);
// Job base name + "R%02ld" of the run number ("A.R01").
std::string RunFileName(const std::string& jobPath, long runNumber);

// The three record kinds, each exactly as the engine reads them (190 characters + "\n"), with
// the lengths of the models converted from `unit`.
std::string PlateLineA(const Job& job, const Material& material, const PlateList& plates, int index,
                       const CurrentUnit& unit);
std::string PlateLineB(const Job& job, const Material& material, const PlateList& plates, int index,
                       const AppSettings* settings, const CurrentUnit& unit);
std::string PieceLine(const Job& job, const Material& material, const PieceList& materialPieces, int index,
                      const CurrentUnit& unit);

// The first value of the records that the engine could not take: a piece whose width or height
// is not above 0 (`noSize`), or a number too wide for its fixed-width field, which would shift
// every later column. `what` names the piece, plate or material and the value for the user.
struct InputProblem {
    bool found = false;
    bool noSize = false;
    std::string what;
};
InputProblem CheckEngineInput(const Job& job, const Material& material, const PlateList& plates,
                              const PieceList& materialPieces, const CurrentUnit& unit);

// Writes the input for one material: the unmarked plates of `plates`, then every piece of
// `materialPieces`. False when the file cannot be written.
bool WriteEngineInput(const std::string& path, const Job& job, const Material& material,
                      const PlateList& plates, const PieceList& materialPieces, const AppSettings* settings,
                      const CurrentUnit& unit);

}  // namespace tavrel
