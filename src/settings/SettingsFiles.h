#pragma once
// The program's own settings files (Tavrel.INI, Tavrel.CFG, Tavrel.OPT) and the few keys of the
// suite's shared files that it reads or keeps at fixed values.

#include <string>
#include <vector>

#include "common/FileUtils.h"

namespace tavrel {

struct AppSettings;
class UserPrompt;

// Units first, then the Directories keys of Tavrel.INI, the editor parameters and the language
// of Tavrel.CFG.
void LoadSettings(AppSettings& settings);
// Rewrites Tavrel.INI and Tavrel.CFG whole from memory (and mirrors the results folder into
// BRENIX.INI); unless quiet, ends with the folder check (which may prompt). Returns the files
// that could not be written; the settings in memory stay as they are either way.
std::vector<FailedSave> SaveDirectories(AppSettings& settings, bool quiet, UserPrompt* prompt = nullptr);
// The values the companion programs expect at every start. Returns the files that needed a
// change and could not be written.
std::vector<FailedSave> ApplyStartupSuiteValues(const AppSettings& settings);
// The box that tells which settings files could not be written (nothing when all were).
void ReportFailedSettingsSaves(const std::vector<FailedSave>& failed, UserPrompt& prompt);
// -2 no Tavrel.OPT, -1 empty value, 1 when "1", else 0.
int ReadPrintPiecesPerimeter(const AppSettings& settings);
bool WritePrintPiecesPerimeter(const AppSettings& settings, bool on);
bool ReadServicePackLine(const std::string& path, std::string& text);
bool ReadCheckWasteFlag(const AppSettings& settings);
// The step text of Kelvara/StepMove*: "0", "." and `decimals` zeros (at most 5), " " label.
std::string StepMoveText(int decimals, const std::string& label);
// The spreadsheet import program's file name in its folder.
extern const char* const kExcelImportProgram;
// Tests whether the spreadsheet import program is present in `folder` and remembers the answer
// process-wide, with the program's path (empty when it is missing).
bool ProbeExcelImport(const std::string& folder);
// The remembered answer of the last test; `programPath` gets the program's path (empty when the
// program was missing or nothing was tested yet).
bool ExcelImportAvailable(std::string* programPath = nullptr);

}  // namespace tavrel
