#include "settings/LabelSheets.h"

#include "common/IniFile.h"
#include "common/TextUtils.h"
#include "settings/AppSettings.h"

namespace tavrel {

namespace {

const char* const kSection = "OPTIONS";
const char* const kKey = "LABEL_SHEET";

}  // namespace

const std::vector<LabelSheet>& LabelSheets() {
    // The A4 layouts are the common stock of office suppliers: 24 labels of 70 x 37 mm edge to
    // edge (the half millimetre left over split top and bottom), and 14 labels of 99.1 x 38.1 mm
    // with margins and a gap between the columns. The label printer's page is one label.
    static const std::vector<LabelSheet> sheets = {
        {"A4-3X8", "00381", 210.0, 297.0, 3, 8, 70.0, 37.0, 0.0, 0.5, 70.0, 37.0},
        {"A4-2X7", "00382", 210.0, 297.0, 2, 7, 99.1, 38.1, 4.65, 15.15, 101.6, 38.1},
        {"LABEL-100X50", "00383", 100.0, 50.0, 1, 1, 100.0, 50.0, 0.0, 0.0, 100.0, 50.0},
    };
    return sheets;
}

const LabelSheet* FindLabelSheet(const std::string& key) {
    for (const LabelSheet& sheet : LabelSheets())
        if (EqualsNoCase(Trim(key), sheet.key)) return &sheet;
    return nullptr;
}

LabelPlace PlaceOfLabel(const LabelSheet& sheet, long index) {
    LabelPlace place;
    if (index < 0) index = 0;
    const long perPage = sheet.perPage() > 0 ? sheet.perPage() : 1;
    const int columns = sheet.columns > 0 ? sheet.columns : 1;
    place.page = static_cast<int>(index / perPage);
    const long onPage = index % perPage;
    place.x = sheet.left + static_cast<double>(onPage % columns) * sheet.pitchX;
    place.y = sheet.top + static_cast<double>(onPage / columns) * sheet.pitchY;
    return place;
}

const LabelSheet& ChosenLabelSheet(const AppSettings& settings) {
    const LabelSheet* chosen = FindLabelSheet(IniFile::Read(settings.optPath, kSection, kKey, ""));
    return chosen ? *chosen : LabelSheets().front();
}

bool WriteLabelSheet(const AppSettings& settings, const LabelSheet& sheet) {
    return IniFile::WriteString(settings.optPath, kSection, kKey, sheet.key);
}

}  // namespace tavrel
