#pragma once
// Stored optimisation results read back into the stock: the plates a result cut leave the stock,
// the offcuts it left join it.

#include <string>
#include <vector>

struct Material;
class PlateList;

// Cuts a result file into one pattern file per block ("%08d.PSA" in the result's folder).
// Returns the number of blocks found; -1 when the result cannot be opened.
int CutResultIntoPatternFiles(const std::string& resultPath);

// Applies a stored result to `stock`: cuts it into pattern files, then for every pattern file of
// the folder takes the plates it used out of stock and adds its offcuts. The result file and the
// pattern files are deleted. True when anything was applied (the caller then saves the stock).
bool ApplyResult(PlateList& stock, const std::string& resultPath, const Material& material);

// The pattern files ("*.PSA") of a folder, in name order.
std::vector<std::string> PatternFiles(const std::string& folder);
// A number of a pattern file; false when the key is missing or empty.
bool ReadPatternNumber(const std::string& file, const std::string& section, const char* key, double& value);

// The folder a result lives in ("." for a bare name).
std::string ResultFolder(const std::string& resultPath);
