#pragma once
// Takes one engine result apart: the layout file (%08d.LG) and header file (%08d.HLG) that the
// cutting plans are printed from, and the plates the result uses and the offcuts it leaves. The
// result is read with the engine's own reader, so the split sees exactly the engine's plan.

#include <string>

namespace tavrel {

struct CurrentUnit;
struct Material;
class PlateList;

// Splits `resultPath` (written into its own folder) for the material's run number. Used plates
// and offcuts are copies of plates of `selectedPlates` (the candidates offered to the engine),
// with sourceIndex naming the candidate; their sizes are in `unit`. The result file is deleted.
// True when at least one used plate or offcut was found; `readable` (when given) tells whether
// the result could be read at all.
bool SplitEngineResult(const std::string& resultPath, const Material& material, PlateList& usedPlates,
                       PlateList& offcuts, long runNumber, const PlateList& selectedPlates,
                       const CurrentUnit& unit, bool* readable = nullptr);

}  // namespace tavrel
