// ExcelImport and PlatesExcelImport: the spreadsheet import programs the program starts with
// "ExcelImport /INI=[template]". One source for both; the build says which one it is.

#include <cstdio>
#include <string>
#include <vector>

#include "ImportRun.h"
#ifdef TAVREL_IMPORT_WINDOW
#include "ImportWindow.h"
#endif

using namespace tavrel;

namespace {

#ifdef TAVREL_IMPORT_PLATES
constexpr ImportKind kKind = ImportKind::Plates;
constexpr const char* kProgram = "PlatesExcelImport";
#else
constexpr ImportKind kKind = ImportKind::Pieces;
constexpr const char* kProgram = "ExcelImport";
#endif

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: %s /INI=[template] [/FILE=[spreadsheet] [/SHOW]] [/SHEET=[name]]\n"
                 "       [/MAP=[F_1=A;F_2=C;...]] [/UNIT=[MM|INCH]]\n"
                 "Without /FILE (or with /SHOW) the window opens; with /FILE the import runs without it.\n",
                 kProgram);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool show = false;
    for (auto it = args.begin(); it != args.end();) {
        if (*it == "/SHOW" || *it == "/show") {
            show = true;
            it = args.erase(it);
        } else if (*it == "/?" || *it == "--help") {
            PrintUsage(stdout);
            return 0;
        } else {
            ++it;
        }
    }
    ImportOptions options;
    std::string error;
    if (!ParseImportArguments(args, options, error)) {
        std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
        PrintUsage(stderr);
        return 1;
    }
    if (!options.file.empty() && !show) return RunHeadless(kKind, options, stdout, stderr);
#ifdef TAVREL_IMPORT_WINDOW
    return RunWindow(kKind, options, argc, argv);
#else
    std::fprintf(stderr, "%s: this build has no window; give the spreadsheet with /FILE=[...]\n", kProgram);
    return 1;
#endif
}
