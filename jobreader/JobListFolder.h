#pragma once
// The folder of job-list files: every "*.qjl" file in it (letter case ignored, hidden files and
// sub-folders left alone), read in the order of the file names. When two files name the same
// job, the first one counts and the other is reported.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "JobListFile.h"

namespace jobreader {

// Files larger than this are not job lists a production program writes; they are left out
// rather than read into memory.
constexpr std::size_t kMaxFileBytes = 16u << 20;

struct FolderScan {
    std::vector<std::shared_ptr<const JobListFile>> jobs;  // one per name, ordered by name
    std::vector<std::string> problems;                     // files left out, and why
};

// The JobLists folder beside the library file this code is in; empty when it cannot be told.
std::string InstalledFolder();

// Every usable job list of `folder`. Only the problems that leave whole files out are reported.
FolderScan ScanFolder(const std::string& folder);

// The job list whose name is exactly `name`, with the problems of its lines. `problems` gets
// a line when the folder is missing.
std::shared_ptr<const JobListFile> FindJobList(const std::string& folder, const std::string& name,
                                               std::vector<std::string>& problems);

}  // namespace jobreader
