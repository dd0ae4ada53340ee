#include "optimise/EngineResultSplit.h"

#include <algorithm>
#include <vector>

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "files/EngineResult.h"
#include "model/Material.h"
#include "model/PlateList.h"
#include "platform/Platform.h"
#include "results/ResultFiles.h"

namespace tavrel {

namespace {

constexpr long kMaxPatternCount = 1000000;

// The layout file's sections of one pattern: the engine's sub-block lines under the program's
// section names, then the pattern's totals.
std::string LayoutOfPattern(const ResultPattern& p, const std::string& m, long s,
                            std::vector<std::string>& ids) {
    const std::string b = Format("%s_%ld", m.c_str(), s);
    std::string out = Format("\n\n--- BEGIN: Material_{%s}, Plate_Type_{%ld} ---\n\n", m.c_str(), s);
    out += Format("[%s|PATTERN]\n", b.c_str()) + PatternLines(p);
    out += Format("[%s|PIECES]\n", b.c_str());
    for (size_t j = 0; j < p.pieces.size(); ++j)
        out += Format("P_%zu={%s}\n", j + 1, Trim(CutLine(p.pieces[j])).c_str());
    for (size_t k = 0; k < p.offcuts.size(); ++k)
        out += Format("[%s|OFFCUT_%zu]\n", b.c_str(), k + 1) + OffcutLines(p.offcuts[k]);
    std::vector<std::pair<std::string, size_t>> infoIds;  // identifier, info number
    for (size_t k = 0; k < p.infos.size(); ++k) {
        out += Format("[%s|INFO_%zu]\n", b.c_str(), k + 1) + InfoLines(p.infos[k]);
        const std::string& id = p.infos[k].id;
        const bool seen =
            std::any_of(infoIds.begin(), infoIds.end(), [&](const auto& e) { return e.first == id; });
        if (!id.empty() && !seen) infoIds.emplace_back(id, k + 1);
    }
    out += Format("\n\n[%s|PLATETYPE]\n", b.c_str());
    out += Format("PLATES=%ld\n", p.count);
    out += Format("PLATEW=%lld\n", static_cast<long long>(p.width) * 100);
    out += Format("PLATEH=%lld\n", static_cast<long long>(p.height) * 100);
    out += Format("PLATETHICKNESS=%ld\n", p.thickness * 10);
    out += Format("OFFCUTS=%zu\nPIECES=%zu\nPIECETYPES=%zu\n", p.offcuts.size(), p.pieces.size(),
                  p.infos.size());
    for (const auto& [id, k] : infoIds) out += Format("#_%s=INFO_%zu\n", id.c_str(), k);
    out += Format("\n\n--- END: Material_{%s}, Plate_Type_{%ld} ---\n\n", m.c_str(), s);
    for (const auto& entry : infoIds)
        if (std::find(ids.begin(), ids.end(), entry.first) == ids.end()) ids.push_back(entry.first);
    return out;
}

bool WriteLayoutFiles(const ResultPlan& plan, const Material& material, const std::string& folder, long run) {
    const std::string m = Format("MAT_%ld", run);
    std::string header = Format("[%s|MATERIAL]\n", m.c_str());
    header += "SERIE=" + material.serie + "\nCODE=" + material.code + "\nTREATMENT=" + material.treatment +
              "\nDESCRIPTION=" + material.description + "\n";
    std::string layout;
    std::vector<std::string> ids;
    long plates = 0;
    long placements = 0;
    for (size_t s = 0; s < plan.patterns.size(); ++s) {
        const ResultPattern& p = plan.patterns[s];
        layout += LayoutOfPattern(p, m, static_cast<long>(s + 1), ids);
        plates += p.count;
        placements += static_cast<long>(p.pieces.size());
    }
    header += Format("PLATES=%ld\nPLATETYPES=%zu\nPIECES=%ld\nPIECETYPES=%zu\n", plates, plan.patterns.size(),
                     placements, ids.size());
    std::string idList;
    for (const std::string& id : ids) idList += id + "|";
    header += "___IDS___=" + idList + "\n";
    const bool headerWritten = WriteFileAtomically(JoinPath(folder, Format("%08ld.HLG", run)), header);
    return WriteFileAtomically(JoinPath(folder, Format("%08ld.LG", run)), layout) && headerWritten;
}

}  // namespace

bool SplitEngineResult(const std::string& resultPath, const Material& material, PlateList& usedPlates,
                       PlateList& offcuts, long runNumber, const PlateList& selectedPlates,
                       const CurrentUnit& unit, bool* readable) {
    const std::string folder = ResultFolder(resultPath);
    // Pattern files left by an earlier run or version are never read: the stock follows this
    // result alone.
    DeleteMatching(folder, "*.PSA");
    Platform::DeleteFile(JoinPath(folder, Format("%08ld.HLG", runNumber)));
    Platform::DeleteFile(JoinPath(folder, Format("%08ld.LG", runNumber)));
    ResultPlan plan;
    const bool read = ReadResultFile(resultPath, plan);
    if (readable) *readable = read;
    Platform::DeleteFile(resultPath);
    if (!read) return false;
    // The layout and header files only feed the drawings of the review. They go into the folder
    // the machine file was just written to, so they fail only when that folder broke since; the
    // review then shows the plates without drawings, and the stock still follows the result.
    if (!WriteLayoutFiles(plan, material, folder, runNumber))
        Platform::DeleteFile(JoinPath(folder, Format("%08ld.LG", runNumber)));
    bool found = false;
    for (const ResultPattern& pattern : plan.patterns) {
        const long index = pattern.position - 1;
        if (index < 0 || index >= selectedPlates.count() || pattern.count < 1 ||
            pattern.count > kMaxPatternCount)
            continue;
        const StockPlate& candidate = selectedPlates.at(static_cast<int>(index));
        // Two patterns cut from the same candidate add up: the review shows the total use.
        StockPlate used = candidate.duplicate();
        used.quantity = static_cast<int>(pattern.count);
        used.sourceIndex = static_cast<int>(index);
        usedPlates.addOrMerge(used, false);
        found = true;
        for (const ResultOffcut& o : pattern.offcuts) {
            StockPlate offcut = candidate.duplicate();
            if (!SetResultSize(offcut, o.width, o.height, unit)) continue;
            offcut.quantity = static_cast<int>(pattern.count);
            offcut.sourceIndex = static_cast<int>(index);
            offcut.kind = PlateOffcut;
            offcuts.addOrMerge(offcut, false);
        }
    }
    return found || !offcuts.empty();
}

}  // namespace tavrel
