#pragma once
// What the two spreadsheet import bridges (pieces and stock plates) share: the opening lines of
// every XNI template, the material value lines, the import program's command line and starting
// the program. The program itself reads spreadsheets; we only hand it a template and wait.

#include <string>

namespace tavrel {

struct AppSettings;
class MaterialList;
class UserPrompt;

// The [XNI_GENERAL] values a template starts with.
struct XniGeneral {
    std::string outputFolder;
    std::string outputExtension;
    std::string format;
    std::string title;
};

// Lines 1 to 16 of a template: the comment with `now`, the section header and its keys up to
// LANGUAGE, each ending with a line feed.
std::string XniGeneralLines(const XniGeneral& general, const std::string& now);

// The material catalogue of `settings`, sorted by serie + code + treatment; empty when the
// catalogue is missing or cannot be read.
MaterialList SortedMaterials(const AppSettings& settings);

// One "V_n=T_1|serie|code[|treatment]" line per material with serie and code, numbered from 1;
// with `skipComposite` laminates get no line. Skipped materials use no number.
std::string XniValueLines(const MaterialList& sortedMaterials, bool skipComposite);

// "ExcelImport /INI=[template]". The command line is split into arguments at blanks, so a
// template path holding one is quoted to reach the program as one argument; a path holding a
// double quote cannot be passed and gives false.
bool ImportCommandLine(const std::string& templatePath, std::string& commandLine);

// Starts the import program and waits for it without a time limit. When it cannot be started
// the user is told, naming the program. Its exit code goes to `exitCode`; it does not decide the
// result, as the program shows its own messages.
bool StartImportProgram(const std::string& program, const std::string& commandLine, UserPrompt& prompt,
                        int* exitCode = nullptr);

}  // namespace tavrel
