#pragma once
// Whether each data folder exists, as last tested. The settings window tests a folder at every
// keystroke to colour its box; the main window reads the same flags for the settings button.

#include <string>

namespace tavrel {

// Folder positions: 0 data, 1 jobs, 2 results, 3 temporary, 4 CNC, 5 spreadsheet import.
constexpr int kFolderPositions = 7;

// position 0..6: stores and returns whether `path` is an existing directory.
// position < 0: tests the six folders of the registered settings, stores every flag and returns
// true only when all exist (false without settings). position > 6: false, nothing stored.
bool RefreshFolderState(int position, const std::string& path = std::string());
// The stored flag; false for a position outside 0..6.
bool FolderState(int position);

}  // namespace tavrel
