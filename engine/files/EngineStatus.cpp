#include "files/EngineStatus.h"

#include <cstdlib>

#include "common/FileUtils.h"
#include "common/TextUtils.h"
#include "files/EngineResult.h"
#include "files/TextFile.h"

using namespace tavrel;

std::string EngineReportPath(const std::string& inputPath) { return inputPath + ".STATUS"; }

std::string FormatEngineReport(const EngineReport& r) {
    return "Status=" + std::to_string(static_cast<int>(r.status)) + "\nPiece=" + EscapeResultText(r.pieceId) +
           "\nWidth=" + std::to_string(r.pieceWidth) + "\nHeight=" + std::to_string(r.pieceHeight) +
           "\nPiecesLeft=" + std::to_string(r.piecesLeft) + "\nPieces=" + std::to_string(r.piecesTotal) +
           "\nAreaLeft=" + std::to_string(r.areaLeft) + "\nDetail=" + EscapeResultText(r.detail) +
           "\nNumber=" + std::to_string(r.pieceNumber) + "\nAreaLacking=" + std::to_string(r.areaLacking) +
           "\n";
}

bool ParseEngineReport(const std::string& text, EngineReport& out) {
    EngineReport r;
    bool status = false;
    for (const std::string& line : SplitLines(text)) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = ToUpper(Trim(line.substr(0, eq)));
        const std::string value = Trim(line.substr(eq + 1));
        if (key == "STATUS") {
            r.status = EngineStatusOf(static_cast<int>(ToLong(value)));
            status = true;
        } else if (key == "PIECE") {
            r.pieceId = UnescapeResultText(value);
        } else if (key == "WIDTH") {
            r.pieceWidth = ToLong(value);
        } else if (key == "HEIGHT") {
            r.pieceHeight = ToLong(value);
        } else if (key == "PIECESLEFT") {
            r.piecesLeft = ToLong(value);
        } else if (key == "PIECES") {
            r.piecesTotal = ToLong(value);
        } else if (key == "AREALEFT") {
            r.areaLeft = std::strtoll(value.c_str(), nullptr, 10);
        } else if (key == "NUMBER") {
            r.pieceNumber = ToLong(value);
        } else if (key == "AREALACKING") {
            r.areaLacking = std::strtoll(value.c_str(), nullptr, 10);
        } else if (key == "DETAIL") {
            r.detail = UnescapeResultText(value);
        }
    }
    if (status) {
        out = r;
    }
    return status;
}

bool ReadEngineReport(const std::string& path, EngineReport& out) {
    std::string text;
    return ReadTextFile(path, text, 1u << 16) && ParseEngineReport(text, out);
}
