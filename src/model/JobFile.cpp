#include "model/JobFile.h"

#include "common/FileUtils.h"
#include "common/TextUtils.h"
#include "model/Job.h"
#include "model/ReadReport.h"
#include "model/RecordText.h"
#include "settings/Units.h"

namespace {

void NoteLong(const std::string& line, std::size_t limit, ReadReport* report)
{
    if (report && line.size() > limit) ++report->longLines;
}

// One line of a counted block: false at the end of the file (the rest is counted as missing);
// true with an empty `line` for a blank one.
bool NextBlockLine(LineCursor& lines, std::string& line, int remaining, ReadReport* report)
{
    if (!lines.next(line)) {
        if (report) report->missingLines += remaining;
        return false;
    }
    NoteLong(line, kListLineLimit, report);
    line = Trim(line);
    if (line.empty() && report) ++report->blankInBlock;
    return true;
}

int ReadCount(LineCursor& lines, ReadReport* report)
{
    std::string line;
    if (!lines.next(line)) return 0;
    NoteLong(line, kListLineLimit, report);
    const int count = ParseInt(line);
    return count > 0 ? count : 0;
}

std::string Field(const std::vector<std::string>& fields, std::size_t index)
{
    return index < fields.size() ? fields[index] : std::string();
}

void Storable(std::string& text, bool inRecord, ReadReport* fixes)
{
    if (MakeStorable(text, inRecord) && fixes) ++fixes->storableFixes;
}

}  // namespace

void JobFile::readPieces(LineCursor& lines, int version, PieceList& pieces, ReadReport* report)
{
    const int count = ReadCount(lines, report);
    pieces.clear();
    PieceMergeIndex index(pieces);
    const std::size_t fieldCount = version == 1 ? 6 : 10;
    std::string line;
    for (int i = 0; i < count; ++i) {
        if (!NextBlockLine(lines, line, count - i, report)) break;
        if (line.empty()) continue;
        const std::vector<std::string> f = SplitRecord(line, fieldCount);
        Piece piece(Field(f, 0), Field(f, 1), Field(f, 2),
                    DisplayLength(ParseReal(Field(f, 4)), 10, 1),
                    DisplayLength(ParseReal(Field(f, 5)), 10, 1), ParseInt(Field(f, 3)),
                    Trim(Field(f, 6)), Field(f, 7), Field(f, 8), Field(f, 9));
        bool merged = false;
        index.addOrMerge(std::move(piece), &merged);
        if (report) {
            ++report->records;
            if (merged) ++report->merged;
        }
    }
}

void JobFile::readMaterials(LineCursor& lines, MaterialKeyList& keys, ReadReport* report)
{
    keys.clear();
    const int count = ReadCount(lines, report);
    std::string line;
    for (int i = 0; i < count; ++i) {
        if (!NextBlockLine(lines, line, count - i, report)) break;
        if (line.empty()) continue;
        const std::vector<std::string> f = SplitRecord(line, 3);
        keys.add(MaterialKey(Field(f, 0), Field(f, 1), Field(f, 2)), false);
    }
}

bool JobFile::read(const std::string& content, Job& job, ReadReport* report)
{
    LineCursor lines(content);
    std::string line;
    const int version = ReadVersion(lines, report);
    if (version <= 0 || version > kVersion) return false;

    std::string* texts[] = {&job.name, &job.customer, &job.order};
    for (std::string* text : texts) {
        line.clear();
        lines.next(line);
        NoteLong(line, kLongLineLimit, report);
        *text = QuotedLineValue(line);
    }

    job.maxPlateWidth = job.maxPlateHeight = 0.0;
    job.preferOffcuts = job.preferLargePlates = job.preferPlentifulPlates = 0;
    if (version >= 3) {
        line.clear();
        lines.next(line);
        NoteLong(line, kLongLineLimit, report);
        const std::string value = Trim(QuotedLineValue(line));
        if (!value.empty()) {
            const std::vector<std::string> f = SplitRecord(value, 5);
            job.maxPlateWidth = DisplayLength(ParseReal(Field(f, 0)), 10, 1);
            job.maxPlateHeight = DisplayLength(ParseReal(Field(f, 1)), 10, 1);
            job.preferOffcuts = ParseInt(Field(f, 2));
            job.preferLargePlates = ParseInt(Field(f, 3));
            job.preferPlentifulPlates = ParseInt(Field(f, 4));
        }
    }

    readPieces(lines, version, job.pieces, report);
    readMaterials(lines, job.materials, report);
    if (report) report->entries = job.pieces.count();
    return true;
}

bool JobFile::load(const std::string& path, Job& job, ReadReport* report)
{
    std::string content;
    if (!ReadWholeFile(path, content)) return false;
    return read(content, job, report);
}

void JobFile::writePieces(std::string& out, PieceList& pieces, ReadReport* fixes)
{
    out += std::to_string(pieces.count());
    out += '\n';
    for (int i = 0; i < pieces.count(); ++i) {
        Piece& p = pieces.at(i);
        p.pieceId = Trim(p.pieceId);
        bool keyChanged = false;
        for (std::string* text : {&p.serie, &p.code, &p.treatment}) {
            if (MakeStorable(*text, true)) {
                keyChanged = true;
                if (fixes) ++fixes->storableFixes;
            }
        }
        if (keyChanged) p.engineKey = EngineKey{p.serie, p.code, p.treatment};
        for (std::string* text : {&p.pieceId, &p.text1, &p.text2, &p.text3})
            Storable(*text, true, fixes);

        AppendQuoted(out, p.serie);
        out += ';';
        AppendQuoted(out, p.code);
        out += ';';
        AppendQuoted(out, p.treatment);
        out += ';';
        out += std::to_string(p.quantity);
        out += ';';
        AppendFixed(out, ToSystemLength(p.width), 3);
        out += ';';
        AppendFixed(out, ToSystemLength(p.height), 3);
        for (const std::string* text : {&p.pieceId, &p.text1, &p.text2, &p.text3}) {
            out += ';';
            AppendQuoted(out, *text);
        }
        out += '\n';
    }
}

void JobFile::writeMaterials(std::string& out, MaterialKeyList& keys, ReadReport* fixes)
{
    out += std::to_string(keys.count());
    out += '\n';
    for (int i = 0; i < keys.count(); ++i) {
        MaterialKey& key = keys.at(i);
        Storable(key.serie, true, fixes);
        Storable(key.code, true, fixes);
        Storable(key.treatment, true, fixes);
        AppendQuoted(out, key.serie);
        out += ';';
        AppendQuoted(out, key.code);
        out += ';';
        AppendQuoted(out, key.treatment);
        out += '\n';
    }
}

std::string JobFile::write(Job& job)
{
    std::string out = "FILE_VERSION=" + std::to_string(kVersion) + "\n";
    for (std::string* text : {&job.name, &job.customer, &job.order}) {
        CutUtf8(*text, kMaxHeaderText);
        MakeStorable(*text, false);
        AppendQuoted(out, *text);
        out += '\n';
    }
    out += '"';
    AppendFixed(out, ToSystemLength(job.maxPlateWidth), 3);
    out += ';';
    AppendFixed(out, ToSystemLength(job.maxPlateHeight), 3);
    out += Format(";%d;%d;%d\"\n", job.preferOffcuts, job.preferLargePlates,
                  job.preferPlentifulPlates);
    writePieces(out, job.pieces);
    writeMaterials(out, job.materials);
    return out;
}

bool JobFile::save(const std::string& path, Job& job)
{
    return WriteFileAtomically(path, write(job));
}
