#include "model/JobFile.h"

#include <algorithm>
#include <climits>

#include "common/FileUtils.h"
#include "common/TextUtils.h"
#include "model/Job.h"
#include "model/ReadReport.h"
#include "model/RecordText.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

void NoteLong(const std::string& line, std::size_t limit, ReadReport* report) {
    if (report && line.size() > limit) ++report->longLines;
}

// Reads a counted block: its count line, then its record lines. The count is what the writer
// promised, but a hand-edited file may hold more records or fewer, so every record line up to
// the next count line (for the last block, up to the end of the file) belongs to the block:
// those beyond the count are noted as surplus, and a block that ends before its count as
// missing lines. A blank line uses up a promised place and adds nothing. Count lines where the
// last block is read fit nowhere and are noted as left out.
template <typename Take>
void ReadBlock(LineCursor& lines, bool lastBlock, ReadReport* report, Take&& take) {
    std::string line;
    int count = 0;
    if (NextCountLine(lines, line, report)) {
        NoteLong(line, kListLineLimit, report);
        count = std::max(0, ParseInt(line));
    }
    int taken = 0;
    while (lines.peek(line)) {
        if (IsCountLine(line) && !lastBlock) break;
        lines.next(line);
        NoteLong(line, kListLineLimit, report);
        line = Trim(line);
        if (IsCountLine(line)) {
            if (report) ++report->ignoredLines;
        } else if (line.empty()) {
            if (report) ++(taken < count ? report->blankInBlock : report->blankLines);
            if (taken < count) ++taken;
        } else {
            if (taken >= count && report) ++report->surplusLines;
            ++taken;
            take(line);
        }
    }
    // A damaged count can promise up to the int's limit: the tally stops there instead of wrapping.
    if (taken < count && report)
        report->missingLines = static_cast<int>(
            std::min<long long>(static_cast<long long>(report->missingLines) + (count - taken), INT_MAX));
}

}  // namespace

void JobFile::readPieces(LineCursor& lines, int version, PieceList& pieces, const CurrentUnit& unit,
                         ReadReport* report) {
    pieces.clear();
    PieceMergeIndex index(pieces);
    const std::size_t fieldCount = version == 1 ? 6 : 10;
    auto tenths = [&](double v) { return DisplayLength(unit, v, 10, 1); };
    ReadBlock(lines, false, report, [&](const std::string& line) {
        const std::vector<std::string> f = SplitRecord(line, fieldCount);
        Piece piece(FieldAt(f, 0), FieldAt(f, 1), FieldAt(f, 2), 0.0, 0.0, ParseInt(FieldAt(f, 3)),
                    Trim(FieldAt(f, 6)), FieldAt(f, 7), FieldAt(f, 8), FieldAt(f, 9));
        piece.width = ReadStored(FieldAt(f, 4), piece.stored, Piece::StoredWidth, tenths);
        piece.height = ReadStored(FieldAt(f, 5), piece.stored, Piece::StoredHeight, tenths);
        bool merged = false;
        index.addOrMerge(std::move(piece), &merged);
        if (report) {
            ++report->records;
            if (merged) ++report->merged;
        }
    });
}

void JobFile::readMaterials(LineCursor& lines, MaterialKeyList& keys, ReadReport* report) {
    keys.clear();
    ReadBlock(lines, true, report, [&](const std::string& line) {
        const std::vector<std::string> f = SplitRecord(line, 3);
        keys.add(MaterialKey(FieldAt(f, 0), FieldAt(f, 1), FieldAt(f, 2)), false);
    });
}

bool JobFile::read(const std::string& content, Job& job, const CurrentUnit& unit, ReadReport* report) {
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
    job.storedLimits = {};
    job.preferOffcuts = job.preferLargePlates = job.preferPlentifulPlates = 0;
    if (version >= 3) {
        line.clear();
        lines.next(line);
        NoteLong(line, kLongLineLimit, report);
        const std::string value = Trim(QuotedLineValue(line));
        if (!value.empty()) {
            const std::vector<std::string> f = SplitRecord(value, 5);
            auto tenths = [&](double v) { return DisplayLength(unit, v, 10, 1); };
            job.maxPlateWidth = ReadStored(FieldAt(f, 0), job.storedLimits, Job::StoredMaxWidth, tenths);
            job.maxPlateHeight = ReadStored(FieldAt(f, 1), job.storedLimits, Job::StoredMaxHeight, tenths);
            job.preferOffcuts = ParseInt(FieldAt(f, 2));
            job.preferLargePlates = ParseInt(FieldAt(f, 3));
            job.preferPlentifulPlates = ParseInt(FieldAt(f, 4));
        }
    }

    readPieces(lines, version, job.pieces, unit, report);
    readMaterials(lines, job.materials, report);
    if (report) report->entries = job.pieces.count();
    return true;
}

bool JobFile::load(const std::string& path, Job& job, const CurrentUnit& unit, ReadReport* report) {
    return ReadFileWith(path, [&](const std::string& content) { return read(content, job, unit, report); });
}

namespace {

// What the writer stores for a header text: its first 500 bytes, on one line.
std::string StorableHeader(const std::string& text) {
    std::string stored = text;
    CutUtf8(stored, JobFile::kMaxHeaderText);
    MakeStorable(stored, false);
    return stored;
}

}  // namespace

void JobFile::clean(Job& job, ReadReport* fixes) {
    for (std::string* text : {&job.name, &job.customer, &job.order}) {
        const std::string stored = StorableHeader(*text);
        if (stored != *text && fixes) ++fixes->storableFixes;
        *text = stored;
    }
    for (int i = 0; i < job.pieces.count(); ++i) {
        Piece& p = job.pieces.at(i);
        p.pieceId = Trim(p.pieceId);
        if (MakeKeyStorable(p.serie, p.code, p.treatment, fixes))
            p.engineKey = EngineKey{p.serie, p.code, p.treatment};
        for (std::string* text : {&p.pieceId, &p.text1, &p.text2, &p.text3})
            MakeStorableCounted(*text, true, fixes);
    }
    for (int i = 0; i < job.materials.count(); ++i) {
        MaterialKey& key = job.materials.at(i);
        MakeKeyStorable(key.serie, key.code, key.treatment, fixes);
    }
}

void JobFile::writePieces(std::string& out, const PieceList& pieces, const CurrentUnit& unit) {
    RecordLine(out).integer(pieces.count()).end();
    auto length = [&](double v) { return ToSystemLength(unit, v); };
    for (const Piece& p : pieces)
        RecordLine(out)
            .key(p.serie, p.code, p.treatment)
            .integer(p.quantity)
            .stored(p.stored, Piece::StoredWidth, p.width, length, 3)
            .stored(p.stored, Piece::StoredHeight, p.height, length, 3)
            .text(Trim(p.pieceId))
            .text(p.text1)
            .text(p.text2)
            .text(p.text3)
            .end();
}

void JobFile::writeMaterials(std::string& out, const MaterialKeyList& keys) {
    RecordLine(out).integer(keys.count()).end();
    for (const MaterialKey& key : keys) RecordLine(out).key(key.serie, key.code, key.treatment).end();
}

std::string JobFile::write(const Job& job, const CurrentUnit& unit) {
    std::string out = "FILE_VERSION=" + std::to_string(kVersion) + "\n";
    for (const std::string* text : {&job.name, &job.customer, &job.order}) {
        AppendQuoted(out, StorableHeader(*text), false);
        out += '\n';
    }
    // The limits line is one quoted text holding a record of its own.
    out += '"';
    auto length = [&](double v) { return ToSystemLength(unit, v); };
    RecordLine(out)
        .stored(job.storedLimits, Job::StoredMaxWidth, job.maxPlateWidth, length, 3)
        .stored(job.storedLimits, Job::StoredMaxHeight, job.maxPlateHeight, length, 3)
        .integer(job.preferOffcuts)
        .integer(job.preferLargePlates)
        .integer(job.preferPlentifulPlates);
    out += "\"\n";
    writePieces(out, job.pieces, unit);
    writeMaterials(out, job.materials);
    return out;
}

bool JobFile::save(const std::string& path, const Job& job, const CurrentUnit& unit) {
    return WriteFileAtomically(path, write(job, unit));
}

}  // namespace tavrel
