#include "optimise/EngineResultSplit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "model/Material.h"
#include "model/PlateList.h"
#include "platform/Platform.h"
#include "results/ResultFiles.h"
#include "settings/Units.h"

namespace {

enum class Sub { None, Pattern, Cut, Offcut, Info };

bool Has(const std::string& upper, const char* word) { return upper.find(word) != std::string::npos; }

// "KEY = 12.5" anywhere in a line: the number after the "=" that follows the key.
bool ValueAfter(const std::string& line, const std::string& upper, const char* key, double& value) {
    auto at = upper.find(key);
    if (at == std::string::npos) return false;
    auto eq = line.find('=', at);
    if (eq == std::string::npos) return false;
    const char* start = line.c_str() + eq + 1;
    char* end = nullptr;
    value = std::strtod(start, &end);
    return end != start;
}

struct BlockState {
    Sub sub = Sub::None;
    int valuesRead = 0;
    long pieces = 0;
    double width = 0, height = 0, thickness = 0;
    int offcuts = 0;
    int infos = 0;
    int placements = 0;
    std::vector<std::pair<std::string, int>> infoIds;  // identifier, info number
};

long Thousandths(double v) { return static_cast<long>(v * 1000.0); }

class Splitter {
public:
    Splitter(const std::string& folder, long run) : folder_(folder), m_(Format("MAT_%ld", run)) {}

    void Line(const std::string& line, std::string& layout) {
        const std::string upper = ToUpper(line);
        if (!inBlock_) {
            if (Has(upper, "BLOCKSTART") || Has(upper, "BLOCKAPPEND")) StartBlock(layout);
            return;
        }
        if (Has(upper, "BLOCKEND")) {
            EndBlock(layout);
            return;
        }
        const std::string b = Format("%s_%ld", m_.c_str(), block_);
        std::string psaLine = line;
        if (Has(upper, "[PATTERN]")) {
            state_.sub = Sub::Pattern;
            state_.valuesRead = 0;
            layout += Format("[%s|PATTERN]\n", b.c_str());
        } else if (Has(upper, "[CUT]")) {
            state_.sub = Sub::Cut;
            layout += Format("[%s|PIECES]\n", b.c_str());
        } else if (Has(upper, "[OFFCUT]")) {
            state_.sub = Sub::Offcut;
            ++state_.offcuts;
            layout += Format("[%s|OFFCUT_%d]\n", b.c_str(), state_.offcuts);
            psaLine = Format("[Offcut_%d]", state_.offcuts);
        } else if (Has(upper, "[INFO]")) {
            state_.sub = Sub::Info;
            ++state_.infos;
            layout += Format("[%s|INFO_%d]\n", b.c_str(), state_.infos);
            psaLine = Format("[Info_%d]", state_.infos);
        } else if (state_.sub == Sub::Cut && !Trim(line).empty() && Trim(line)[0] != '[') {
            ++state_.placements;
            layout += Format("P_%d={%s}\n", state_.placements, Trim(line).c_str());
        } else {
            if (state_.sub == Sub::Cut && !Trim(line).empty()) state_.sub = Sub::None;
            if (state_.sub == Sub::Pattern) ReadPatternValue(line, upper);
            if (state_.sub == Sub::Info) ReadInfoId(line, upper);
            layout += line + "\n";
        }
        if (psa_) std::fprintf(psa_, "%s\n", psaLine.c_str());
    }

    void Finish(std::string& layout) {
        if (inBlock_) EndBlock(layout);
    }

    long totalPlates = 0;
    long totalPlacements = 0;
    int blocks() const { return static_cast<int>(block_); }
    std::vector<std::string> ids;

private:
    void StartBlock(std::string& layout) {
        ++block_;
        inBlock_ = true;
        state_ = BlockState();
        psa_ = std::fopen(JoinPath(folder_, Format("%08ld.PSA", block_)).c_str(), "w");
        layout += Format("\n\n--- BEGIN: Material_{%s}, Plate_Type_{%ld} ---\n\n", m_.c_str(), block_);
    }

    void EndBlock(std::string& layout) {
        if (psa_) std::fclose(psa_);
        psa_ = nullptr;
        inBlock_ = false;
        const std::string b = Format("%s_%ld", m_.c_str(), block_);
        layout += Format("\n\n[%s|PLATETYPE]\n", b.c_str());
        layout += Format("PLATES=%ld\n", state_.pieces);
        layout += Format("PLATEW=%ld\n", Thousandths(state_.width));
        layout += Format("PLATEH=%ld\n", Thousandths(state_.height));
        layout += Format("PLATETHICKNESS=%ld\n", Thousandths(state_.thickness));
        layout += Format("OFFCUTS=%d\n", state_.offcuts);
        layout += Format("PIECES=%d\n", state_.placements);
        layout += Format("PIECETYPES=%d\n", state_.infos);
        for (const auto& [id, k] : state_.infoIds) layout += Format("#_%s=INFO_%d\n", id.c_str(), k);
        layout += Format("\n\n--- END: Material_{%s}, Plate_Type_{%ld} ---\n\n", m_.c_str(), block_);
        totalPlates += state_.pieces;
        totalPlacements += state_.placements;
        for (const auto& entry : state_.infoIds)
            if (std::find(ids.begin(), ids.end(), entry.first) == ids.end()) ids.push_back(entry.first);
        state_ = BlockState();
    }

    void ReadPatternValue(const std::string& line, const std::string& upper) {
        double v = 0;
        if (ValueAfter(line, upper, "PIECES", v)) state_.pieces = static_cast<long>(v);
        else if (ValueAfter(line, upper, "WIDTH", v)) state_.width = v;
        else if (ValueAfter(line, upper, "HEIGHT", v)) state_.height = v;
        else if (ValueAfter(line, upper, "THICKNESS", v)) state_.thickness = v;
        else return;
        if (++state_.valuesRead >= 4) state_.sub = Sub::None;
    }

    void ReadInfoId(const std::string& line, const std::string& /*upper*/) {
        // "ID=..." (or "PieceID=..."): a key ending in ID; WIDTH=, which also holds the letters,
        // is not one.
        auto eq = line.find('=');
        if (eq == std::string::npos) return;
        const std::string key = ToUpper(Trim(line.substr(0, eq)));
        if (key.size() < 2 || key.compare(key.size() - 2, 2, "ID") != 0) return;
        const std::string id = Trim(line.substr(eq + 1));
        if (id.empty()) return;
        for (const auto& entry : state_.infoIds)
            if (entry.first == id) return;
        state_.infoIds.emplace_back(id, state_.infos);
    }

    std::string folder_;
    std::string m_;
    long block_ = 0;
    bool inBlock_ = false;
    BlockState state_;
    std::FILE* psa_ = nullptr;
};

bool ReadPatternFiles(const std::string& folder, PlateList& usedPlates, PlateList& offcuts,
                      const PlateList& selected) {
    bool found = false;
    for (const std::string& path : PatternFiles(folder)) {
        double piecesValue = 1, pos = 0;
        ReadPatternNumber(path, "Pattern", "Pieces", piecesValue);
        ReadPatternNumber(path, "Pattern", "Pos", pos);
        const long pieces = static_cast<long>(piecesValue);
        const long index = static_cast<long>(pos) - 1;
        if (index >= 0 && index < selected.count() && pieces > 0 && pieces <= 1000000) {
            // Two patterns cut from the same candidate add up: the review shows the total use.
            StockPlate used = selected.at(static_cast<int>(index)).duplicate();
            used.quantity = static_cast<int>(pieces);
            used.sourceIndex = static_cast<int>(index);
            usedPlates.addOrMerge(used, false);
            found = true;
            for (long n = 1;; ++n) {
                const std::string section = Format("Offcut_%ld", n);
                double w = 0, h = 0;
                if (!ReadPatternNumber(path, section, "Width", w) || !ReadPatternNumber(path, section, "Height", h))
                    break;
                w = DisplayLength(w, 10, 1);
                h = DisplayLength(h, 10, 1);
                if (w <= 0 || h <= 0) continue;
                StockPlate offcut = selected.at(static_cast<int>(index)).duplicate();
                offcut.width = w;
                offcut.height = h;
                offcut.quantity = static_cast<int>(pieces);
                offcut.sourceIndex = static_cast<int>(index);
                offcut.kind = PlateOffcut;
                offcuts.addOrMerge(offcut, false);
            }
        }
        Platform::DeleteFile(path);
    }
    return found || !offcuts.empty();
}

}  // namespace

bool SplitEngineResult(const std::string& resultPath, const Material& material, PlateList& usedPlates,
                       PlateList& offcuts, long runNumber, const PlateList& selectedPlates) {
    const std::string folder = ResultFolder(resultPath);
    std::FILE* in = std::fopen(resultPath.c_str(), "r");
    if (in) {
        const std::string headerPath = JoinPath(folder, Format("%08ld.HLG", runNumber));
        const std::string layoutPath = JoinPath(folder, Format("%08ld.LG", runNumber));
        Platform::DeleteFile(headerPath);
        Platform::DeleteFile(layoutPath);
        std::string header = Format("[MAT_%ld|MATERIAL]\n", runNumber);
        header += "SERIE=" + material.serie + "\nCODE=" + material.code + "\nTREATMENT=" + material.treatment +
                  "\nDESCRIPTION=" + material.description + "\n";
        Splitter splitter(folder, runNumber);
        std::string layout;
        std::string line;
        while (ReadLine(in, line)) splitter.Line(line, layout);
        splitter.Finish(layout);
        std::fclose(in);
        header += Format("PLATES=%ld\nPLATETYPES=%d\nPIECES=%ld\nPIECETYPES=%ld\n", splitter.totalPlates,
                         splitter.blocks(), splitter.totalPlacements, static_cast<long>(splitter.ids.size()));
        std::string ids;
        for (const auto& id : splitter.ids) ids += id + "|";
        header += "___IDS___=" + ids + "\n";
        WriteFileAtomically(headerPath, header);
        WriteFileAtomically(layoutPath, layout);
        for (const char* section : {"Header", "Signature", "Footer"}) IniFile::DeleteSection(layoutPath, section);
    }
    const bool found = ReadPatternFiles(folder, usedPlates, offcuts, selectedPlates);
    Platform::DeleteFile(resultPath);
    return found;
}
