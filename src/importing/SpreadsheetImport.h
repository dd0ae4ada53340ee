#pragma once
// The bridge to the spreadsheet import program for pieces: whether it is there, the import
// folder, the template TAVREL.XNI that describes a piece and lists the known materials, the
// program's run, and the list of its result files (.TVX) for the new job window. Reading a
// result into a job is Job::importSpreadsheet (model/SpreadsheetResult.h). The exchanged files
// are described in src/importing/README.md.

#include <string>
#include <vector>

namespace tavrel {

struct AppSettings;
class MaterialList;
class UserPrompt;

constexpr const char* kImportSubfolder = "IMPORT";
constexpr const char* kPieceTemplateName = "TAVREL.XNI";
constexpr const char* kResultExtension = "TVX";
constexpr const char* kResultFormat = "TAVREL";

// The import folder below the spreadsheet-import folder. False when that folder is not an
// existing directory; otherwise true when the import folder exists, is created (with `create`)
// or, without `create`, is missing all the same.
bool ImportFolder(const AppSettings& settings, bool create, std::string& folder);

// The whole template for `importFolder`, dated `now`, listing `sortedMaterials`.
std::string PieceTemplateText(const std::string& importFolder, const std::string& now,
                              const MaterialList& sortedMaterials);
// Writes the template into the import folder (made when missing); false when it cannot be.
bool WriteTemplate(const AppSettings& settings, std::string& templatePath);

// The program found by the last availability test (ProbeExcelImport of the settings) and its
// command line for `templatePath`; false when the program is not available or the path cannot
// be passed.
bool ImportCommand(const std::string& templatePath, std::string& program, std::string& commandLine);

// What pressing the import button did.
struct SpreadsheetImportRun {
    bool available = false;  // the program was found by the last test
    bool templateWritten = false;
    bool started = false;  // the program ran and ended
    int exitCode = 0;
};
// Writes the template, runs the program and waits for it, then removes the template. Every
// failure but a missing program (the window then has no import button) is told to the user.
// Afterwards the caller lists the results again.
SpreadsheetImportRun RunSpreadsheetImport(const AppSettings& settings, UserPrompt& prompt);

// One row per result file of the import folder whose FORMAT is TAVREL: its name without the
// extension, a tab, "[", its DESCRIPTION, "]", in name order. False (rows untouched) when the
// spreadsheet-import folder is missing.
bool ListResults(const AppSettings& settings, std::vector<std::string>& rows);

// A row of ListResults taken apart as the new job window's OK takes it: the name before the
// first tab, the description after the tab and "[" up to the first "]", and the result file's
// path. False when the row holds no tab or its file is gone.
struct ChosenResult {
    std::string name;
    std::string description;
    std::string path;
};
bool ChooseResult(const AppSettings& settings, const std::string& row, ChosenResult& chosen);

}  // namespace tavrel
