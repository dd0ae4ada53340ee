#pragma once
// Takes one engine result apart: the layout file (%08d.LG) and header file (%08d.HLG) that the
// cutting plans are printed from, one pattern file (%08d.PSA) per plate type, and from those the
// plates the result uses and the offcuts it leaves.

#include <string>

struct Material;
class PlateList;

// Splits `resultPath` (written into its own folder) for the material's run number. Used plates
// and offcuts are copies of plates of `selectedPlates` (the candidates offered to the engine),
// with sourceIndex naming the candidate. The result file is deleted. True when at least one used
// plate or offcut was found.
bool SplitEngineResult(const std::string& resultPath, const Material& material, PlateList& usedPlates,
                       PlateList& offcuts, long runNumber, const PlateList& selectedPlates);
