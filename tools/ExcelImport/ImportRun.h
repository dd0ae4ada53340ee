#pragma once
// The command line of the import programs and their run without a window:
//   ExcelImport /INI=[template] [/FILE=[spreadsheet]] [/SHEET=[name]] [/MAP=[F_1=A;F_2=C]]
//               [/UNIT=[MM|INCH]]
// Values sit in square brackets, so a path may hold blanks (the program splits its command line
// at blanks; the pieces are joined again here).

#include <cstdio>
#include <string>
#include <vector>

#include "ImportRules.h"

namespace tavrel {

struct ImportOptions {
    std::string templatePath;
    std::string file;
    std::string sheet;
    std::string map;
    bool mapGiven = false;
    SheetUnit unit = SheetUnit::Millimetres;
};

// False with a line in `error` for an unknown option or a value without its brackets.
bool ParseImportArguments(const std::vector<std::string>& args, ImportOptions& options, std::string& error);

// Everything a run needs up to the write, shared with the window: the template read, the sheet
// read, the mapping guessed or parsed, the rows checked. Each step says in `problems` what
// went wrong.
struct ImportSession {
    XniTemplate xni;
    ImportPlan plan;
    Sheet sheet;
    ColumnMapping mapping;
    CheckedRows rows;
};
bool LoadTemplate(ImportSession& session, ImportKind kind, const std::string& path, std::string& error);
bool LoadSheet(ImportSession& session, const std::string& file, const std::string& sheetName,
               std::string& error);

// Writes what the checked rows make (the result file, or the plate catalogue's update) and says
// what it did in `done`; false with a line in `error`.
bool WriteImport(ImportSession& session, const std::string& file, std::string& done, std::string& error);

// The headless run: 0 when the result was written, 1 with one line per problem on `err`
// otherwise (nothing is then written).
int RunHeadless(ImportKind kind, const ImportOptions& options, std::FILE* out, std::FILE* err);

}  // namespace tavrel
