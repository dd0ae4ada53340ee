#pragma once
// What the user is told after printing the job's labels or cutting sheets to a PDF: the pages
// written and the file, every material left out with its reason, every piece whose barcode is
// missing or may not scan, or why the file was not written. One text for both prints, so the
// window and the tests see the same outcome and nothing that went wrong is shown as done.

#include <string>
#include <vector>

#include "common/UserPrompt.h"
#include "results/JobReport.h"

namespace tavrel {

// As the print unit reports a file it was asked for.
struct PrintOutcome {
    std::string path;
    bool written = false;
    int pages = 0;
    std::string error;                   // why the file was not written; may be the bare path
    std::vector<std::string> noBarcode;  // piece identifiers
    std::vector<std::string> narrowBarcode;
};

struct PrintMessage {
    std::string text;
    PromptIcon icon = PromptIcon::Information;  // Exclamation when anything is missing or failed
};

// The box after a print. `results` are the stored results the print was made from: those that
// were not read are the materials the file lacks.
PrintMessage PrintOutcomeMessage(const PrintOutcome& outcome,
                                 const std::vector<StoredMaterialResult>& results);

// The materials without a readable result, one "material: reason" block each; empty when all
// were read.
std::string UnreadMaterialsText(const std::vector<StoredMaterialResult>& results);

// Why nothing could be printed before any file was chosen: no piece to label, or more labels
// than a sound result asks for (`wanted`). Names the unread materials as well.
PrintMessage NoLabelsMessage(bool tooMany, long wanted, const std::vector<StoredMaterialResult>& results);

// True when at least one stored result was read: there is something to print.
bool AnyResultRead(const std::vector<StoredMaterialResult>& results);
// Why no cutting sheets are printed: no material has a readable result (each named).
PrintMessage NoSheetsMessage(const std::vector<StoredMaterialResult>& results);

}  // namespace tavrel
