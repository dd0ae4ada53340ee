#pragma once
// A fresh folder per test, removed afterwards, plus small file helpers.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

class TempDir {
public:
    TempDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "tavrel-test-XXXXXX").string();
        path_ = ::mkdtemp(templ.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string RandomBytes(std::mt19937& rng, size_t maxLength) {
    std::uniform_int_distribution<size_t> len(0, maxLength);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s(len(rng), '\0');
    for (char& c : s) c = static_cast<char>(byte(rng));
    return s;
}

// Copies the shipped suite files into `folder`, making it a fresh installation.
inline void InstallSuiteFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path src = fs::path(TAVREL_SOURCE_DIR) / "resources";
    for (const char* f : {"CONFIG.INI", "BRENIX.INI", "Macchine.ini"})
        fs::copy_file(src / "suite" / f, fs::path(folder) / f, fs::copy_options::overwrite_existing);
    fs::create_directories(fs::path(folder) / "Msg");
    fs::copy_file(src / "Msg" / "Tavrel.msg", fs::path(folder) / "Msg" / "Tavrel.msg",
                  fs::copy_options::overwrite_existing);
}
