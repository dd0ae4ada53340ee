#pragma once
// A stand-in for the spreadsheet import programs: a small shell script that does what a test
// needs (records its arguments and the template it was given, writes a result, exits with a
// code, or writes nothing), so the bridges are tested without the real programs.

#include <filesystem>
#include <string>

#include "support/TempDir.h"

// Writes an executable script at `path`. Inside `body`, $INI is the template path taken from
// the "/INI=[...]" argument and $HERE the script's folder; every run leaves its argument count
// and arguments, one a line, in $HERE/args.txt and a copy of the template in $HERE/template.seen.
inline void WriteFakeImportProgram(const std::string& path, const std::string& body) {
    WriteText(path,
              "#!/bin/sh\n"
              "HERE=$(dirname \"$0\")\n"
              "printf '%s\\n' \"$#\" \"$@\" > \"$HERE/args.txt\"\n"
              "INI=${1#/INI=[}\n"
              "INI=${INI%]}\n"
              "cp \"$INI\" \"$HERE/template.seen\" 2>/dev/null\n" +
                  body + "\n");
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                    fs::perm_options::replace);
}
