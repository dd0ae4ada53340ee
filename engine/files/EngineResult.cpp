#include "files/EngineResult.h"

#include <cctype>
#include <cstdio>
#include <sstream>

#include "common/FileUtils.h"
#include "common/TextUtils.h"
#include "files/TextFile.h"

using namespace tavrel;

namespace {

bool Contains(const std::string& upperLine, const char* keyword) {
    return upperLine.find(keyword) != std::string::npos;
}

// "Key=Value" of a line; false when the line holds no "=".
bool KeyValue(const std::string& line, std::string& key, std::string& value) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
        return false;
    }
    key = ToUpper(Trim(line.substr(0, eq)));
    value = Trim(line.substr(eq + 1));
    return true;
}

}  // namespace

std::string EscapeResultText(const std::string& text) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    // Blanks at either end are escaped too: a reader trims the value, and the text must come back
    // as it was written.
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    for (size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        const auto u = static_cast<unsigned char>(c);
        const bool endBlank = c == ' ' && (first == std::string::npos || at < first || at > last);
        if (c == '%' || c == 'K' || c == 'k' || c == '[' || c == ']' || u < 0x20 || u == 0x7f || endBlank) {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeResultText(const std::string& text) {
    auto hex = [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
               : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
               : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                                                           : -1;
    };
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string CutLine(const ResultPiece& p) {
    return "X=" + TenthsText(p.x) + ";Y=" + TenthsText(p.y) + ";W=" + TenthsText(p.width) +
           ";H=" + TenthsText(p.height) + ";R=" + (p.rotated ? "1" : "0") + ";N=" + std::to_string(p.number) +
           ";ID=" + EscapeResultText(p.id);
}

namespace {

bool ParseCutLine(const std::string& line, ResultPiece& p) {
    std::string fields = line;
    const size_t idAt = ToUpper(line).find("ID=");
    if (idAt != std::string::npos) {
        p.id = UnescapeResultText(Trim(line.substr(idAt + 3)));
        fields = line.substr(0, idAt);
    }
    std::istringstream in(fields);
    std::string f;
    int seen = 0;
    while (std::getline(in, f, ';')) {
        std::string key;
        std::string value;
        if (!KeyValue(f, key, value)) {
            continue;
        }
        engine::Length v = 0;
        if (key == "R") {
            p.rotated = value == "1";
        } else if (key == "N") {
            if (!ParseScaled(value, 1, v)) {
                return false;
            }
            p.number = static_cast<long>(v);
        } else if (key == "X" || key == "Y" || key == "W" || key == "H") {
            if (!ParseScaled(value, 10, v)) {
                return false;
            }
            (key == "X" ? p.x : key == "Y" ? p.y : key == "W" ? p.width : p.height) = v;
            ++seen;
        }
    }
    return seen == 4 && p.width > 0 && p.height > 0;
}

}  // namespace

std::string ResultPlan::headerValue(const std::string& key) const {
    for (const auto& kv : header) {
        if (ToUpper(kv.first) == ToUpper(key)) {
            return kv.second;
        }
    }
    return {};
}

void ResultPlan::setHeader(const std::string& key, const std::string& value) {
    for (auto& kv : header) {
        if (ToUpper(kv.first) == ToUpper(key)) {
            kv.second = value;
            return;
        }
    }
    header.emplace_back(key, value);
}

std::string TenthsText(engine::Length v) {
    const bool negative = v < 0;
    const engine::Length a = negative ? -v : v;
    return (negative ? "-" : "") + std::to_string(a / 10) + "." + std::to_string(a % 10);
}

std::string HundredthsText(long v) {
    const bool negative = v < 0;
    const long a = negative ? -v : v;
    char frac[8];
    std::snprintf(frac, sizeof frac, "%02ld", a % 100);
    return (negative ? "-" : "") + std::to_string(a / 100) + "." + frac;
}

bool ParseScaled(const std::string& text, long scale, engine::Length& out) {
    const std::string t = Trim(text);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
        negative = t[i] == '-';
        ++i;
    }
    engine::Length whole = 0;
    int digits = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
        if (++digits > 12) {
            return false;
        }
        whole = whole * 10 + (t[i] - '0');
        ++i;
    }
    // Fraction: keep as many digits as the scale needs plus one for rounding.
    engine::Length frac = 0;
    long fracScale = 1;
    int fracDigits = 0;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
            if (fracScale < 1000000) {
                frac = frac * 10 + (t[i] - '0');
                fracScale *= 10;
            }
            ++fracDigits;
            ++i;
        }
    }
    if (i != t.size() || (digits == 0 && fracDigits == 0)) {
        return false;
    }
    const engine::Length scaled = whole * scale + (frac * scale * 2 + fracScale) / (2 * fracScale);
    out = negative ? -scaled : scaled;
    return true;
}

long PlateNumber(const ResultPattern& pattern) {
    return pattern.stockPlace > 0 ? pattern.stockPlace : pattern.position;
}

std::string PatternLines(const ResultPattern& p) {
    // Pieces, Width, Height and Thickness come first and in this order: a reader takes the
    // first four numbers of the pattern sub-block.
    std::string out = "Pieces=" + std::to_string(p.count) + "\n";
    out += "Width=" + TenthsText(p.width) + "\n";
    out += "Height=" + TenthsText(p.height) + "\n";
    out += "Thickness=" + HundredthsText(p.thickness) + "\n";
    out += "Pos=" + std::to_string(p.position) + "\n";
    if (p.stockPlace > 0) {
        out += "Place=" + std::to_string(p.stockPlace) + "\n";
    }
    out += std::string("FirstCut=") + p.firstCut + "\n";
    out += "TrimX=" + TenthsText(p.trimX) + "\n";
    out += "TrimY=" + TenthsText(p.trimY) + "\n";
    out += "Kerf=" + TenthsText(p.kerf) + "\n";
    out += "MinCutDistance=" + TenthsText(p.minCutDistance) + "\n";
    out += std::string("OffcutPlate=") + (p.offcutPlate ? "1" : "0") + "\n";
    return out;
}

std::string OffcutLines(const ResultOffcut& o) {
    return "Width=" + TenthsText(o.width) + "\nHeight=" + TenthsText(o.height) + "\nX=" + TenthsText(o.x) +
           "\nY=" + TenthsText(o.y) + "\n";
}

std::string InfoLines(const ResultInfo& i) {
    return "ID=" + EscapeResultText(i.id) + "\nNumber=" + std::to_string(i.number) +
           "\nSize=" + TenthsText(i.width) + "x" + TenthsText(i.height) +
           "\nCount=" + std::to_string(i.count) + "\n";
}

std::string FormatResult(const ResultPlan& plan) {
    std::string out = "[Header]\n";
    for (const auto& kv : plan.header) {
        out += kv.first + "=" + EscapeResultText(kv.second) + "\n";
    }
    for (const ResultPattern& p : plan.patterns) {
        out += "\nBLOCKSTART\n[PATTERN]\n" + PatternLines(p) + "[CUT]\n";
        for (const ResultPiece& c : p.pieces) {
            out += CutLine(c) + "\n";
        }
        for (const ResultOffcut& o : p.offcuts) {
            out += "[OFFCUT]\n" + OffcutLines(o);
        }
        for (const ResultInfo& i : p.infos) {
            out += "[INFO]\n" + InfoLines(i);
        }
        out += "BLOCKEND\n";
    }
    out += "\n[Footer]\nEnd=1\n";
    return out;
}

bool ParseResult(const std::string& text, ResultPlan& out, std::string* error) {
    enum class Part { None, Header, Pattern, Cut, Offcut, Info };
    ResultPlan plan;
    bool inBlock = false;
    Part part = Part::None;
    int lineNo = 0;
    auto fail = [&](const std::string& why) {
        if (error) {
            *error = "line " + std::to_string(lineNo) + ": " + why;
        }
        return false;
    };
    for (const std::string& line : SplitLines(text)) {
        ++lineNo;
        const std::string up = ToUpper(line);
        if (!inBlock) {
            if (Contains(up, "BLOCKSTART") || Contains(up, "BLOCKAPPEND")) {
                inBlock = true;
                part = Part::None;
                plan.patterns.emplace_back();
            } else if (Trim(up) == "[HEADER]") {
                part = Part::Header;
            } else if (!Trim(line).empty() && Trim(line)[0] == '[') {
                part = Part::None;
            } else if (part == Part::Header) {
                std::string k;
                std::string v;
                const size_t eq = line.find('=');
                // A key of blanks alone would be written back as none and lost on the next read.
                if (KeyValue(line, k, v) && !k.empty()) {
                    plan.header.emplace_back(Trim(line.substr(0, eq)), UnescapeResultText(v));
                }
            }
            continue;
        }
        ResultPattern& p = plan.patterns.back();
        if (Contains(up, "BLOCKEND")) {
            inBlock = false;
            part = Part::None;
            continue;
        }
        if (Contains(up, "[PATTERN]")) {
            part = Part::Pattern;
            continue;
        }
        if (Contains(up, "[CUT]")) {
            part = Part::Cut;
            continue;
        }
        if (Contains(up, "[OFFCUT]")) {
            part = Part::Offcut;
            p.offcuts.emplace_back();
            continue;
        }
        if (Contains(up, "[INFO]")) {
            part = Part::Info;
            p.infos.emplace_back();
            continue;
        }
        if (Trim(line).empty()) {
            continue;
        }
        if (part == Part::Cut) {
            ResultPiece piece;
            if (!ParseCutLine(line, piece)) {
                return fail("malformed cut line");
            }
            p.pieces.push_back(piece);
            continue;
        }
        std::string key;
        std::string value;
        if (!KeyValue(line, key, value)) {
            continue;
        }
        engine::Length v = 0;
        if (part == Part::Pattern) {
            if (key == "PIECES" && ParseScaled(value, 1, v)) {
                p.count = static_cast<long>(v);
            } else if (key == "WIDTH" && ParseScaled(value, 10, v)) {
                p.width = v;
            } else if (key == "HEIGHT" && ParseScaled(value, 10, v)) {
                p.height = v;
            } else if (key == "THICKNESS" && ParseScaled(value, 100, v)) {
                p.thickness = static_cast<long>(v);
            } else if (key == "POS" && ParseScaled(value, 1, v)) {
                p.position = static_cast<long>(v);
            } else if (key == "PLACE" && ParseScaled(value, 1, v) && v > 0) {
                p.stockPlace = static_cast<long>(v);
            } else if (key == "FIRSTCUT" && !value.empty()) {
                p.firstCut = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
            } else if (key == "TRIMX" && ParseScaled(value, 10, v)) {
                p.trimX = v;
            } else if (key == "TRIMY" && ParseScaled(value, 10, v)) {
                p.trimY = v;
            } else if (key == "KERF" && ParseScaled(value, 10, v)) {
                p.kerf = v;
            } else if (key == "MINCUTDISTANCE" && ParseScaled(value, 10, v)) {
                p.minCutDistance = v;
            } else if (key == "OFFCUTPLATE") {
                p.offcutPlate = value == "1";
            }
        } else if (part == Part::Offcut) {
            ResultOffcut& o = p.offcuts.back();
            if (ParseScaled(value, 10, v)) {
                if (key == "WIDTH") {
                    o.width = v;
                } else if (key == "HEIGHT") {
                    o.height = v;
                } else if (key == "X") {
                    o.x = v;
                } else if (key == "Y") {
                    o.y = v;
                }
            }
        } else if (part == Part::Info) {
            ResultInfo& i = p.infos.back();
            if (key == "ID") {
                i.id = UnescapeResultText(value);
            } else if (key == "NUMBER" && ParseScaled(value, 1, v)) {
                i.number = static_cast<long>(v);
            } else if (key == "COUNT" && ParseScaled(value, 1, v)) {
                i.count = static_cast<long>(v);
            } else if (key == "SIZE") {
                const size_t x = ToUpper(value).find('X');
                engine::Length w = 0;
                engine::Length h = 0;
                if (x != std::string::npos && ParseScaled(value.substr(0, x), 10, w) &&
                    ParseScaled(value.substr(x + 1), 10, h)) {
                    i.width = w;
                    i.height = h;
                }
            }
        }
    }
    if (inBlock) {
        return fail("block without BLOCKEND");
    }
    if (plan.patterns.empty()) {
        return fail("no cutting pattern");
    }
    out = std::move(plan);
    return true;
}

bool ReadResultFile(const std::string& path, ResultPlan& out, std::string* error) {
    std::string text;
    return ReadTextFile(path, text, error) && ParseResult(text, out, error);
}
