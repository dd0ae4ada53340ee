#include "files/TextFile.h"

#include <fstream>

#include "common/FileUtils.h"

using namespace tavrel;

bool WriteTextFile(const std::string& path, const std::string& text) {
    return WriteFileAtomically(path, text);
}

bool ReadTextFile(const std::string& path, std::string& text, size_t maxBytes) {
    std::ifstream f(path, std::ios::binary);
    if (!f) {
        return false;
    }
    std::string data;
    char buf[65536];
    while (f) {
        f.read(buf, sizeof buf);
        data.append(buf, static_cast<size_t>(f.gcount()));
        if (data.size() > maxBytes) {
            return false;
        }
    }
    text = std::move(data);
    return true;
}

bool ReadTextFile(const std::string& path, std::string& text, std::string* error) {
    if (ReadTextFile(path, text)) {
        return true;
    }
    if (error) {
        *error = "cannot read " + path;
    }
    return false;
}
