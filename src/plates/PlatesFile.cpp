#include "plates/PlatesFile.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "model/PlateList.h"
#include "model/ReadReport.h"
#include "model/RecordText.h"
#include "settings/Units.h"

namespace {

std::string Field(const std::vector<std::string>& fields, std::size_t index)
{
    return index < fields.size() ? fields[index] : std::string();
}

StockPlate ParsePlate(const std::string& line, int version)
{
    const std::vector<std::string> f = SplitRecord(line, version == 2 ? 11 : 10);
    StockPlate plate(MaterialKey(Field(f, 0), Field(f, 1), Field(f, 2)), ParseInt(Field(f, 3)),
                     DisplayLength(ParseReal(Field(f, 4)), 10, -1),
                     DisplayLength(ParseReal(Field(f, 5)), 10, -1), ParseInt(Field(f, 6)),
                     DisplayLength(ParseReal(Field(f, 7)), 10, 1), ParseInt(Field(f, 8)),
                     ParseInt(Field(f, 9)),
                     version == 2 ? DisplayArea(ParseReal(Field(f, 10))) : 0.0);
    return plate;
}

bool IsPermutation(const std::vector<int>& order, int count)
{
    if (static_cast<int>(order.size()) != count) return false;
    std::vector<char> seen(order.size(), 0);
    for (int index : order) {
        if (index < 0 || index >= count || seen[static_cast<std::size_t>(index)]) return false;
        seen[static_cast<std::size_t>(index)] = 1;
    }
    return true;
}

}  // namespace

std::string PlatesFile::pathIn(const std::string& dataFolder)
{
    return JoinPath(dataFolder, kFileName);
}

bool PlatesFile::read(const std::string& content, PlateList& list, ReadReport* report)
{
    list.clear();
    LineCursor lines(content);
    std::string line;
    const int version = ReadVersion(lines, report);
    if (version <= 0) return false;

    PlateMergeIndex index(list);
    while (lines.next(line)) {
        if (report && line.size() > kListLineLimit) ++report->longLines;
        line = Trim(line);
        if (line.empty()) break;
        StockPlate plate = ParsePlate(line, version);
        if (plate.kind == PlateUnlimited && plate.quantity != UNLIMITED_QUANTITY) {
            plate.quantity = UNLIMITED_QUANTITY;
            plate.modified = 1;
            if (report) ++report->corrected;
        }
        bool merged = false;
        index.addOrMerge(std::move(plate), true, &merged);
        if (report) {
            ++report->records;
            if (merged) ++report->merged;
        }
    }
    while (report && lines.next(line))
        if (!Trim(line).empty()) ++report->ignoredLines;
    if (report) report->entries = list.count();
    return true;
}

bool PlatesFile::load(const std::string& path, PlateList& list, ReadReport* report)
{
    list.clear();
    std::string content;
    if (!ReadWholeFile(path, content)) return false;
    return read(content, list, report);
}

std::string PlatesFile::write(PlateList& list, const std::vector<int>* order, ReadReport* fixes)
{
    const bool ordered = order && IsPermutation(*order, list.count());
    std::string out = "FILE_VERSION=" + std::to_string(kVersion) + "\n";
    for (int i = 0; i < list.count(); ++i) {
        StockPlate& p = list.at(ordered ? (*order)[static_cast<std::size_t>(i)] : i);
        for (std::string* text : {&p.key.serie, &p.key.code, &p.key.treatment}) {
            if (MakeStorable(*text, true) && fixes) ++fixes->storableFixes;
            AppendQuoted(out, *text);
            out += ';';
        }
        out += std::to_string(p.quantity);
        out += ';';
        AppendFixed(out, ToSystemLength(p.width), 3);
        out += ';';
        AppendFixed(out, ToSystemLength(p.height), 3);
        out += ';';
        out += std::to_string(p.priority);
        out += ';';
        AppendFixed(out, ToSystemLength(p.plateParameter), 3);
        out += ';';
        out += std::to_string(p.orientation);
        out += ';';
        out += std::to_string(p.kind);
        out += ';';
        AppendFixed(out, ToSystemArea(p.minimumLot), 6);
        out += '\n';
    }
    return out;
}

bool PlatesFile::save(const std::string& path, PlateList& list, const std::vector<int>* order,
                      ReadReport* fixes)
{
    return WriteFileAtomically(path, write(list, order, fixes));
}
