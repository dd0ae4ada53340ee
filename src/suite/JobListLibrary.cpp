#include "suite/JobListLibrary.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <type_traits>

#include "common/Messages.h"
#include "common/PathUtils.h"
#include "common/UserPrompt.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"

namespace tavrel {

const char* const kJobListLibraryName = "libQjlFileReader.so";

namespace {

// A text field of a record: up to its first zero, never past its end.
std::string Field(const std::vector<char>& record, std::size_t offset, std::size_t size) {
    const char* start = record.data() + offset;
    const void* zero = std::memchr(start, 0, size);
    return std::string(start, zero ? static_cast<const char*>(zero) - start : size);
}

}  // namespace

JobListLibrary::~JobListLibrary() { release(); }

JobListLibrary& JobListLibrary::instance() {
    static JobListLibrary library;
    return library;
}

void JobListLibrary::release() {
    calls_ = {};
    complete_ = false;
    if (handle_) ::dlclose(handle_);
    handle_ = nullptr;
    pending_ = true;
}

bool JobListLibrary::load(const AppSettings& settings, UserPrompt& prompt, bool force) {
    if (!pending_ && !force) return complete_;
    release();
    pending_ = false;
    // Only the installation's own copy is wanted, never one found on the search path.
    const std::string path = JoinPath(settings.installFolder, kJobListLibraryName);
    if (Platform::IsFile(path)) handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        Warn(prompt, "00400", " '" + path + "'");
        return false;
    }
    std::string missing;
    auto resolve = [&](const char* name, auto& into, bool required = true) {
        into = reinterpret_cast<std::remove_reference_t<decltype(into)>>(::dlsym(handle_, name));
        if (!into && required) missing += std::string(missing.empty() ? "" : ", ") + name;
    };
    resolve("GetJobListFirst", calls_.getJobListFirst);
    resolve("GetJobListNext", calls_.getJobListNext);
    resolve("GetJobItemsNumber", calls_.getJobItemsNumber);
    resolve("GetJobInfoFirst", calls_.getJobInfoFirst);
    resolve("GetJobInfoNext", calls_.getJobInfoNext);
    resolve("GetPanFirst", calls_.getPanFirst);
    resolve("GetPanNext", calls_.getPanNext);
    resolve("GetGlassFirst", calls_.getGlassFirst);
    resolve("GetGlassNext", calls_.getGlassNext);
    resolve("QjlGetLastError", calls_.lastError, false);
    complete_ = missing.empty();
    if (!complete_) {
        // Half a reader would walk job lists it cannot import: offer none.
        calls_ = {};
        prompt.ask(Msg("00401") + " '" + missing + "' " + Msg("00402"), "00073", PromptIcon::Exclamation,
                   PromptButtons::Ok);
    }
    return complete_;
}

std::vector<JobListEntry> ReadJobLists(const JobListCalls& calls) {
    std::vector<JobListEntry> lists;
    if (!calls.complete()) return lists;
    std::vector<char> record(JobListRecord::kSize, 0);
    const auto take = [&] {
        lists.push_back({Field(record, JobListRecord::kName, JobListRecord::kNameSize - 1),
                         Field(record, JobListRecord::kDescription, JobListRecord::kDescriptionSize - 1)});
    };
    // A record comes with every handle other than 0; the record that comes with 0 describes
    // nothing.
    for (JobListHandle handle = calls.getJobListFirst(record.data()); handle != 0;
         handle = calls.getJobListNext(handle, record.data())) {
        take();
        std::fill(record.begin(), record.end(), 0);
    }
    return lists;
}

std::vector<std::string> JobListRows(const std::vector<JobListEntry>& lists) {
    std::vector<std::string> rows;
    rows.reserve(lists.size());
    for (const JobListEntry& list : lists) rows.push_back(list.name + "\t" + list.description);
    return rows;
}

std::vector<std::string> JobListReaderProblems(const JobListCalls& calls) {
    std::vector<std::string> problems;
    if (!calls.lastError) return problems;
    const std::int32_t length = calls.lastError(nullptr, 0);
    if (length <= 0) return problems;
    std::vector<char> text(static_cast<std::size_t>(length) + 1, 0);
    calls.lastError(text.data(), static_cast<std::int32_t>(text.size()));
    const std::string all(text.data(), ::strnlen(text.data(), text.size()));
    std::size_t start = 0;
    while (start < all.size()) {
        const std::size_t end = std::min(all.find('\n', start), all.size());
        if (end > start) problems.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return problems;
}

}  // namespace tavrel
