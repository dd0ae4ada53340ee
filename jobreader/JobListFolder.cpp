#include "JobListFolder.h"

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <set>

#include "TextDecoding.h"

namespace jobreader {

namespace fs = std::filesystem;

namespace {

struct Candidate {
    std::string path;
    std::string name;  // UTF-8
};

bool IsJobListFileName(const std::string& name) {
    if (name.size() < 5 || name.front() == '.') return false;
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension == ".qjl";
}

// The job-list files of the folder in the order of their paths. A folder that is not there is a
// problem; an empty one is not (the production program has not written anything yet).
std::vector<Candidate> ListFiles(const std::string& folder, std::vector<std::string>& problems) {
    std::vector<Candidate> files;
    std::error_code ec;
    if (folder.empty()) {
        problems.push_back("the reader cannot tell the folder it is installed in");
        return files;
    }
    if (!fs::is_directory(folder, ec)) {
        problems.push_back("the job-list folder " + folder + " does not exist");
        return files;
    }
    fs::directory_iterator it(folder, ec), end;
    if (ec) {
        problems.push_back("the job-list folder " + folder + " cannot be read");
        return files;
    }
    for (; it != end; it.increment(ec)) {
        if (ec) break;
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (!IsJobListFileName(name) || !it->is_regular_file(typeError)) continue;
        files.push_back({it->path().string(), IsUtf8(name) ? name : FromWindows1252(name)});
    }
    std::sort(files.begin(), files.end(),
              [](const Candidate& a, const Candidate& b) { return a.path < b.path; });
    return files;
}

std::optional<std::string> ReadBytes(const std::string& path, const std::string& name,
                                     std::vector<std::string>& problems) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) {
        problems.push_back(name + ": cannot be read; the file is left out");
        return std::nullopt;
    }
    if (size > kMaxFileBytes) {
        problems.push_back(name + ": is larger than " + std::to_string(kMaxFileBytes >> 20) +
                           " MB, which no job list is; the file is left out");
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        problems.push_back(name + ": cannot be read; the file is left out");
        return std::nullopt;
    }
    return bytes;
}

// Ordered as a person looks for a name: letter case ignored first, then byte for byte.
bool ByName(const std::shared_ptr<const JobListFile>& a, const std::shared_ptr<const JobListFile>& b) {
    auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    const std::string la = lower(a->name), lb = lower(b->name);
    return la != lb ? la < lb : a->name < b->name;
}

// Reads the files in order until `stopAt` (when given) is found; keeps the problems of lines
// only for the job list looked for.
FolderScan Scan(const std::string& folder, const std::string* stopAt) {
    FolderScan scan;
    std::set<std::string> names;
    for (const Candidate& file : ListFiles(folder, scan.problems)) {
        const auto bytes = ReadBytes(file.path, file.name, scan.problems);
        if (!bytes) continue;
        ParsedJobList parsed = ParseJobList(*bytes, file.name);
        if (!parsed.usable) {
            // A file that is not a job list at all only matters to whoever lists the folder.
            if (!stopAt)
                scan.problems.insert(scan.problems.end(), parsed.problems.begin(), parsed.problems.end());
            continue;
        }
        const std::string& name = parsed.job.name;
        if (!names.insert(name).second) {
            if (!stopAt)
                scan.problems.push_back(file.name + ": names the job list " + name +
                                        ", which an earlier file already names; the file is left out");
            continue;
        }
        if (stopAt && name != *stopAt) continue;
        if (stopAt) scan.problems.insert(scan.problems.end(), parsed.problems.begin(), parsed.problems.end());
        scan.jobs.push_back(std::make_shared<const JobListFile>(std::move(parsed.job)));
        if (stopAt) break;
    }
    if (!stopAt) std::sort(scan.jobs.begin(), scan.jobs.end(), ByName);
    return scan;
}

}  // namespace

std::string InstalledFolder() {
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&InstalledFolder), &info) || !info.dli_fname) return {};
    std::error_code ec;
    const fs::path library = fs::absolute(fs::path(info.dli_fname), ec);
    if (ec) return {};
    return (library.parent_path() / "JobLists").string();
}

FolderScan ScanFolder(const std::string& folder) { return Scan(folder, nullptr); }

std::shared_ptr<const JobListFile> FindJobList(const std::string& folder, const std::string& name,
                                               std::vector<std::string>& problems) {
    FolderScan scan = Scan(folder, &name);
    problems = std::move(scan.problems);
    return scan.jobs.empty() ? nullptr : scan.jobs.front();
}

}  // namespace jobreader
