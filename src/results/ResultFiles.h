#pragma once
// What an engine result means for the stock. Result and machine files are read with the
// engine's own reader (files/EngineResult.h); the splitter of the optimise command, this stock
// update and the engine's layout viewer all see the same plan.

#include <string>

#include "files/EngineResult.h"

namespace tavrel {

struct CurrentUnit;
struct Material;
struct StockPlate;
class PlateList;

// A result length (tenths of a millimetre) in `unit`, rounded as the screen shows it.
double ResultLength(engine::Length tenths, const CurrentUnit& unit);
// That length as the program writes it, with the unit's decimals ("%.1lf" without a unit).
std::string ResultLengthText(engine::Length tenths, const CurrentUnit& unit);
// Gives `plate` the size of a result's plate or offcut (tenths of a millimetre) in the user's
// unit, remembering the millimetres it came from: an inch station writes 1234.5 mm back as
// 1234.5 mm, not as the inch value converted once more. False when either side is not above 0.
bool SetResultSize(StockPlate& plate, engine::Length width, engine::Length height, const CurrentUnit& unit);

// The one way a result moves the stock: every used plate leaves it (`consume` by its material
// key and size), every offcut joins it (equal ones summed, unlimited plates stay unlimited).
void ApplyToStock(PlateList& stock, const PlateList& usedPlates, const PlateList& offcuts);

// Applies a stored result to `stock`: the plates its patterns are cut from leave the stock, the
// offcuts they leave join it as offcut plates of the material. The result file is deleted. True
// when anything was applied (the caller then saves the stock).
bool ApplyResult(PlateList& stock, const std::string& resultPath, const Material& material,
                 const CurrentUnit& unit);

// The folder a result lives in ("." for a bare name).
std::string ResultFolder(const std::string& resultPath);

}  // namespace tavrel
