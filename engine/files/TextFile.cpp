#include "files/TextFile.h"

#include <cctype>

#include <cstdio>
#include <fstream>

#include <unistd.h>

bool WriteTextFile(const std::string& path, const std::string& text)
{
    const std::string tmp = path + ".tmp" + std::to_string(static_cast<long>(::getpid()));
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

bool ReadTextFile(const std::string& path, std::string& text, size_t maxBytes)
{
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

std::string engine::Trim(const std::string& s)
{
    size_t a = 0;
    size_t b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) {
        ++a;
    }
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) {
        --b;
    }
    return s.substr(a, b - a);
}
