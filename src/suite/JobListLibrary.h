#pragma once
// The job-list reader of the suite (libQjlFileReader.so beside the executable), loaded at run
// time, and the records it fills. Without it the program still works: the user is told once,
// and there are simply no job lists to start a job from.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrel {

struct AppSettings;
class UserPrompt;

extern const char* const kJobListLibraryName;

// A handle of a walk over the reader's records; 0: no further record follows.
using JobListHandle = std::uint32_t;

// The byte layouts of the three records, as the reader fills them. The program hands the reader
// wholly cleared buffers, which covers every field the reader expects cleared.
namespace JobListRecord {
constexpr std::size_t kSize = 276;
constexpr std::size_t kName = 0;
constexpr std::size_t kNameSize = 21;
constexpr std::size_t kDescription = 21;
constexpr std::size_t kDescriptionSize = 255;
}  // namespace JobListRecord

namespace JobInfoRecord {
constexpr std::size_t kSize = 5208;
constexpr std::size_t kItemNumber = 280;  // int32, 1-based
constexpr std::size_t kItemName = 284;
constexpr std::size_t kItemNameSize = 20;  // up to the next field
constexpr std::size_t kCallerWord = 5200;  // int32, cleared before every next call
}  // namespace JobInfoRecord

namespace ItemRecord {
constexpr std::size_t kSize = 376;
constexpr std::size_t kItemNumber = 12;  // int32, 1-based
constexpr std::size_t kSerie = 16;
constexpr std::size_t kSerieSize = 31;
constexpr std::size_t kCode = 47;
constexpr std::size_t kCodeSize = 31;
constexpr std::size_t kQuantity = 176;  // int32
constexpr std::size_t kWidth = 184;     // int32, whole millimetres
constexpr std::size_t kHeight = 188;    // int32
constexpr std::size_t kTreatments[] = {212, 233, 254};
constexpr std::size_t kTreatmentSize = 21;
}  // namespace ItemRecord

// The reader's calls. Tests may fill one with their own functions.
struct JobListCalls {
    JobListHandle (*getJobListFirst)(void* record) = nullptr;
    JobListHandle (*getJobListNext)(JobListHandle handle, void* record) = nullptr;
    std::int32_t (*getJobItemsNumber)(const char* id) = nullptr;
    JobListHandle (*getJobInfoFirst)(const char* id, void* record) = nullptr;
    JobListHandle (*getJobInfoNext)(JobListHandle handle, void* record) = nullptr;
    JobListHandle (*getPanFirst)(const char* id, void* record) = nullptr;
    JobListHandle (*getPanNext)(JobListHandle handle, void* record) = nullptr;
    JobListHandle (*getGlassFirst)(const char* id, void* record) = nullptr;
    JobListHandle (*getGlassNext)(JobListHandle handle, void* record) = nullptr;
    // Our own reader's account of the lines it could not take; a reader without it has none.
    std::int32_t (*lastError)(char* buffer, std::int32_t size) = nullptr;

    // Every call the program makes is there (lastError is optional).
    bool complete() const {
        return getJobListFirst && getJobListNext && getJobItemsNumber && getJobInfoFirst && getJobInfoNext &&
               getPanFirst && getPanNext && getGlassFirst && getGlassNext;
    }
};

class JobListLibrary {
public:
    ~JobListLibrary();
    // Loads the installation's reader when no load was tried yet or `force` is set, telling the
    // user when it is missing or lacks a call; a later load() without `force` tells nothing
    // again. True when every call is there.
    bool load(const AppSettings& settings, UserPrompt& prompt, bool force = false);
    // Unloads the reader (ending its open walks); the next load() loads it again.
    void release();
    bool loaded() const { return handle_ != nullptr; }
    // All null while the reader is not loaded.
    const JobListCalls& calls() const { return calls_; }

    // The one reader of the process.
    static JobListLibrary& instance();

private:
    void* handle_ = nullptr;
    bool pending_ = true;
    bool complete_ = false;
    JobListCalls calls_;
};

struct JobListEntry {
    std::string name;         // at most 20 bytes: the identifier the other calls take
    std::string description;  // at most 254 bytes
};

// Every job list the reader offers, in its order; none when a call is missing.
std::vector<JobListEntry> ReadJobLists(const JobListCalls& calls);
// The rows of the new-job window: name, tab, description.
std::vector<std::string> JobListRows(const std::vector<JobListEntry>& lists);
// What the reader could not take in its last reading, one text per problem; none when it has
// nothing to say or cannot say it.
std::vector<std::string> JobListReaderProblems(const JobListCalls& calls);

}  // namespace tavrel
