#include "files/EngineInput.h"

#include <algorithm>
#include <cctype>

#include "common/FileUtils.h"
#include "common/TextUtils.h"
#include "files/TextFile.h"

using namespace tavrel;

namespace {

constexpr size_t kLineLength = 190;

// One fixed-width line; columns are 1-based and inclusive, as the format is documented.
class Columns {
public:
    explicit Columns(const std::string& line) : line_(line) {}

    std::string text(size_t first, size_t last) const {
        if (first > line_.size()) {
            return {};
        }
        return line_.substr(first - 1, std::min(last, line_.size()) - first + 1);
    }
    std::string trimmed(size_t first, size_t last) const { return Trim(text(first, last)); }
    // A number field: digits with an optional sign, padded with zeros or spaces.
    bool number(size_t first, size_t last, long& out) const {
        const std::string t = trimmed(first, last);
        if (t.empty()) {
            out = 0;
            return true;
        }
        size_t i = 0;
        bool negative = false;
        if (t[0] == '-' || t[0] == '+') {
            negative = t[0] == '-';
            i = 1;
        }
        if (i >= t.size()) {
            return false;
        }
        long v = 0;
        for (; i < t.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(t[i])) || v > 100000000000L) {
                return false;
            }
            v = v * 10 + (t[i] - '0');
        }
        out = negative ? -v : v;
        return true;
    }

private:
    const std::string& line_;
};

bool ParseLineA(const Columns& c, EnginePlateRecord& p) {
    p.materialKey = c.trimmed(1, 16);
    p.customer = c.trimmed(38, 49);
    p.order = c.trimmed(50, 61);
    p.treatment = c.trimmed(135, 166);
    p.orientation = c.text(190, 190).empty() ? 'R' : c.text(190, 190)[0];
    // Only a name for the plans: a text there from another writer names no place, and never
    // makes the plate unreadable.
    if (!c.number(62, 69, p.stockPlace) || p.stockPlace < 0) {
        p.stockPlace = 0;
    }
    return c.number(17, 21, p.position) && c.number(70, 77, p.thickness) && c.number(78, 85, p.width) &&
           c.number(86, 93, p.height) && c.number(110, 114, p.quantity) && c.number(115, 119, p.priority) &&
           c.number(130, 134, p.rank);
}

bool ParseLineB(const Columns& c, EnginePlateRecord& p) {
    p.jobLabel = c.trimmed(135, 166);
    return c.number(17, 24, p.minOffcutWidth) && c.number(25, 32, p.cutWidth) && c.number(33, 40, p.trimX) &&
           c.number(41, 48, p.minOffcutHeight) && c.number(49, 56, p.trimY) &&
           c.number(57, 64, p.minCutDistance) && c.number(65, 72, p.plateTrim) &&
           c.number(81, 88, p.grinding) && c.number(122, 129, p.weight);
}

bool ParsePiece(const Columns& c, EnginePieceRecord& p) {
    p.materialKey = c.trimmed(1, 16);
    p.pieceKey = c.trimmed(22, 37);
    p.customer = c.trimmed(38, 49);
    p.order = c.trimmed(50, 61);
    p.text = c.trimmed(135, 166);
    p.shortText = c.trimmed(167, 172);
    p.pieceId = c.trimmed(173, 188);
    p.rotatable = c.text(190, 190) == "S";
    return c.number(17, 21, p.typeNumber) && c.number(78, 85, p.width) && c.number(86, 93, p.height) &&
           c.number(110, 114, p.quantity);
}

bool IsPlateLetter(char ch) {
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return u == 'L' || u == 'Y' || u == 'R';
}

}  // namespace

bool ParseEngineInput(const std::string& text, EngineInput& out, std::string* error) {
    EngineInput result;
    int lineNo = 0;
    bool expectB = false;
    auto fail = [&](const std::string& why) {
        if (error) {
            *error = "line " + std::to_string(lineNo) + ": " + why;
        }
        return false;
    };
    for (const std::string& line : SplitLines(text)) {
        ++lineNo;
        if (Trim(line).empty()) {
            continue;
        }
        // A number too long for its field would shift every later column: refuse to guess.
        if (line.size() > kLineLength) {
            return fail("longer than 190 characters");
        }
        if (line.size() < kLineLength) {
            return fail("shorter than 190 characters");
        }
        const Columns c(line);
        const char kind = line[kLineLength - 1];
        if (expectB) {
            if (kind != 'T' || !ParseLineB(c, result.plates.back())) {
                return fail("plate line B expected");
            }
            expectB = false;
        } else if (IsPlateLetter(kind)) {
            if (!result.pieces.empty()) {
                return fail("plate line after the piece lines");
            }
            EnginePlateRecord p;
            if (!ParseLineA(c, p)) {
                return fail("malformed plate line");
            }
            result.plates.push_back(p);
            expectB = true;
        } else if (kind == 'S' || kind == 'N') {
            EnginePieceRecord p;
            if (!ParsePiece(c, p)) {
                return fail("malformed piece line");
            }
            result.pieces.push_back(p);
        } else {
            return fail("unknown line kind");
        }
    }
    if (expectB) {
        return fail("plate line B missing at the end");
    }
    out = std::move(result);
    return true;
}

bool ReadEngineInput(const std::string& path, EngineInput& out, std::string* error) {
    std::string text;
    return ReadTextFile(path, text, error) && ParseEngineInput(text, out, error);
}
