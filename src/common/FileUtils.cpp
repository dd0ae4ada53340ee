#include "common/FileUtils.h"

#include <atomic>
#include <cstring>
#include <unistd.h>

#include "common/Messages.h"
#include "common/PathUtils.h"
#include "platform/Platform.h"

namespace tavrel {

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

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    const std::string full =
        IsSeparator(path.front()) ? path : Platform::CurrentFolder() + Platform::Separator() + path;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        size_t end = full.find_first_of("\\/", start);
        if (end == std::string::npos) end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const auto& part : parts) out += Platform::Separator() + part;
    return out.empty() ? std::string(1, Platform::Separator()) : out;
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
SaveProblem g_lastProblem = SaveProblem::None;

std::string FolderOf(const std::string& path) {
    const PathParts parts = SplitPath(path);
    if (!parts.folder.empty()) return parts.folder;
    return !path.empty() && IsSeparator(path.front()) ? path.substr(0, 1) : std::string(".");
}

bool Exists(const std::string& path) { return Platform::IsFile(path) || Platform::IsDirectory(path); }

bool Fail(SaveProblem problem) {
    g_lastProblem = problem;
    return false;
}
}  // namespace

void SetWriteFailureAfterBytes(long long bytes) { g_failAfterBytes = bytes; }
void SetWriteFailureAfterFiles(int files) { g_failAfterFiles = files; }

SaveProblem ProbeSave(const std::string& path) {
    if (path.empty()) return SaveProblem::Failed;
    const std::string target = Platform::ResolveLinks(path);
    if (target.empty() || Platform::IsDirectory(target)) return SaveProblem::Failed;
    if (Exists(target) && !Platform::FileWritable(target)) return SaveProblem::ReadOnly;
    if (!Platform::FolderWritable(FolderOf(target)))
        return Platform::IsDirectory(FolderOf(target)) ? SaveProblem::FolderReadOnly : SaveProblem::Failed;
    return SaveProblem::None;
}

SaveProblem LastSaveProblem() { return g_lastProblem; }

std::string SaveProblemText(SaveProblem problem) {
    switch (problem) {
        case SaveProblem::ReadOnly:
            return Msg("00272");
        case SaveProblem::FolderReadOnly:
            return Msg("00273");
        case SaveProblem::Missing:
            return Msg("00279");
        default:
            return Msg("00274");
    }
}

std::string SaveFailureMessage(const std::string& path, SaveProblem problem) {
    std::string text = Msg("00271") + "\n\n" + path;
    const std::string target = Platform::ResolveLinks(path);
    if (!target.empty() && target != path) text += "  ->  " + target;
    return text + "\n\n" + SaveProblemText(problem);
}

std::string SaveFailureMessage(const std::string& path) { return SaveFailureMessage(path, g_lastProblem); }

void NoteFailedSave(std::vector<FailedSave>& failed, const std::string& path) {
    for (const auto& f : failed)
        if (f.path == path) return;
    failed.push_back({path, g_lastProblem == SaveProblem::None ? SaveProblem::Failed : g_lastProblem});
}

std::string FailedSavesText(const std::vector<FailedSave>& failed) {
    std::string text;
    for (const auto& f : failed) text += f.path + " ...... " + SaveProblemText(f.problem) + "\n";
    return text;
}

bool WriteFileAtomically(const std::string& path, const std::string& content) {
    g_lastProblem = SaveProblem::None;
    if (path.empty()) return Fail(SaveProblem::Failed);
    if (g_failAfterFiles == 0) return Fail(SaveProblem::Failed);
    if (g_failAfterFiles > 0) --g_failAfterFiles;
    // A link shared by several stations must stay a link: the save goes to what it points at.
    const std::string target = Platform::ResolveLinks(path);
    if (target.empty() || Platform::IsDirectory(target)) return Fail(SaveProblem::Failed);
    // Replacing by rename would get past a read-only mark, so it is checked first.
    if (Exists(target) && !Platform::FileWritable(target)) return Fail(SaveProblem::ReadOnly);
    const std::string tempPath = target + ".tmp~" + std::to_string(::getpid());
    Platform::DeleteFile(tempPath);  // left by an interrupted save of an earlier run
    const long long failAfter = g_failAfterBytes.load();
    const bool simulatedFailure = failAfter >= 0 && static_cast<size_t>(failAfter) < content.size();
    const size_t size = simulatedFailure ? static_cast<size_t>(failAfter) : content.size();
    if (!Platform::WriteNewFile(tempPath, content.data(), size, target) || simulatedFailure) {
        const bool folderOk = Platform::FolderWritable(FolderOf(target));
        Platform::DeleteFile(tempPath);
        return Fail(folderOk || !Platform::IsDirectory(FolderOf(target)) ? SaveProblem::Failed
                                                                         : SaveProblem::FolderReadOnly);
    }
    if (!Platform::RenameFile(tempPath, target)) {
        Platform::DeleteFile(tempPath);
        return Fail(SaveProblem::Failed);
    }
    Platform::SyncFolder(FolderOf(target));
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer) {
    // Render into memory first (open_memstream), then save in one checked step.
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* mem = ::open_memstream(&buffer, &size);
    if (!mem) return Fail(SaveProblem::Failed);
    bool ok = writer(mem);
    if (std::fclose(mem) != 0) ok = false;
    std::string content = ok && buffer ? std::string(buffer, size) : std::string();
    std::free(buffer);
    if (!ok) return Fail(SaveProblem::Failed);
    return WriteFileAtomically(path, content);
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

}  // namespace tavrel
