#pragma once
// Text helpers shared by every subsystem.

#include <string>
#include <vector>

namespace tavrel {

// Removes every character of `set` from `text`; returns how many were removed.
int RemoveChars(std::string& text, const std::string& set);
// Replaces every character of `set` by `replacement`; returns how many were replaced.
int ReplaceChars(std::string& text, const std::string& set, char replacement);
// prefix + text + suffix when both are given, else the text.
std::string Wrap(const std::string& text, const std::string& prefix, const std::string& suffix);
// Value of the decimal digits that end `text`; -1 when it does not end in a digit.
int TrailingNumber(const std::string& text, int* prefixLength = nullptr, int* digitCount = nullptr,
                   int* leadingZeros = nullptr);
// Largest first.
void SortDescending(std::vector<int>& values);

std::string Trim(const std::string& text);
std::string ToUpper(std::string text);
std::string ToLower(std::string text);
bool EqualsNoCase(const std::string& a, const std::string& b);
bool StartsWithNoCase(const std::string& text, const std::string& prefix);
// printf into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Splits at ";" and removes one leading and one trailing double quote from each field.
std::vector<std::string> SplitFields(const std::string& line, char separator = ';');
// strtod/atoi with the C rules (leading blanks skipped, garbage gives 0), never reading past the
// end of the text.
double ToDouble(const std::string& text);
long ToLong(const std::string& text);

// Texts are UTF-8, but a job or catalogue written by a Windows station holds its code page (an
// "É" as the one byte 0xC9). For showing a text: the text itself when it is valid UTF-8, else its
// bytes read as Windows-1252, in UTF-8. The bytes in the file stay as they are; only what the
// windows show changes.
bool IsValidUtf8(const std::string& text);
std::string DisplayText(const std::string& text);
// The longest start of `text` that fits in `bytes` without half a letter: a UTF-8 text is cut
// at a character boundary, any other text (Windows-1252, one byte a letter) where the limit falls.
// Half a UTF-8 letter would make the whole text read as Windows-1252 wherever it is shown.
std::string LeadingBytes(const std::string& text, std::size_t bytes);

}  // namespace tavrel
