#pragma once
// The pieces that the program's line-oriented files share: splitting a ";" record into fields,
// the quoted one-value header lines, numbers read with the C conversion rules (but never in the
// user's locale, so a decimal comma on the desktop cannot change a catalogue), and the one rule
// that keeps every text storable.

#include <cstddef>
#include <string>
#include <vector>

// The classic read limits of the formats. Our readers take whole lines of any length (so a long
// line never turns into two records); these only decide what a read report calls a long line.
constexpr std::size_t kListLineLimit = 254;
constexpr std::size_t kLongLineLimit = 511;

// Splits a record line into at most `maxFields` fields from left to right. A field ends at the
// next ";" or at the end of the line; one leading double quote is skipped and the field is cut at
// its last double quote. A line with fewer fields gives fewer.
std::vector<std::string> SplitRecord(const std::string& line, std::size_t maxFields);

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

// Appends the text between double quotes (texts are made storable before they are written).
void AppendQuoted(std::string& out, const std::string& text);

// printf "%.Nf" without the locale: `decimals` digits after a point.
std::string FixedText(double value, int decimals);
// Appends FixedText to `out`, the writers' hot path.
void AppendFixed(std::string& out, double value, int decimals);

// The text as the files can hold it. Every file keeps one record per line, so a line break (or a
// NUL) inside a text becomes a blank; inside ";"-separated records (`inRecord`) a ";" would start
// a new field, so it becomes ",". Double quotes need nothing: the readers cut each field at its
// last double quote, so a quote inside a text reads back as it was. Returns true when it changed
// the text.
bool MakeStorable(std::string& text, bool inRecord);

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
    bool atEnd() const { return position_ >= lines_.size(); }

private:
    std::vector<std::string> lines_;
    std::size_t position_ = 0;
};

struct ReadReport;
// Reads the "FILE_VERSION=" line every file starts with and notes it in the report: the
// version, or 0 when the file is empty or the line holds none.
int ReadVersion(LineCursor& lines, ReadReport* report);
