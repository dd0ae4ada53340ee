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

namespace {

std::string Field(const std::vector<std::string>& fields, std::size_t index)
{
    return index < fields.size() ? fields[index] : std::string();
}

double Real(const std::vector<std::string>& fields, std::size_t index)
{
    return ParseReal(Field(fields, index));
}

Material ParseEntry(const std::string& line, int version)
{
    const std::vector<std::string> f = SplitRecord(line, version == 1 ? 14 : 16);
    Material m;
    m.serie = Field(f, 0);
    m.code = Field(f, 1);
    m.description = Field(f, 2);
    m.treatment = Field(f, 3);
    m.thickness = DisplayLength(Real(f, 4), 100, 1);
    m.weight = DisplayWeight(Real(f, 5));
    for (std::size_t i = 0; i < m.cutParameters.size(); ++i)
        m.cutParameters[i] = DisplayLength(Real(f, 6 + i), 10, 1);
    m.engineFlag = ParseInt(Field(f, 13)) == 1 ? 1 : 0;
    m.maxPlateWidth = version == 1 ? 0.0 : DisplayLength(Real(f, 14), 10, 1);
    m.maxPlateHeight = version == 1 ? 0.0 : DisplayLength(Real(f, 15), 10, 1);
    return m;
}

void NoteLong(const std::string& line, ReadReport* report)
{
    if (report && line.size() > kListLineLimit) ++report->longLines;
}

void ReadComponents(LineCursor& lines, Material& material, ReadReport* report)
{
    std::string line;
    if (!lines.next(line)) return;
    NoteLong(line, report);
    const int count = ParseInt(line);
    for (int i = 0; i < count; ++i) {
        if (!lines.next(line)) {
            if (report) report->missingLines += count - i;
            return;
        }
        NoteLong(line, report);
        const std::vector<std::string> f = SplitRecord(Trim(line), 3);
        material.components.add(MaterialKey(Field(f, 0), Field(f, 1), Field(f, 2)), false);
    }
}

void Storable(std::string& text, ReadReport* fixes)
{
    if (MakeStorable(text, true) && fixes) ++fixes->storableFixes;
}

}  // namespace

std::string MaterialsFile::pathIn(const std::string& dataFolder)
{
    return JoinPath(dataFolder, kFileName);
}

bool MaterialsFile::read(const std::string& content, MaterialList& list, ReadReport* report)
{
    list.clear();
    LineCursor lines(content);
    std::string line;
    const int version = ReadVersion(lines, report);
    if (version <= 0) return false;

    std::unordered_set<TextKey, TextKeyHash> keys;
    while (lines.next(line)) {
        NoteLong(line, report);
        line = Trim(line);
        if (line.empty()) break;
        Material material = ParseEntry(line, version);
        ReadComponents(lines, material, report);
        if (report) ++report->records;
        if (keys.insert(TextKey{material.serie, material.code, material.treatment}).second)
            list.appendUnchecked(std::move(material));
        else if (report)
            ++report->dropped;
    }
    // Whatever follows the blank line is not part of the catalogue; say so rather than lose it
    // silently.
    while (report && lines.next(line))
        if (!Trim(line).empty()) ++report->ignoredLines;
    if (report) report->entries = list.count();
    return true;
}

bool MaterialsFile::load(const std::string& path, MaterialList& list, ReadReport* report)
{
    list.clear();
    std::string content;
    if (!ReadWholeFile(path, content)) return false;
    return read(content, list, report);
}

std::string MaterialsFile::write(MaterialList& list, ReadReport* fixes)
{
    std::string out = "FILE_VERSION=" + std::to_string(kVersion) + "\n";
    for (int i = 0; i < list.count(); ++i) {
        Material& m = list.at(i);
        for (std::string* text : {&m.serie, &m.code, &m.description, &m.treatment}) {
            Storable(*text, fixes);
            AppendQuoted(out, *text);
            out += ';';
        }
        AppendFixed(out, ToSystemLength(m.thickness), 3);
        out += ';';
        AppendFixed(out, ToSystemWeight(m.weight), 3);
        for (double p : m.cutParameters) {
            out += ';';
            AppendFixed(out, ToSystemLength(p), 3);
        }
        out += ';';
        out += m.engineFlag == 1 ? '1' : '0';
        out += ';';
        AppendFixed(out, ToSystemLength(m.maxPlateWidth), 3);
        out += ';';
        AppendFixed(out, ToSystemLength(m.maxPlateHeight), 3);
        out += '\n';
        out += std::to_string(m.components.count());
        out += '\n';
        for (int c = 0; c < m.components.count(); ++c) {
            MaterialKey& key = m.components.at(c);
            Storable(key.serie, fixes);
            Storable(key.code, fixes);
            Storable(key.treatment, fixes);
            AppendQuoted(out, key.serie);
            out += ';';
            AppendQuoted(out, key.code);
            out += ';';
            AppendQuoted(out, key.treatment);
            out += '\n';
        }
    }
    return out;
}

bool MaterialsFile::save(const std::string& path, MaterialList& list, ReadReport* fixes)
{
    return WriteFileAtomically(path, write(list, fixes));
}
