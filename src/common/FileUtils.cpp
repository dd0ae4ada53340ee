#include "common/FileUtils.h"

#include <unistd.h>

#include <atomic>
#include <cstring>

#include "common/PathUtils.h"
#include "platform/Platform.h"

bool PathExists(const std::string& pattern) { return !Platform::Find(pattern).empty(); }

bool FolderExists(const std::string& pattern) {
    for (const auto& entry : Platform::Find(pattern))
        if (entry.isDirectory) return true;
    return false;
}

long long FileSize(const std::string& pattern) {
    auto found = Platform::Find(pattern);
    if (found.empty()) return -1;
    long long size = found.front().size;
    if (size < 0 || size > 0xFFFFFFFFLL) return -1;
    return size;
}

int DeleteMatching(const std::string& folder, const std::string& pattern) {
    int deleted = 0;
    for (const auto& entry : Platform::Find(JoinPath(folder, pattern))) {
        if (entry.isDirectory) continue;
        if (Platform::DeleteFile(entry.path)) ++deleted;
    }
    return deleted;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    if (Platform::IsDirectory(path)) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

namespace {
std::atomic<long long> g_failAfterBytes{-1};
std::atomic<int> g_failAfterFiles{-1};

// A stdio cookie would be neater, but a plain counter on fwrite keeps this portable: the
// writer writes into a memory buffer, and the buffer goes to disk in one checked step.
bool WriteAllToTemp(const std::string& tempPath, const std::string& content) {
    std::FILE* f = std::fopen(tempPath.c_str(), "wb");
    if (!f) return false;
    size_t limit = content.size();
    const long long failAfter = g_failAfterBytes.load();
    bool simulatedFailure = failAfter >= 0 && static_cast<size_t>(failAfter) < content.size();
    if (simulatedFailure) limit = static_cast<size_t>(failAfter);
    bool ok = std::fwrite(content.data(), 1, limit, f) == limit && !simulatedFailure;
    if (std::fflush(f) != 0) ok = false;
    if (ok && ::fsync(fileno(f)) != 0) ok = false;
    if (std::fclose(f) != 0) ok = false;
    return ok;
}
}  // namespace

void SetWriteFailureAfterBytes(long long bytes) { g_failAfterBytes = bytes; }
void SetWriteFailureAfterFiles(int files) { g_failAfterFiles = files; }

bool WriteFileAtomically(const std::string& path, const std::string& content) {
    if (path.empty()) return false;
    if (g_failAfterFiles == 0) return false;
    if (g_failAfterFiles > 0) --g_failAfterFiles;
    const std::string tempPath = path + ".tmp~" + std::to_string(::getpid());
    if (!WriteAllToTemp(tempPath, content)) {
        Platform::DeleteFile(tempPath);
        return false;
    }
    if (!Platform::RenameFile(tempPath, path)) {
        Platform::DeleteFile(tempPath);
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer) {
    // Render into memory first (open_memstream), then save in one checked step.
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* mem = ::open_memstream(&buffer, &size);
    if (!mem) return false;
    bool ok = writer(mem);
    if (std::fclose(mem) != 0) ok = false;
    std::string content = ok && buffer ? std::string(buffer, size) : std::string();
    std::free(buffer);
    return ok && WriteFileAtomically(path, content);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

bool ReadLine(std::FILE* file, std::string& line) {
    line.clear();
    if (!file) return false;
    int c;
    bool any = false;
    while ((c = std::fgetc(file)) != EOF) {
        any = true;
        if (c == '\n') break;
        line.push_back(static_cast<char>(c));
    }
    if (!any) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void WriteFileVersion(std::FILE* file, int number) {
    if (file) std::fprintf(file, "FILE_VERSION=%d\n", number);
}

int ReadIntLine(std::FILE* file) {
    std::string line;
    if (!ReadLine(file, line)) return 0;
    auto eq = line.find('=');
    if (eq == std::string::npos) return 0;
    return std::atoi(line.c_str() + eq + 1);
}

int CopySectionBody(const std::string& key, std::FILE* input, std::FILE* output) {
    if (key.empty() || !input || !output) return -1;
    auto trimmed = [](const std::string& s) {
        size_t b = s.find_first_not_of(" \t");
        size_t e = s.find_last_not_of(" \t");
        return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    };
    std::string line;
    bool found = false;
    while (ReadLine(input, line)) {
        if (trimmed(line).find(key) != std::string::npos) {
            found = true;
            break;
        }
    }
    if (!found) return 0;
    int copied = 0;
    bool first = true;
    while (ReadLine(input, line)) {
        const std::string t = trimmed(line);
        if (!first && t.find('[') != std::string::npos && t.find(']') != std::string::npos) break;
        first = false;
        std::fprintf(output, "%s\n", line.c_str());
        ++copied;
    }
    return copied;
}
