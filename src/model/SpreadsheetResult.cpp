#include "model/SpreadsheetResult.h"

#include <climits>
#include <cmath>

#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "common/Messages.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "model/Job.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

constexpr const char* kGeneral = "XNI_GENERAL";
constexpr int kKnownVersion = 1;
constexpr int kValueBuffer = 2048;
// A box with thousands of lines helps nobody: the first ones, then how many more.
constexpr std::size_t kShownProblems = 20;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits with optional "," between groups of three; `digits` gets them without the commas.
bool ReadGroupedDigits(const std::string& t, std::size_t& at, std::string& digits) {
    const std::size_t start = at;
    while (at < t.size() && IsDigit(t[at])) digits.push_back(t[at++]);
    const std::size_t first = at - start;
    if (at >= t.size() || t[at] != ',') return true;
    // The thousands separator only ever stands before exactly three digits; "1000,5" is a
    // decimal comma, which would silently read as 10005 if commas were simply dropped.
    if (first == 0 || first > 3) return false;
    while (at < t.size() && t[at] == ',') {
        if (at + 4 > t.size() || !IsDigit(t[at + 1]) || !IsDigit(t[at + 2]) || !IsDigit(t[at + 3]))
            return false;
        if (at + 4 < t.size() && IsDigit(t[at + 4])) return false;
        digits.append(t, at + 1, 3);
        at += 4;
    }
    return true;
}

bool ParseNumberText(const std::string& text, std::string& whole, std::string& fraction, bool& negative) {
    const std::string t = Trim(text);
    std::size_t at = 0;
    negative = false;
    if (at < t.size() && (t[at] == '+' || t[at] == '-')) negative = t[at++] == '-';
    if (!ReadGroupedDigits(t, at, whole)) return false;
    if (at < t.size() && t[at] == '.') {
        ++at;
        while (at < t.size() && IsDigit(t[at])) fraction.push_back(t[at++]);
    }
    return at == t.size() && !(whole.empty() && fraction.empty());
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string ProblemLine(const SpreadsheetLineProblem& problem) {
    std::string text = Msg("00417") + " " + std::to_string(problem.line) + ": " + Msg(problem.reasonId);
    if (!problem.detail.empty() || problem.reasonId == "00421" || problem.reasonId == "00422" ||
        problem.reasonId == "00423")
        text += " " + Quoted(problem.detail);
    return text;
}

class LineReader {
public:
    LineReader(Job& job, const CurrentUnit& unit, SpreadsheetResultReport& report)
        : index_(job.pieces), unit_(unit), report_(report) {}

    void take(int lineNumber, const std::string& line) {
        const std::vector<std::string> f = SplitResultLine(line);
        auto fail = [&](const char* reasonId, const std::string& detail = {}) {
            report_.problems.push_back({lineNumber, reasonId, detail});
        };
        if (f.size() < 6) return fail("00418");
        if (Trim(f[0]).empty()) return fail("00419");
        if (Trim(f[1]).empty()) return fail("00420");
        int quantity = 0;
        if (!ParseResultInteger(f[3], quantity) || quantity <= 0) return fail("00421", Trim(f[3]));
        double width = 0.0;
        double height = 0.0;
        if (!ParseResultNumber(f[4], width) || !(width > 0.0)) return fail("00422", Trim(f[4]));
        if (!ParseResultNumber(f[5], height) || !(height > 0.0)) return fail("00423", Trim(f[5]));
        auto field = [&](std::size_t i) { return i < f.size() ? f[i] : std::string(); };
        Piece piece(f[0], f[1], f[2], 0.0, 0.0, quantity, Trim(field(6)), field(7), field(8), field(9));
        // Held as the file gave them, so a job saved in inches keeps the millimetres exactly.
        piece.width = DisplayLength(unit_, width, 10, 1);
        piece.height = DisplayLength(unit_, height, 10, 1);
        piece.stored.keep(Piece::StoredWidth, width, piece.width);
        piece.stored.keep(Piece::StoredHeight, height, piece.height);
        bool merged = false;
        index_.addOrMerge(std::move(piece), &merged);
        ++report_.taken;
        if (merged) ++report_.merged;
    }

private:
    PieceMergeIndex index_;
    const CurrentUnit& unit_;
    SpreadsheetResultReport& report_;
};

bool IsGeneralHeader(const std::string& trimmed) {
    if (trimmed.size() < 2 || trimmed.front() != '[') return false;
    const std::size_t close = trimmed.find(']');
    return close != std::string::npos && EqualsNoCase(Trim(trimmed.substr(1, close - 1)), kGeneral);
}

}  // namespace

std::vector<std::string> SplitResultLine(const std::string& line, std::size_t maxFields) {
    std::vector<std::string> fields;
    if (maxFields == 0) return fields;
    std::size_t at = 0;
    while (true) {
        if (fields.size() + 1 == maxFields) {
            // The last field: the rest of the line, quotes taken off as for any field.
            // A quoted field alone loses its quotes; a rest holding more fields stays whole.
            std::string rest = line.substr(at);
            if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
                rest = rest.substr(1, rest.size() - 2);
            } else if (!rest.empty() && rest.front() == '"' && rest.find(';') == std::string::npos) {
                rest.erase(0, 1);
                const std::size_t last = rest.rfind('"');
                if (last != std::string::npos) rest.erase(last);
            }
            fields.push_back(rest);
            return fields;
        }
        if (at < line.size() && line[at] == '"') {
            // Look for the quote that closes the field: followed by ";" or the end of the line.
            std::size_t close = at + 1;
            while (true) {
                close = line.find('"', close);
                if (close == std::string::npos) break;
                if (close + 1 == line.size() || line[close + 1] == ';') break;
                ++close;
            }
            if (close != std::string::npos) {
                fields.push_back(line.substr(at + 1, close - at - 1));
                if (close + 1 == line.size()) return fields;
                at = close + 2;
                continue;
            }
        }
        const std::size_t end = line.find(';', at);
        std::string field = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!field.empty() && field.front() == '"') {
            field.erase(0, 1);
            const std::size_t last = field.rfind('"');
            if (last != std::string::npos) field.erase(last);
        }
        fields.push_back(field);
        if (end == std::string::npos) return fields;
        at = end + 1;
    }
}

bool ParseResultNumber(const std::string& text, double& value) {
    std::string whole;
    std::string fraction;
    bool negative = false;
    if (!ParseNumberText(text, whole, fraction, negative)) return false;
    const std::string plain = (whole.empty() ? "0" : whole) + "." + (fraction.empty() ? "0" : fraction);
    const double v = ToDouble(plain);
    if (!std::isfinite(v)) return false;
    value = negative ? -v : v;
    return true;
}

bool ParseResultInteger(const std::string& text, int& value) {
    std::string whole;
    std::string fraction;
    bool negative = false;
    if (!ParseNumberText(text, whole, fraction, negative) || whole.empty()) return false;
    for (char c : fraction)
        if (c != '0') return false;
    long long v = 0;
    for (char c : whole) {
        v = v * 10 + (c - '0');
        if (v > INT_MAX) return false;
    }
    value = static_cast<int>(negative ? -v : v);
    return true;
}

SpreadsheetResultReport Job::importSpreadsheet(const std::string& path, const CurrentUnit& unit) {
    SpreadsheetResultReport report;
    pieces.idMode = PiecesFromSpreadsheet;
    std::string content;
    if (!ReadWholeFile(path, content)) return report;
    report.version = int(ToLong(IniFile::Read(path, kGeneral, "FILE_VERSION", "", kValueBuffer)));
    if (report.version <= 0) {
        report.outcome = SpreadsheetResultReport::Outcome::NoVersion;
        return report;
    }
    if (report.version > kKnownVersion) {
        // Fields of a format we do not know would become pieces of wrong sizes and materials.
        report.outcome = SpreadsheetResultReport::Outcome::NewerVersion;
        return report;
    }
    const long announced = ToLong(IniFile::Read(path, kGeneral, "ITEMS", "", kValueBuffer));
    report.announced = announced > 0 && announced <= INT_MAX ? int(announced) : 0;
    report.outcome = SpreadsheetResultReport::Outcome::Read;
    pieces.clear();
    LineReader reader(*this, unit, report);
    // Lines are read whole (a long line never splits into two pieces) and CR LF ends a line
    // as LF does. A NUL reads as the blank the job file will save it as, so pieces that differ
    // only there are one piece now, not two that merge at the next load.
    for (char& c : content)
        if (c == '\0') c = ' ';
    const std::vector<std::string> lines = SplitLines(content);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = Trim(lines[i]);
        if (line.empty()) continue;
        if (IsGeneralHeader(line)) break;
        const int number = int(i + 1);
        if (report.announced > 0 && report.dataLines >= report.announced) {
            if (report.leftOutFirst == 0) report.leftOutFirst = number;
            report.leftOutLast = number;
            ++report.leftOutCount;
            continue;
        }
        ++report.dataLines;
        reader.take(number, line);
    }
    return report;
}

bool TellSpreadsheetProblems(const SpreadsheetResultReport& report, const std::string& path,
                             UserPrompt& prompt) {
    using Outcome = SpreadsheetResultReport::Outcome;
    switch (report.outcome) {
        case Outcome::CannotOpen:
            Warn(prompt, "00413", "\n" + path);
            return true;
        case Outcome::NoVersion:
            Warn(prompt, "00414", "\n" + path);
            return true;
        case Outcome::NewerVersion:
            Warn(prompt, "00415", "\n" + path + "\nFILE_VERSION=" + std::to_string(report.version));
            return true;
        case Outcome::Read:
            break;
    }
    std::string text;
    if (!report.problems.empty() || report.leftOutCount > 0) {
        text = Msg("00416") + "\n" + path + "\n";
        for (std::size_t i = 0; i < report.problems.size() && i < kShownProblems; ++i)
            text += "\n" + ProblemLine(report.problems[i]);
        if (report.problems.size() > kShownProblems)
            text += "\n" + Msg("00426") + " " + std::to_string(report.problems.size() - kShownProblems);
        if (report.leftOutCount > 0) {
            text += "\n" + Msg("00417") + " " + std::to_string(report.leftOutFirst);
            if (report.leftOutLast != report.leftOutFirst) text += "-" + std::to_string(report.leftOutLast);
            text += ": " + Msg("00424") + " (ITEMS=" + std::to_string(report.announced) + ")";
        }
    }
    if (report.shortOfAnnounced()) {
        if (!text.empty())
            text += "\n\n";
        else
            text = path + "\n";
        text +=
            Msg("00425") + " " + std::to_string(report.announced) + ", " + std::to_string(report.dataLines);
    }
    if (text.empty()) return false;
    prompt.tell(text, "00073", PromptIcon::Exclamation);
    return true;
}

}  // namespace tavrel
