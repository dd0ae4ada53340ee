#pragma once
// The pieces that the program's line-oriented files share: splitting a ";" record into fields,
// the quoted one-value header lines, numbers read with the C conversion rules (but never in the
// user's locale, so a decimal comma on the desktop cannot change a catalogue), and the one rule
// that keeps every text storable.

#include <cstddef>
#include <string>
#include <vector>

#include "common/FileUtils.h"

namespace tavrel {

struct ReadReport;

// The classic read limits of the formats. Our readers take whole lines of any length (so a long
// line never turns into two records); these only decide what a read report calls a long line.
constexpr std::size_t kListLineLimit = 254;
constexpr std::size_t kLongLineLimit = 511;

// Splits a record line into at most `maxFields` fields from left to right. A field ends at the
// next ";" or at the end of the line; one leading double quote is skipped and the field is cut at
// its last double quote. A line with fewer fields gives fewer.
std::vector<std::string> SplitRecord(const std::string& line, std::size_t maxFields);

// The field at `index`, or an empty text when the line had fewer fields.
std::string FieldAt(const std::vector<std::string>& fields, std::size_t index);

// The value of a one-text header line ("\"text\""): the line cut at its last double quote, then
// without its first character.
std::string QuotedLineValue(const std::string& line);

// atoi rules: leading blanks, a sign, digits; anything else ends the number; no digits give 0.
// The value is clamped to the int range.
int ParseInt(const std::string& text);
// strtod rules for decimal numbers (leading blanks, sign, digits, point, exponent) in the "C"
// locale. Text that is not a number, and a value that is not finite, give 0.
double ParseReal(const std::string& text);
// The integer after the first "=" of a version line; 0 when there is no "=".
int ParseVersionLine(const std::string& line);

// Appends the text between double quotes as the files can hold it (see MakeStorable): a text
// that was not cleaned before saving still never breaks its record.
void AppendQuoted(std::string& out, const std::string& text, bool inRecord = true);
// Appends the three quoted key fields of a record, "serie";"code";"treatment".
void AppendKeyFields(std::string& out, const std::string& serie, const std::string& code,
                     const std::string& treatment);

// printf "%.Nf" without the locale: `decimals` digits after a point.
std::string FixedText(double value, int decimals);
// Appends FixedText to `out`, the writers' hot path.
void AppendFixed(std::string& out, double value, int decimals);

// Builds one ";"-separated record line at the end of `out`: each call appends one field (or the
// three of a key), end() the line break.
class RecordLine {
public:
    explicit RecordLine(std::string& out) : out_(out) {}
    RecordLine& text(const std::string& value);  // quoted, as AppendQuoted
    RecordLine& key(const std::string& serie, const std::string& code, const std::string& treatment);
    RecordLine& integer(long long value);
    RecordLine& fixed(double value, int decimals);  // as AppendFixed
    // `shown` as the file stores it: the number read while it is unchanged, else `convert`ed
    // from the user's unit.
    template <typename Stored, typename Convert>
    RecordLine& stored(const Stored& numbers, std::size_t slot, double shown, Convert&& convert,
                       int decimals) {
        return fixed(numbers.storedFor(slot, shown, [&] { return convert(shown); }), decimals);
    }
    void end() { out_ += '\n'; }

private:
    void separate();
    std::string& out_;
    bool first_ = true;
};

// A real field read, converted into the user's unit with `show` and kept with what it gave in
// `stored` (see StoredNumbers.h), so that it can be written back unchanged.
template <typename Stored, typename Show>
double ReadStored(const std::string& field, Stored& stored, std::size_t slot, Show&& show) {
    const double value = ParseReal(field);
    const double shown = show(value);
    stored.keep(slot, value, shown);
    return shown;
}

// Reads the whole file at `path` and hands its content to `read`; false when the file cannot be
// read, else what `read` gives.
template <typename Read>
bool ReadFileWith(const std::string& path, Read&& read) {
    std::string content;
    if (!ReadWholeFile(path, content)) return false;
    return read(content);
}

// The text as the files can hold it. Every file keeps one record per line, so a line break (or a
// NUL) inside a text becomes a blank; inside ";"-separated records (`inRecord`) a ";" would start
// a new field, so it becomes ",". Double quotes need nothing: the readers cut each field at its
// last double quote, so a quote inside a text reads back as it was. Returns true when it changed
// the text.
bool MakeStorable(std::string& text, bool inRecord);

// MakeStorable for the three texts of a key; counts each changed text in `fixes` when given.
// Returns true when any of them changed.
bool MakeKeyStorable(std::string& serie, std::string& code, std::string& treatment, ReadReport* fixes);
// MakeStorable, counting a change in `fixes` when given.
void MakeStorableCounted(std::string& text, bool inRecord, ReadReport* fixes);

// Cuts `text` to at most `maxBytes` bytes without splitting a UTF-8 character.
void CutUtf8(std::string& text, std::size_t maxBytes);

// Adds `add` to `total` without leaving the int range (quantities of merged lines).
int SaturatingAdd(int total, int add);

// Walks the lines of a file read whole (SplitLines: "\n" ends a line, one trailing "\r" goes).
// A NUL byte reads as a blank.
class LineCursor {
public:
    explicit LineCursor(const std::string& content);
    // The next line; false at the end of the file.
    bool next(std::string& line);
    // The next line without taking it; false at the end of the file.
    bool peek(std::string& line) const;
    bool atEnd() const { return position_ >= lines_.size(); }
    // The number of the line next() gave last, counted from 1.
    int lineNumber() const { return static_cast<int>(position_); }

private:
    std::vector<std::string> lines_;
    std::size_t position_ = 0;
};

// A line that holds a count (a whole number between blanks) rather than a record.
bool IsCountLine(const std::string& line);
// Takes the next count line, skipping blank lines before it (counted in the report). False,
// with nothing taken but the blanks, when the file ends or the next line is not a count line
// (the block then counts as empty and the line stays for the next reader).
bool NextCountLine(LineCursor& lines, std::string& line, ReadReport* report);

// Reads the "FILE_VERSION=" line every file starts with and notes it in the report: the
// version, or 0 when the file is empty or the line holds none.
int ReadVersion(LineCursor& lines, ReadReport* report);

}  // namespace tavrel
