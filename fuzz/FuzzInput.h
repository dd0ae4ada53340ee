#pragma once
// What every fuzz target shares: the unit a reader converts with (chosen by the input's first
// byte, so one corpus covers millimetres and inches and every decimal setting), and a scratch
// file for the readers that only read from disk.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/UnitDef.h"

namespace tavrel {

// The first byte picks the unit: bit 0 inches, bits 1-2 the decimals (0..3). The rest is the
// file. An empty input is an empty file in millimetres.
inline CurrentUnit FuzzUnit(uint8_t selector) {
    CurrentUnit unit;
    const bool inches = (selector & 1) != 0;
    unit.linearFactor = inches ? 25.4 : 1.0;
    unit.areaFactor = inches ? 0.09290304 : 1.0;
    unit.weightFactor = inches ? 0.45359237 : 1.0;
    unit.stdDecimals = inches ? 2 : 1;
    unit.decimals = (selector >> 1) & 3;
    unit.numberFormat = "%." + std::to_string(unit.decimals) + "lf";
    unit.sectionNumber = inches ? 1 : 0;
    unit.linearLabel = inches ? "in" : "mm";
    unit.lengthLabel = inches ? "ft" : "m";
    unit.areaLabel = inches ? "sqft" : "mq";
    unit.weightLabel = inches ? "lb" : "Kg";
    return unit;
}

struct FuzzInput {
    CurrentUnit unit;
    std::string content;
};

inline FuzzInput SplitFuzzInput(const uint8_t* data, size_t size) {
    FuzzInput in;
    in.unit = FuzzUnit(size > 0 ? data[0] : 0);
    if (size > 1) in.content.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    return in;
}

// A per-process scratch folder in the temporary folder, so parallel fuzzing jobs never share a
// file (the result readers also delete and write files beside the one they read).
inline const std::string& FuzzScratchFolder() {
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tavrel-fuzz-" +
                           std::to_string(::getpid());
        ::mkdir(path.c_str(), 0700);
        return path;
    }();
    return folder;
}

inline std::string FuzzScratchPath(const std::string& name) { return FuzzScratchFolder() + "/" + name; }

inline void WriteScratch(const std::string& path, const std::string& content) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    if (!content.empty()) std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
}

}  // namespace tavrel
