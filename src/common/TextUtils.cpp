#include "common/TextUtils.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace tavrel {

int RemoveChars(std::string& text, const std::string& set) {
    if (set.empty()) return 0;
    const auto before = text.size();
    text.erase(
        std::remove_if(text.begin(), text.end(), [&](char c) { return set.find(c) != std::string::npos; }),
        text.end());
    return static_cast<int>(before - text.size());
}

int ReplaceChars(std::string& text, const std::string& set, char replacement) {
    // A replacement inside the set would loop for ever in the original definition; refuse it.
    if (set.empty() || set.find(replacement) != std::string::npos) return 0;
    int count = 0;
    for (char& c : text) {
        if (set.find(c) != std::string::npos) {
            c = replacement;
            ++count;
        }
    }
    return count;
}

std::string Wrap(const std::string& text, const std::string& prefix, const std::string& suffix) {
    if (prefix.empty() || suffix.empty()) return text;
    return prefix + text + suffix;
}

int TrailingNumber(const std::string& text, int* prefixLength, int* digitCount, int* leadingZeros) {
    if (prefixLength) *prefixLength = 0;
    if (digitCount) *digitCount = 0;
    if (leadingZeros) *leadingZeros = 0;
    size_t end = text.size();
    size_t start = end;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1]))) --start;
    if (start == end) return -1;
    size_t zeros = 0;
    while (start + zeros < end && text[start + zeros] == '0') ++zeros;
    if (prefixLength) *prefixLength = static_cast<int>(start);
    if (digitCount) *digitCount = static_cast<int>(end - start);
    if (leadingZeros) *leadingZeros = static_cast<int>(zeros);
    long long value = 0;
    for (size_t i = start + zeros; i < end; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 2147483647LL) return 2147483647;  // saturate instead of overflowing
    }
    return static_cast<int>(value);
}

void SortDescending(std::vector<int>& values) {
    if (values.size() < 2) return;
    std::sort(values.begin(), values.end(), [](int a, int b) { return a > b; });
}

std::string Trim(const std::string& text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    return text.substr(b, e - b);
}

std::string ToUpper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string ToLower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

std::vector<std::string> SplitFields(const std::string& line, char separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t cut = line.find(separator, start);
        std::string field = line.substr(start, cut == std::string::npos ? std::string::npos : cut - start);
        if (!field.empty() && field.front() == '"') field.erase(0, 1);
        if (!field.empty() && field.back() == '"') field.pop_back();
        fields.push_back(field);
        if (cut == std::string::npos) break;
        start = cut + 1;
    }
    return fields;
}

double ToDouble(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

long ToLong(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

bool IsValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned long code = 0;
        if (c < 0x80)
            length = 1, code = c;
        else if (c >= 0xC2 && c <= 0xDF)
            length = 2, code = c & 0x1Fu;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3, code = c & 0x0Fu;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4, code = c & 0x07u;
        else
            return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and values beyond the last code point are not UTF-8.
        if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

namespace {

// Windows-1252 at 0x80..0x9F; the five bytes the code page leaves unassigned show as U+FFFD.
constexpr unsigned short kCp1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                            0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string DisplayText(const std::string& text) {
    if (IsValidUtf8(text)) return text;
    std::string shown;
    shown.reserve(text.size() * 2);
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        AppendUtf8(shown, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
    }
    return shown;
}

std::string LeadingBytes(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t cut = bytes;
    if (IsValidUtf8(text))
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}

}  // namespace tavrel
