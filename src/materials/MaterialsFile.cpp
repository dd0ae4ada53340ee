#include "materials/MaterialsFile.h"

#include <unordered_set>

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "model/MaterialList.h"
#include "model/ReadReport.h"
#include "model/RecordText.h"
#include "model/TextKey.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

Material ParseEntry(const std::string& line, int version, const CurrentUnit& unit) {
    const std::vector<std::string> f = SplitRecord(line, version == 1 ? 14 : 16);
    Material m;
    m.serie = FieldAt(f, 0);
    m.code = FieldAt(f, 1);
    m.description = FieldAt(f, 2);
    m.treatment = FieldAt(f, 3);
    auto hundredths = [&](double v) { return DisplayLength(unit, v, 100, 1); };
    auto tenths = [&](double v) { return DisplayLength(unit, v, 10, 1); };
    m.thickness = ReadStored(FieldAt(f, 4), m.stored, Material::StoredThickness, hundredths);
    m.weight = ReadStored(FieldAt(f, 5), m.stored, Material::StoredWeight,
                          [&](double v) { return DisplayWeight(unit, v); });
    for (std::size_t i = 0; i < m.cutParameters.size(); ++i)
        m.cutParameters[i] = ReadStored(FieldAt(f, 6 + i), m.stored, Material::StoredCut + i, tenths);
    m.engineFlag = ParseInt(FieldAt(f, 13)) == 1 ? 1 : 0;
    // Version 1 has no limits: they read as 0 and are written as 0.
    const bool limits = version != 1;
    m.maxPlateWidth = ReadStored(limits ? FieldAt(f, 14) : "", m.stored, Material::StoredMaxWidth, tenths);
    m.maxPlateHeight = ReadStored(limits ? FieldAt(f, 15) : "", m.stored, Material::StoredMaxHeight, tenths);
    return m;
}

void NoteLong(const std::string& line, ReadReport* report) {
    if (report && line.size() > kListLineLimit) ++report->longLines;
}

void ReadComponents(LineCursor& lines, Material& material, ReadReport* report) {
    std::string line;
    if (!NextCountLine(lines, line, report)) return;
    NoteLong(line, report);
    const int count = ParseInt(line);
    for (int i = 0; i < count; ++i) {
        if (!lines.next(line)) {
            if (report) report->missingLines += count - i;
            return;
        }
        NoteLong(line, report);
        const std::vector<std::string> f = SplitRecord(Trim(line), 3);
        material.components.add(MaterialKey(FieldAt(f, 0), FieldAt(f, 1), FieldAt(f, 2)), false);
    }
}

}  // namespace

std::string MaterialsFile::pathIn(const std::string& dataFolder) { return JoinPath(dataFolder, kFileName); }

bool MaterialsFile::read(const std::string& content, MaterialList& list, const CurrentUnit& unit,
                         ReadReport* report) {
    list.clear();
    LineCursor lines(content);
    std::string line;
    const int version = ReadVersion(lines, report);
    if (version <= 0) return false;

    std::unordered_set<TextKey, TextKeyHash> keys;
    while (lines.next(line)) {
        NoteLong(line, report);
        line = Trim(line);
        // A hand-edited catalogue may hold blank lines anywhere; the entries after one are as
        // much the catalogue as those before it.
        if (line.empty()) {
            if (report) ++report->blankLines;
            continue;
        }
        Material material = ParseEntry(line, version, unit);
        ReadComponents(lines, material, report);
        if (report) ++report->records;
        if (keys.insert(TextKey{material.serie, material.code, material.treatment}).second)
            list.appendUnchecked(std::move(material));
        else if (report)
            ++report->dropped;
    }
    if (report) report->entries = list.count();
    return true;
}

bool MaterialsFile::load(const std::string& path, MaterialList& list, const CurrentUnit& unit,
                         ReadReport* report) {
    list.clear();
    return ReadFileWith(path, [&](const std::string& content) { return read(content, list, unit, report); });
}

void MaterialsFile::clean(MaterialList& list, ReadReport* fixes) {
    // Cleaning can make two keys equal (a control character in one treatment becomes the space
    // another one has). The reader keeps the first of equal keys, so the later ones go here too:
    // what stays in memory is what a reload of the saved file gives.
    MaterialList kept;
    std::unordered_set<TextKey, TextKeyHash> keys;
    for (int i = 0; i < list.count(); ++i) {
        Material& m = list.at(i);
        MakeKeyStorable(m.serie, m.code, m.treatment, fixes);
        MakeStorableCounted(m.description, true, fixes);
        for (int c = 0; c < m.components.count(); ++c) {
            MaterialKey& key = m.components.at(c);
            MakeKeyStorable(key.serie, key.code, key.treatment, fixes);
        }
        if (keys.insert(TextKey{m.serie, m.code, m.treatment}).second)
            kept.appendUnchecked(std::move(m));
        else if (fixes)
            ++fixes->dropped;
    }
    list = std::move(kept);
}

std::string MaterialsFile::write(const MaterialList& list, const CurrentUnit& unit) {
    std::string out = "FILE_VERSION=" + std::to_string(kVersion) + "\n";
    for (const Material& m : list) {
        RecordLine line(out);
        line.text(m.serie).text(m.code).text(m.description).text(m.treatment);
        auto length = [&](double v) { return ToSystemLength(unit, v); };
        line.stored(m.stored, Material::StoredThickness, m.thickness, length, 3);
        line.stored(
            m.stored, Material::StoredWeight, m.weight, [&](double v) { return ToSystemWeight(unit, v); }, 3);
        for (std::size_t i = 0; i < m.cutParameters.size(); ++i)
            line.stored(m.stored, Material::StoredCut + i, m.cutParameters[i], length, 3);
        line.integer(m.engineFlag == 1 ? 1 : 0);
        line.stored(m.stored, Material::StoredMaxWidth, m.maxPlateWidth, length, 3);
        line.stored(m.stored, Material::StoredMaxHeight, m.maxPlateHeight, length, 3);
        line.end();
        RecordLine(out).integer(m.components.count()).end();
        for (const MaterialKey& key : m.components)
            RecordLine(out).key(key.serie, key.code, key.treatment).end();
    }
    return out;
}

bool MaterialsFile::save(const std::string& path, const MaterialList& list, const CurrentUnit& unit) {
    return WriteFileAtomically(path, write(list, unit));
}

}  // namespace tavrel
