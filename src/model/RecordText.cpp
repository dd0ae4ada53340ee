#include "model/RecordText.h"

#include <charconv>
#include <climits>
#include <cmath>

#include "common/FileUtils.h"
#include "model/ReadReport.h"

namespace tavrel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::size_t SkipBlanks(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return i;
}

bool IsBlankLine(const std::string& line) { return SkipBlanks(line) == line.size(); }

}  // namespace

std::vector<std::string> SplitRecord(const std::string& line, std::size_t maxFields) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (fields.size() < maxFields) {
        const std::size_t end = line.find(';', start);
        std::string field = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!field.empty() && field.front() == '"') field.erase(0, 1);
        const std::size_t quote = field.rfind('"');
        if (quote != std::string::npos) field.resize(quote);
        fields.push_back(std::move(field));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return fields;
}

std::string FieldAt(const std::vector<std::string>& fields, std::size_t index) {
    return index < fields.size() ? fields[index] : std::string();
}

std::string QuotedLineValue(const std::string& line) {
    std::string value = line;
    const std::size_t quote = value.rfind('"');
    if (quote != std::string::npos) value.resize(quote);
    if (!value.empty()) value.erase(0, 1);
    return value;
}

int ParseInt(const std::string& text) {
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<int>(value);
}

double ParseReal(const std::string& text) {
    std::size_t i = SkipBlanks(text);
    if (i < text.size() && text[i] == '+') {
        // from_chars takes no "+"; a second sign after it is not a number.
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) return 0.0;
    }
    double value = 0.0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

int ParseVersionLine(const std::string& line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return 0;
    return ParseInt(line.substr(equals + 1));
}

void AppendFixed(std::string& out, double value, int decimals) {
    if (!std::isfinite(value)) value = 0.0;
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        out += "0";
        return;
    }
    out.append(buffer, result.ptr);
}

std::string FixedText(double value, int decimals) {
    std::string text;
    AppendFixed(text, value, decimals);
    return text;
}

bool MakeStorable(std::string& text, bool inRecord) {
    bool changed = false;
    for (char& c : text) {
        if (c == '\n' || c == '\r' || c == '\0') {
            c = ' ';
            changed = true;
        } else if (inRecord && c == ';') {
            c = ',';
            changed = true;
        }
    }
    return changed;
}

void CutUtf8(std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return;
    std::size_t cut = maxBytes;
    // Step back over continuation bytes (10xxxxxx) so the cut falls before a character's start;
    // a UTF-8 character has at most three of them, so text that is not UTF-8 is cut plainly.
    for (int steps = 0; steps < 3 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80;
         ++steps)
        --cut;
    if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) cut = maxBytes;
    text.resize(cut);
}

int SaturatingAdd(int total, int add) {
    const long long sum = static_cast<long long>(total) + add;
    if (sum > INT_MAX) return INT_MAX;
    if (sum < INT_MIN) return INT_MIN;
    return static_cast<int>(sum);
}

LineCursor::LineCursor(const std::string& content) : lines_(SplitLines(content)) {
    // No writer puts a NUL in a text (MakeStorable turns it into a blank); reading it as the
    // blank it would be saved as keeps a load, save, load cycle stable.
    for (std::string& line : lines_)
        for (char& c : line)
            if (c == '\0') c = ' ';
}

bool LineCursor::peek(std::string& line) const {
    if (position_ >= lines_.size()) return false;
    line = lines_[position_];
    return true;
}

bool LineCursor::next(std::string& line) {
    if (position_ >= lines_.size()) return false;
    line = std::move(lines_[position_++]);
    return true;
}

void AppendQuoted(std::string& out, const std::string& text, bool inRecord) {
    out += '"';
    const std::size_t start = out.size();
    out += text;
    for (std::size_t i = start; i < out.size(); ++i) {
        char& c = out[i];
        if (c == '\n' || c == '\r' || c == '\0')
            c = ' ';
        else if (inRecord && c == ';')
            c = ',';
    }
    out += '"';
}

void AppendKeyFields(std::string& out, const std::string& serie, const std::string& code,
                     const std::string& treatment) {
    AppendQuoted(out, serie);
    out += ';';
    AppendQuoted(out, code);
    out += ';';
    AppendQuoted(out, treatment);
}

void RecordLine::separate() {
    if (!first_) out_ += ';';
    first_ = false;
}

RecordLine& RecordLine::text(const std::string& value) {
    separate();
    AppendQuoted(out_, value);
    return *this;
}

RecordLine& RecordLine::key(const std::string& serie, const std::string& code, const std::string& treatment) {
    separate();
    AppendKeyFields(out_, serie, code, treatment);
    return *this;
}

RecordLine& RecordLine::integer(long long value) {
    separate();
    out_ += std::to_string(value);
    return *this;
}

RecordLine& RecordLine::fixed(double value, int decimals) {
    separate();
    AppendFixed(out_, value, decimals);
    return *this;
}

void MakeStorableCounted(std::string& text, bool inRecord, ReadReport* fixes) {
    if (MakeStorable(text, inRecord) && fixes) ++fixes->storableFixes;
}

bool MakeKeyStorable(std::string& serie, std::string& code, std::string& treatment, ReadReport* fixes) {
    bool changed = false;
    for (std::string* text : {&serie, &code, &treatment}) {
        if (MakeStorable(*text, true)) {
            changed = true;
            if (fixes) ++fixes->storableFixes;
        }
    }
    return changed;
}

bool IsCountLine(const std::string& line) {
    std::size_t i = SkipBlanks(line);
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
    const std::size_t digits = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
    return i > digits && SkipBlanks(line.substr(i)) == line.size() - i;
}

bool NextCountLine(LineCursor& lines, std::string& line, ReadReport* report) {
    while (lines.peek(line)) {
        if (!IsCountLine(line) && !IsBlankLine(line)) return false;
        lines.next(line);
        if (!IsBlankLine(line)) return true;
        if (report) ++report->blankLines;
    }
    return false;
}

std::string DescribeProblems(const std::string& path, const ReadReport& report) {
    std::string text;
    for (const RecordProblem& problem : report.problems)
        text += path + ", line " + std::to_string(problem.line) + ": " + problem.field + "\n";
    return text;
}

int ReadVersion(LineCursor& lines, ReadReport* report) {
    std::string line;
    const int version = lines.next(line) ? ParseVersionLine(line) : 0;
    if (report) {
        report->opened = true;
        report->version = version;
    }
    return version;
}

}  // namespace tavrel
