#pragma once
// The list of a job's optimised materials: each stored result can be reopened in the engine
// library, which may write its machine file again, and the stock can follow that result once.

#include <string>
#include <vector>

#include "suite/SuiteLibrary.h"

namespace tavrel {

struct AppSettings;
struct MaterialKey;
class MaterialKeyList;
class UserPrompt;

// Sorts the job's optimised materials and returns one line per material, in that order.
std::vector<std::string> OptimisedMaterialLines(MaterialKeyList& materials);

// The stored result of a material (position p -> "R%02d" of p + 1 after the job's base name).
std::string StoredResultPath(const AppSettings& settings, const std::string& jobPath, const MaterialKey& key);
std::string MachineResultPath(const AppSettings& settings, const std::string& jobPath,
                              const MaterialKey& key);

// The mark beside a stored result telling that the stock already follows it.
std::string AppliedMarkPath(const std::string& storedResultPath);
bool MarkResultApplied(const std::string& storedResultPath);

// Opens the material's stored result in the engine library and, when that left a machine file,
// asks whether the stock should follow it: Yes applies it to Plates.dat, No deletes it. Either
// way the machine file is gone afterwards. A result the stock already follows (applied here or
// accepted with the stock update in the optimise command) is not applied a second time.
// Returns true when the stock was changed and saved.
bool ProcessOptimisedMaterial(const MaterialKey& key, const std::string& jobPath, const AppSettings& settings,
                              LoadEditorFn entry, void* parentWindow, UserPrompt& prompt);

}  // namespace tavrel
