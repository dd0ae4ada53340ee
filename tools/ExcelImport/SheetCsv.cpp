// The .csv reader: the text as the office programs save it on a workshop's desktop (UTF-8 with
// or without a byte order mark, UTF-16 "Unicode text", or the Windows-1252 code page; CR LF, LF
// or CR line ends), fields separated by ";", "," or a tab, quoted as RFC 4180 quotes them.

#include <QString>

#include "Sheet.h"
#include "SheetBuilder.h"
#include "common/TextUtils.h"

namespace tavrel {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1. Unassigned bytes become
// U+FFFD so they show as what they are.
const char16_t kCp1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                  0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

std::string Cp1252ToUtf8(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(b >= 0x80 && b < 0xA0 ? QChar(kCp1252High[b - 0x80]) : QChar(b));
    }
    return text.toStdString();
}

std::string Utf16ToUtf8(const std::string& bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
    }
    return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())).toStdString();
}

// Splits the text into records of fields. A quote opens a quoted field only at the start of a
// field; inside one, a doubled quote is a quote and line ends are part of the text.
template <typename Visit>
void Parse(const std::string& text, char separator, Visit&& visit) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    bool fieldStarted = false;
    long record = 1;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < n && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            fields.push_back(std::move(field));
            field.clear();
            fieldStarted = false;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
            fields.push_back(std::move(field));
            field.clear();
            fieldStarted = false;
            if (!visit(record++, fields)) return;
            fields.clear();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !fields.empty()) {
        fields.push_back(std::move(field));
        visit(record, fields);
    }
}

}  // namespace

std::string CsvTextAsUtf8(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return Utf16ToUtf8(bytes, false);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF)
        return Utf16ToUtf8(bytes, true);
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    if (IsValidUtf8(bytes)) return bytes;
    return Cp1252ToUtf8(bytes);
}

char GuessCsvSeparator(const std::string& text) {
    // Count each candidate outside quotes on the first lines. The one found on the first line
    // and as often on most others wins; a decimal comma puts commas on every line too, so ";"
    // and a tab win ties over ",".
    const char candidates[3] = {'\t', ';', ','};
    std::vector<std::array<int, 3>> counts;
    std::array<int, 3> current{};
    bool quoted = false;
    for (std::size_t i = 0; i < text.size() && counts.size() < 20; ++i) {
        const char c = text[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            counts.push_back(current);
            current = {};
            continue;
        }
        for (int k = 0; k < 3; ++k)
            if (c == candidates[k]) ++current[static_cast<std::size_t>(k)];
    }
    if (current != std::array<int, 3>{}) counts.push_back(current);
    if (counts.empty()) return ';';
    int best = -1;
    int bestScore = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        const int first = counts[0][k];
        if (first == 0) continue;
        int score = 0;
        for (const auto& line : counts)
            if (line[k] == first) ++score;
        if (score > bestScore) {
            bestScore = score;
            best = static_cast<int>(k);
        }
    }
    return best < 0 ? ';' : candidates[best];
}

bool ReadCsv(const std::string& bytes, Sheet& sheet, std::string& error) {
    std::string text = CsvTextAsUtf8(bytes);
    char separator = 0;
    // The office programs honour a first line "sep=;" naming the separator; so do we.
    if (text.size() >= 5 && StartsWithNoCase(text, "sep=") && text[4] != '\r' && text[4] != '\n') {
        separator = text[4];
        std::size_t end = text.find_first_of("\r\n");
        text.erase(0, end == std::string::npos ? text.size() : end);
        while (!text.empty() && (text[0] == '\r' || text[0] == '\n')) {
            text.erase(0, 1);
            break;
        }
        if (!text.empty() && text[0] == '\n') text.erase(0, 1);
    }
    if (!separator) separator = GuessCsvSeparator(text);
    SheetBuilder builder;
    bool ok = true;
    Parse(text, separator, [&](long record, const std::vector<std::string>& fields) {
        if (static_cast<long>(fields.size()) > kMaxSheetColumns) {
            error = "line " + std::to_string(record) + " holds more than " +
                    std::to_string(kMaxSheetColumns) + " fields";
            ok = false;
            return false;
        }
        for (std::size_t c = 0; c < fields.size(); ++c)
            if (!builder.set(record, static_cast<long>(c), fields[c], error)) {
                ok = false;
                return false;
            }
        return true;
    });
    if (!ok) return false;
    builder.finish(sheet);
    return true;
}

}  // namespace tavrel
