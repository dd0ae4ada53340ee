#include "plates/PlatesFile.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "model/PlateList.h"
#include "model/ReadReport.h"
#include "model/RecordText.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

StockPlate ParsePlate(const std::string& line, int version, const CurrentUnit& unit) {
    const std::vector<std::string> f = SplitRecord(line, version == 2 ? 11 : 10);
    StockPlate plate(MaterialKey(FieldAt(f, 0), FieldAt(f, 1), FieldAt(f, 2)), ParseInt(FieldAt(f, 3)), 0.0,
                     0.0, ParseInt(FieldAt(f, 6)), 0.0, ParseInt(FieldAt(f, 8)), ParseInt(FieldAt(f, 9)),
                     0.0);
    auto size = [&](double v) { return DisplayLength(unit, v, 10, -1); };
    plate.width = ReadStored(FieldAt(f, 4), plate.stored, StockPlate::StoredWidth, size);
    plate.height = ReadStored(FieldAt(f, 5), plate.stored, StockPlate::StoredHeight, size);
    plate.plateParameter = ReadStored(FieldAt(f, 7), plate.stored, StockPlate::StoredParameter,
                                      [&](double v) { return DisplayLength(unit, v, 10, 1); });
    // Version 1 has no minimum lot: it reads as 0 and is written as 0.
    plate.minimumLot =
        ReadStored(version == 2 ? FieldAt(f, 10) : "", plate.stored, StockPlate::StoredMinimumLot,
                   [&](double v) { return DisplayArea(unit, v); });
    return plate;
}

bool IsPermutation(const std::vector<int>& order, int count) {
    if (static_cast<int>(order.size()) != count) return false;
    std::vector<char> seen(order.size(), 0);
    for (int index : order) {
        if (index < 0 || index >= count || seen[static_cast<std::size_t>(index)]) return false;
        seen[static_cast<std::size_t>(index)] = 1;
    }
    return true;
}

}  // namespace

std::string PlatesFile::pathIn(const std::string& dataFolder) { return JoinPath(dataFolder, kFileName); }

bool PlatesFile::read(const std::string& content, PlateList& list, const CurrentUnit& unit,
                      ReadReport* report) {
    list.clear();
    LineCursor lines(content);
    std::string line;
    const int version = ReadVersion(lines, report);
    if (version <= 0) return false;

    // Plates that cannot be used are appended beside the index; appending moves no entry, so
    // the index stays right.
    PlateMergeIndex index(list);
    while (lines.next(line)) {
        if (report && line.size() > kListLineLimit) ++report->longLines;
        line = Trim(line);
        // A hand-edited catalogue may hold blank lines anywhere; the plates after one are as
        // much stock as those before it.
        if (line.empty()) {
            if (report) ++report->blankLines;
            continue;
        }
        StockPlate plate = ParsePlate(line, version, unit);
        if (plate.kind == PlateUnlimited && plate.quantity != kUnlimitedQuantity) {
            plate.quantity = kUnlimitedQuantity;
            plate.modified = 1;
            if (report) ++report->corrected;
        }
        // A plate that cannot be cut from stays in the catalogue (the user is told which line
        // and field to mend) but on a line of its own, never merged into a good one.
        const std::vector<std::string> unusable = UnusableFields(plate);
        if (!unusable.empty()) {
            if (report)
                for (const std::string& field : unusable)
                    report->problems.push_back({lines.lineNumber(), field});
            list.appendUnchecked(std::move(plate));
            if (report) ++report->records;
            continue;
        }
        bool merged = false;
        index.addOrMerge(std::move(plate), true, &merged);
        if (report) {
            ++report->records;
            if (merged) ++report->merged;
        }
    }
    if (report) report->entries = list.count();
    return true;
}

bool PlatesFile::load(const std::string& path, PlateList& list, const CurrentUnit& unit, ReadReport* report) {
    list.clear();
    return ReadFileWith(path, [&](const std::string& content) { return read(content, list, unit, report); });
}

void PlatesFile::clean(PlateList& list, ReadReport* fixes) {
    for (int i = 0; i < list.count(); ++i) {
        MaterialKey& key = list.at(i).key;
        MakeKeyStorable(key.serie, key.code, key.treatment, fixes);
    }
}

std::string PlatesFile::write(const PlateList& list, const CurrentUnit& unit, const std::vector<int>* order) {
    const bool ordered = order && IsPermutation(*order, list.count());
    std::string out = "FILE_VERSION=" + std::to_string(kVersion) + "\n";
    auto length = [&](double v) { return ToSystemLength(unit, v); };
    for (int i = 0; i < list.count(); ++i) {
        const StockPlate& p = list.at(ordered ? (*order)[static_cast<std::size_t>(i)] : i);
        RecordLine(out)
            .key(p.key.serie, p.key.code, p.key.treatment)
            .integer(p.quantity)
            .stored(p.stored, StockPlate::StoredWidth, p.width, length, 3)
            .stored(p.stored, StockPlate::StoredHeight, p.height, length, 3)
            .integer(p.priority)
            .stored(p.stored, StockPlate::StoredParameter, p.plateParameter, length, 3)
            .integer(p.orientation)
            .integer(p.kind)
            .stored(
                p.stored, StockPlate::StoredMinimumLot, p.minimumLot,
                [&](double v) { return ToSystemArea(unit, v); }, 6)
            .end();
    }
    return out;
}

bool PlatesFile::save(const std::string& path, const PlateList& list, const CurrentUnit& unit,
                      const std::vector<int>* order) {
    return WriteFileAtomically(path, write(list, unit, order));
}

}  // namespace tavrel
