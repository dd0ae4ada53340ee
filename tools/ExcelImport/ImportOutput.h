#pragma once
// What the import programs leave behind. The pieces import writes one result file into the
// template's output folder: a data line per piece (the output columns, ";"-separated, texts in
// double quotes) and then an XNI_GENERAL section describing the file. The plates import adds
// the plates to the catalogue the template names, merging equal plates, through the core's own
// Plates.dat reader and writer. Both save through the one safe save, so a failure leaves every
// file as it was.

#include <string>

#include "ImportRules.h"

namespace tavrel {

// The result file a pieces import of `spreadsheet` writes (output folder, the spreadsheet's
// base name, the template's extension).
std::string PiecesResultPath(const XniTemplate& xni, const std::string& spreadsheet);
// The content of that file.
std::string PiecesResultText(const XniTemplate& xni, const CheckedRows& rows, const std::string& description);
// Writes it; false with a line in `error` (the file is then left as it was).
bool WritePiecesResult(const XniTemplate& xni, const CheckedRows& rows, const std::string& spreadsheet,
                       const std::string& sheetName, std::string& path, std::string& error);

struct PlatesUpdate {
    int before = 0;  // entries in the catalogue before
    int added = 0;   // plates that became new entries
    int merged = 0;  // plates added to an equal entry's quantity
};
// Adds the checked plates to the catalogue named by PLATESORIGINALFILE (made when missing).
// False with a line in `error` when the catalogue exists but is no plate catalogue, or cannot
// be written; it is then left as it was.
bool UpdatePlatesCatalogue(const XniTemplate& xni, const CheckedRows& rows, PlatesUpdate& update,
                           std::string& error);

}  // namespace tavrel
