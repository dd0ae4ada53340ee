#pragma once
// The bridge to the spreadsheet import program for stock plates: whether it is there, its
// folder, the template TAVREL_plates.XNI that describes a plate and lists the plain materials,
// and the run, after which the plates window reloads the catalogue when the program changed it.
// The program updates Plates.dat itself. The exchanged files are described in
// src/importing/README.md.

#include <string>

namespace tavrel {

struct AppSettings;
class MaterialList;
class UserPrompt;

constexpr const char* kPlatesImportProgram = "PlatesExcelImport";
constexpr const char* kPlatesImportSubfolder = "PLATES";
constexpr const char* kPlatesTemplateName = "TAVREL_plates.XNI";

// The program's path when it is in the spreadsheet-import folder, else empty.
std::string ProbePlatesImport(const AppSettings& settings);

// IMPORT/PLATES below the spreadsheet-import folder: false when that folder is not an existing
// directory, or when `create` is set and a missing level cannot be made.
bool PlatesImportFolder(const AppSettings& settings, bool create, std::string& folder);

// The field name of a label text: the ":" taken out and the blanks replaced by `blank` (none
// when it is 0, which drops them).
std::string TemplateFieldName(std::string text, char blank);

// The whole template for `importFolder`, dated `now`, naming `platesFile` as the catalogue to
// update and listing the plain materials of `sortedMaterials`.
std::string PlatesTemplateText(const std::string& importFolder, const std::string& platesFile,
                               const std::string& now, const MaterialList& sortedMaterials);
bool WritePlatesTemplate(const AppSettings& settings, std::string& templatePath);

struct PlatesImportRun {
    bool templateWritten = false;
    bool started = false;  // the program ran and ended
    int exitCode = 0;
    // Plates.dat differs from before the run: it appeared, vanished or its bytes changed. A
    // change that keeps the size (a quantity 4 turned into 7) counts too; a rewrite of the same
    // bytes does not, whatever its modification time.
    bool changed = false;
};
// Writes the template, runs `program` (as found by ProbePlatesImport; nothing happens when it is
// empty) and waits for it, then removes the template. Failures are told to the user.
PlatesImportRun RunPlatesImport(const AppSettings& settings, const std::string& program, UserPrompt& prompt);

}  // namespace tavrel
