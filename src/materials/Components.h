#pragma once
// The rules of the layers window and of the material choice it uses: the list lines, adding a
// layer (repeats allowed, the list kept sorted) and deleting one occurrence, and which
// catalogue entries may be chosen.

#include <string>
#include <vector>

#include "model/MaterialList.h"

namespace tavrel {

// "serie, code" followed by ", treatment" when there is one.
std::string ComponentLine(const MaterialKey& key);
// The key of a list line (the inverse of ComponentLine).
MaterialKey ParseComponentLine(const std::string& line);
// The caption: "00078" + " serie, code[, treatment]" of the entry.
std::string ComponentsTitle(const Material& entry);

// Appends the layer, sorts, and returns the line to select (the first equal key).
int AddComponent(MaterialKeyList& components, const MaterialKey& key);
// Removes the first layer equal to the line's key; returns the line to select (the same
// position, or the last line), -1 when the list is empty.
int RemoveComponent(MaterialKeyList& components, int line);

// "serie, code" of every base entry that may be chosen: not composite unless allowed, and not
// the excluded group.
std::vector<std::string> ChoosableGroups(const MaterialList& sortedCatalogue, bool allowComposites,
                                         const std::string& excludedSerieCode);
// An empty line, then the non-empty treatments of the group that may be chosen.
std::vector<std::string> ChoosableTreatments(const MaterialList& sortedCatalogue,
                                             const std::string& serieCode, bool allowComposites);
// Splits "serie, code".
void SplitSerieCode(const std::string& text, std::string& serie, std::string& code);

}  // namespace tavrel
