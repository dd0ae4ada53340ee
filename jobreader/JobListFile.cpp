#include "JobListFile.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

#include "Records.h"
#include "TextDecoding.h"

namespace jobreader {

namespace {

constexpr int kFormatVersion = 1;
constexpr std::size_t kPieceFields = 9;

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && b != '\t') || b == 0x7F;
    });
}

// The fields of a value separated by ';'. A field in double quotes may hold ';', and "" inside
// it stands for one quote. Empty when the quotes do not pair up; `error` then says how.
std::optional<std::vector<std::string>> SplitFields(std::string_view value, std::string& error) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (true) {
        while (i < value.size() && value[i] == ' ') ++i;
        std::string field;
        if (i < value.size() && value[i] == '"') {
            ++i;
            bool closed = false;
            while (i < value.size()) {
                if (value[i] == '"') {
                    if (i + 1 < value.size() && value[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                field += value[i++];
            }
            if (!closed) {
                error = "a quoted text is not closed";
                return std::nullopt;
            }
            while (i < value.size() && value[i] == ' ') ++i;
            if (i < value.size() && value[i] != ';') {
                error = "text follows a closing quote";
                return std::nullopt;
            }
        } else {
            const std::size_t end = std::min(value.find(';', i), value.size());
            field = std::string(TrimBlanks(value.substr(i, end - i)));
            i = end;
        }
        fields.push_back(std::move(field));
        if (i >= value.size()) break;
        ++i;  // the ';'
    }
    return fields;
}

// A whole number in [low, high]. A fraction of zeros ("1180.000") is taken, as programs that
// write every number with decimals produce it; any other fraction is not, because the records
// carry whole millimetres and rounding would cut a piece to a size nobody asked for.
std::optional<int> WholeNumber(std::string_view text, int low, int high, std::string& error,
                               const char* what) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const std::size_t point = text.find('.');
    if (point != std::string_view::npos) {
        const std::string_view fraction = text.substr(point + 1);
        if (fraction.find_first_not_of('0') != std::string_view::npos) {
            error = std::string(what) + " '" + std::string(text) + "' is not a whole number";
            return std::nullopt;
        }
        text = text.substr(0, point);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        error = std::string(what) + " is missing or not a number";
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > high) break;
    }
    if (value < low || value > high) {
        error = std::string(what) + " " + std::string(text) + " lies outside " + std::to_string(low) +
                " to " + std::to_string(high);
        return std::nullopt;
    }
    return static_cast<int>(value);
}

class Parser {
public:
    explicit Parser(const std::string& fileName) { result_.job.fileName = fileName; }

    ParsedJobList run(std::string_view bytes) {
        const std::string text = DecodeFileText(bytes);
        std::size_t start = 0;
        while (start <= text.size() && !stopped_) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            std::string_view line(text.data() + start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            ++lineNumber_;
            takeLine(line);
            start = end + 1;
        }
        if (!stopped_ && !sawHeader_) refuse("holds no job list (it should start with QJL=1)");
        if (result_.usable) finish();
        return std::move(result_);
    }

private:
    void problem(const std::string& what) {
        result_.problems.push_back(result_.job.fileName + " line " + std::to_string(lineNumber_) + ": " +
                                   what);
    }
    void refuse(const std::string& what) {
        result_.problems.push_back(result_.job.fileName + ": " + what + "; the file is left out");
        result_.usable = false;
        stopped_ = true;
    }
    // A text cut to its field; `what` names it when the cut changes something the job relies on.
    std::string fit(std::string_view text, std::size_t bytes, const char* what = nullptr) {
        const std::string_view cut = CutToBytes(text, bytes);
        if (what && cut.size() < text.size())
            problem(std::string(what) + " '" + std::string(text) + "' is longer than " +
                    std::to_string(bytes) + " bytes and was cut to '" + std::string(cut) + "'");
        return std::string(cut);
    }

    void takeLine(std::string_view line) {
        const std::string_view content = TrimBlanks(line);
        if (content.empty() || content.front() == '#') return;
        if (HasControlCharacter(line)) {
            if (!sawHeader_) return refuse("is not a text file");
            return problem("holds a control character, so the line is left out");
        }
        const std::size_t equals = content.find('=');
        const std::string key = Upper(TrimBlanks(content.substr(0, std::min(equals, content.size()))));
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : TrimBlanks(content.substr(equals + 1));
        if (!sawHeader_) return takeHeader(key, value, equals != std::string_view::npos);
        if (equals == std::string_view::npos)
            return problem("is not of the form KEY=value, so it is left out");
        if (key == "JOB") return takeName(value);
        if (key == "DESCRIPTION")
            return takeText(value, result_.job.description, kDescriptionBytes, sawDescription_);
        if (key == "CUSTOMER") return takeText(value, result_.job.customer, kCustomerBytes, sawCustomer_);
        if (key == "ITEM") return takeItem(value);
        if (key == "PANEL") return takePiece(value, result_.job.panels, panelLines_);
        if (key == "GLASS") return takePiece(value, result_.job.glass, glassLines_);
        if (key == "QJL") return problem("repeats the QJL line, so it is left out");
        problem("has the unknown key '" + key + "', so it is left out");
    }

    void takeHeader(const std::string& key, std::string_view value, bool hasEquals) {
        if (key != "QJL" || !hasEquals) return refuse("does not start with QJL=1, so it is not a job list");
        std::string error;
        const auto version = WholeNumber(value, 1, 1000000, error, "the format version");
        if (!version) return refuse("has no format version after QJL=");
        if (*version > kFormatVersion)
            return refuse("is written in format " + std::to_string(*version) +
                          ", newer than this reader takes");
        sawHeader_ = true;
        result_.usable = true;
    }

    void takeName(std::string_view value) {
        if (sawName_) return problem("repeats the JOB line, so it is left out (the first one names the job)");
        // Checked as cut, because the cut name is what identifies the job list and names its file.
        const std::string name = fit(value, kJobNameBytes);
        const std::string reason = NameProblem(name);
        if (!reason.empty()) return refuse("the job name '" + name + "' " + reason);
        sawName_ = true;
        result_.job.name = name;
    }

    void takeText(std::string_view value, std::string& into, std::size_t bytes, bool& seen) {
        if (seen) return problem("repeats its key, so it is left out (the first one counts)");
        seen = true;
        into = fit(value, bytes);
    }

    void takeItem(std::string_view value) {
        std::string error;
        const auto fields = SplitFields(value, error);
        if (!fields) return problem(error + ", so the line is left out");
        if (fields->size() != 2)
            return problem("has " + std::to_string(fields->size()) +
                           " fields where an ITEM line has 2 (number;name), so it is left out");
        const auto number = WholeNumber((*fields)[0], 1, kMaxItemNumber, error, "the item number");
        if (!number) return problem(error + ", so the line is left out");
        if (itemLines_.count(*number))
            return problem("declares item " + std::to_string(*number) + " again (first on line " +
                           std::to_string(itemLines_[*number]) + "), so it is left out");
        itemLines_[*number] = lineNumber_;
        result_.job.items.push_back({*number, fit((*fields)[1], kItemNameBytes, "the item name")});
    }

    void takePiece(std::string_view value, std::vector<PieceLine>& into, std::vector<int>& lines) {
        std::string error;
        const auto fields = SplitFields(value, error);
        if (!fields) return problem(error + ", so the line is left out");
        const auto& f = *fields;
        if (f.size() != kPieceFields)
            return problem("has " + std::to_string(f.size()) + " fields where a piece line has " +
                           std::to_string(kPieceFields) +
                           " (item;serie;code;treatment;treatment;treatment;quantity;width;height), so it is "
                           "left out");
        PieceLine piece;
        const auto item = WholeNumber(f[0], 1, kMaxItemNumber, error, "the item number");
        if (!item) return problem(error + ", so the line is left out");
        if (f[1].empty()) return problem("has no material serie, so it is left out");
        const auto quantity = WholeNumber(f[6], 1, kMaxQuantity, error, "the quantity");
        if (!quantity) return problem(error + ", so the line is left out");
        const auto width = WholeNumber(f[7], 1, kMaxSize, error, "the width");
        if (!width) return problem(error + " (whole millimetres), so the line is left out");
        const auto height = WholeNumber(f[8], 1, kMaxSize, error, "the height");
        if (!height) return problem(error + " (whole millimetres), so the line is left out");
        piece.item = *item;
        piece.serie = fit(f[1], kSerieBytes, "the serie");
        piece.code = fit(f[2], kCodeBytes, "the code");
        for (int k = 0; k < 3; ++k) piece.treatment[k] = fit(f[3 + k], kTreatmentBytes, "the treatment");
        piece.quantity = *quantity;
        piece.width = *width;
        piece.height = *height;
        into.push_back(std::move(piece));
        lines.push_back(lineNumber_);
    }

    // Pieces of items no ITEM line declares would carry no name and, past the highest item,
    // be dropped by the caller without a word: leave them out here, where the line is known.
    void finish() {
        if (!sawName_) {
            const std::string& file = result_.job.fileName;
            const std::string base =
                fit(file.substr(0, std::min(file.rfind('.'), file.size())), kJobNameBytes);
            const std::string reason = NameProblem(base);
            if (!reason.empty()) {
                result_.problems.push_back(file + ": has no JOB line and its file name " + reason +
                                           "; the file is left out");
                result_.usable = false;
                return;
            }
            result_.job.name = base;
        }
        dropUndeclared(result_.job.panels, panelLines_);
        dropUndeclared(result_.job.glass, glassLines_);
    }

    void dropUndeclared(std::vector<PieceLine>& pieces, const std::vector<int>& lines) {
        std::vector<PieceLine> kept;
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            if (itemLines_.count(pieces[k].item)) {
                kept.push_back(std::move(pieces[k]));
                continue;
            }
            result_.problems.push_back(result_.job.fileName + " line " + std::to_string(lines[k]) +
                                       ": belongs to item " + std::to_string(pieces[k].item) +
                                       ", which no ITEM line declares, so it is left out");
        }
        pieces = std::move(kept);
    }

    ParsedJobList result_;
    int lineNumber_ = 0;
    bool stopped_ = false;
    bool sawHeader_ = false;
    bool sawName_ = false;
    bool sawDescription_ = false;
    bool sawCustomer_ = false;
    std::map<int, int> itemLines_;  // item number -> line that declared it
    std::vector<int> panelLines_;
    std::vector<int> glassLines_;
};

}  // namespace

int JobListFile::itemCount() const {
    int highest = 0;
    for (const ItemLine& item : items) highest = std::max(highest, item.number);
    return highest;
}

ParsedJobList ParseJobList(std::string_view bytes, const std::string& fileName) {
    return Parser(fileName).run(bytes);
}

std::string NameProblem(std::string_view name) {
    if (name.empty()) return "is empty";
    if (HasControlCharacter(name) || name.find('\t') != std::string_view::npos)
        return "holds a control character";
    if (name.find_first_of("\\/:*?\"<>|") != std::string_view::npos)
        return "holds one of the characters \\ / : * ? \" < > |, which a file name cannot hold";
    if (name.back() == '.' || name.back() == ' ') return "ends in a dot or a blank";
    return {};
}

}  // namespace jobreader
