#include "BenchInstances.h"

#include <fstream>
#include <sstream>

#include "cutting/InstanceBuilder.h"

namespace {

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Reads the leading whole numbers of a line, ignoring the comment words after them.
std::vector<long> Numbers(const std::string& line) {
    std::vector<long> v;
    std::istringstream in(line);
    long x;
    while (in >> x) {
        v.push_back(x);
    }
    return v;
}

}  // namespace

bool Read2bp(const std::string& path, bool rotation, engine::FirstCut firstCut, long scale,
             std::vector<BenchInstance>& out, std::string* error) {
    std::ifstream in(path);
    if (!in) {
        if (error) {
            *error = "cannot open " + path;
        }
        return false;
    }
    std::vector<std::vector<long>> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<long> v = Numbers(line);
        if (!v.empty()) {
            lines.push_back(std::move(v));
        }
    }
    const std::string file = BaseName(path);
    size_t i = 0;
    int perSize = 0;
    long lastN = -1;
    while (i < lines.size()) {
        if (i + 4 > lines.size() || lines[i + 1].empty() || lines[i + 3].size() < 2) {
            if (error) {
                *error = path + ": truncated instance header";
            }
            return false;
        }
        const long n = lines[i + 1][0];
        const long binH = lines[i + 3][0];
        const long binW = lines[i + 3][1];
        i += 4;
        if (n <= 0 || i + static_cast<size_t>(n) > lines.size()) {
            if (error) {
                *error = path + ": truncated item list";
            }
            return false;
        }
        perSize = (n == lastN) ? perSize + 1 : 1;
        lastN = n;
        engine::InstanceBuilder b;
        engine::PlateType plate;
        plate.position = 1;
        plate.width = binW * scale;
        plate.height = binH * scale;
        plate.quantity = -1;
        plate.firstCut = firstCut;
        b.addPlateType(plate);
        for (long k = 0; k < n; ++k, ++i) {
            if (lines[i].size() < 2) {
                if (error) {
                    *error = path + ": item line without two sizes";
                }
                return false;
            }
            engine::ItemType item;
            item.number = static_cast<int>(k + 1);
            item.identifier = std::to_string(k + 1);
            item.height = lines[i][0] * scale;
            item.width = lines[i][1] * scale;
            item.quantity = 1;
            item.rotatable = rotation;
            b.addItemType(item);
        }
        BenchInstance bi;
        bi.group = file;
        bi.name = file + "_" + std::to_string(n) + "_" + std::to_string(perSize);
        std::string why;
        if (!b.build(bi.instance, &why)) {
            if (error) {
                *error = bi.name + ": " + why;
            }
            return false;
        }
        out.push_back(std::move(bi));
    }
    return true;
}

std::map<std::string, BenchReference> ReadReference(const std::string& path) {
    std::map<std::string, BenchReference> ref;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<std::string> f;
        std::istringstream ls(line);
        std::string field;
        while (std::getline(ls, field, ',')) {
            f.push_back(field);
        }
        if (f.size() < 8) {
            continue;
        }
        BenchReference r;
        r.areaBound = std::atol(f[5].c_str());
        r.bestNoRotation = std::atol(f[6].c_str());
        r.bestRotation = std::atol(f[7].c_str());
        ref[f[0]] = r;
    }
    return ref;
}
