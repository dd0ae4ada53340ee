#pragma once
// The label sheets the piece labels can be printed on: a few known layouts (two A4 sheets of
// self-adhesive labels and the roll of a label printer), chosen in the settings window and kept
// in Tavrel.OPT beside the other print option. A layout is geometry only; what goes on a label
// is decided by the results' label command.

#include <string>
#include <vector>

namespace tavrel {

struct AppSettings;

// Millimetres, measured from the page's top-left corner.
struct LabelSheet {
    const char* key;        // as stored in Tavrel.OPT
    const char* messageId;  // the name the settings window offers
    double pageWidth;
    double pageHeight;
    int columns;
    int rows;
    double labelWidth;
    double labelHeight;
    double left;  // the first label's corner
    double top;
    double pitchX;  // from one label's corner to the next one's
    double pitchY;

    int perPage() const { return columns * rows; }
};

// The known sheets; the first is the default.
const std::vector<LabelSheet>& LabelSheets();
// The sheet with this key (case-insensitive), nullptr when none has it.
const LabelSheet* FindLabelSheet(const std::string& key);

// Where label `index` (0-based, in printing order) lands: its page (0-based) and its corner.
// Labels fill a page row by row, left to right, as a worker peels them off.
struct LabelPlace {
    int page = 0;
    double x = 0.0;
    double y = 0.0;
};
LabelPlace PlaceOfLabel(const LabelSheet& sheet, long index);

// The sheet chosen in Tavrel.OPT ([OPTIONS] LABEL_SHEET); the default when the key is missing,
// empty or names no known sheet (an installation from another version must still print).
const LabelSheet& ChosenLabelSheet(const AppSettings& settings);
// Stores the choice in Tavrel.OPT, keeping its other keys; false when the file cannot be written.
[[nodiscard]] bool WriteLabelSheet(const AppSettings& settings, const LabelSheet& sheet);

}  // namespace tavrel
