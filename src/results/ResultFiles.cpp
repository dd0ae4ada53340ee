#include "results/ResultFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "model/Material.h"
#include "model/PlateList.h"
#include "platform/Platform.h"
#include "settings/Units.h"

namespace {

constexpr int kValueBuffer = 512;

bool Contains(const std::string& line, const char* marker) {
    return ToUpper(line).find(marker) != std::string::npos;
}

std::string PatternFilePath(const std::string& folder, int number) {
    return JoinPath(folder, Format("%08d.PSA", number));
}

}  // namespace

// INI reads cannot tell a missing key from an empty one; a key is "present" when it holds
// something.
bool ReadPatternNumber(const std::string& file, const std::string& section, const char* key, double& value) {
    std::string text;
    if (IniFile::ReadString(file, section, key, "", text, kValueBuffer) == 0) return false;
    value = std::strtod(text.c_str(), nullptr);
    return true;
}

std::vector<std::string> PatternFiles(const std::string& folder) {
    auto found = Platform::Find(JoinPath(folder, "*.PSA"));
    std::sort(found.begin(), found.end(),
              [](const Platform::FindEntry& a, const Platform::FindEntry& b) { return a.name < b.name; });
    std::vector<std::string> files;
    for (const auto& entry : found)
        if (!entry.isDirectory) files.push_back(entry.path);
    return files;
}

std::string ResultFolder(const std::string& resultPath) {
    const std::string folder = SplitPath(resultPath).folder;
    return folder.empty() ? std::string(".") : folder;
}

int CutResultIntoPatternFiles(const std::string& resultPath) {
    std::FILE* in = std::fopen(resultPath.c_str(), "r");
    if (!in) return -1;
    const std::string folder = ResultFolder(resultPath);
    int block = 0;
    int offcut = 0;
    bool inBlock = false;
    std::FILE* out = nullptr;
    std::string line;
    while (ReadLine(in, line)) {
        if (!inBlock) {
            if (Contains(line, "BLOCKSTART") || Contains(line, "BLOCKAPPEND")) {
                ++block;
                offcut = 0;
                inBlock = true;
                out = std::fopen(PatternFilePath(folder, block).c_str(), "w");
            }
            continue;
        }
        if (Contains(line, "BLOCKEND")) {
            if (out) std::fclose(out);
            out = nullptr;
            inBlock = false;
            continue;
        }
        if (!out) continue;
        if (Contains(line, "[OFFCUT]")) std::fprintf(out, "[Offcut_%d]\n", ++offcut);
        else std::fprintf(out, "%s\n", line.c_str());
    }
    if (out) std::fclose(out);
    std::fclose(in);
    return block;
}

bool ApplyResult(PlateList& stock, const std::string& resultPath, const Material& material) {
    CutResultIntoPatternFiles(resultPath);
    bool applied = false;
    for (const std::string& file : PatternFiles(ResultFolder(resultPath))) {
        double pieces = 1;
        ReadPatternNumber(file, "Pattern", "Pieces", pieces);
        const int count = static_cast<int>(pieces);
        if (count < 1 || pieces > 1e6) {
            // A pattern cut from no plate (or a damaged count) cannot change the stock.
            Platform::DeleteFile(file);
            continue;
        }
        double width = 0, height = 0;
        if (ReadPatternNumber(file, "Pattern", "Width", width) && ReadPatternNumber(file, "Pattern", "Height", height)) {
            stock.consume(material, count, DisplayLength(width, 10, 1), DisplayLength(height, 10, 1));
            applied = true;
        }
        for (long n = 1;; ++n) {
            const std::string section = Format("Offcut_%ld", n);
            double w = 0, h = 0;
            if (!ReadPatternNumber(file, section, "Width", w) || !ReadPatternNumber(file, section, "Height", h)) break;
            w = DisplayLength(w, 10, 1);
            h = DisplayLength(h, 10, 1);
            if (w <= 0 || h <= 0) continue;
            StockPlate offcut(material.key(), count, w, h, 0, 0.0, 0, PlateOffcut, 0.0);
            stock.addOrMerge(std::move(offcut), true);
            applied = true;
        }
        Platform::DeleteFile(file);
    }
    Platform::DeleteFile(resultPath);
    return applied;
}
