// The C calls of libQjlFileReader.so. Each takes the one lock, so callers on several threads
// see whole calls, and none lets an exception out into a caller that cannot take one.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "JobListFolder.h"
#include "QjlFileReader.h"
#include "TextDecoding.h"
#include "Walks.h"

using namespace jobreader;

namespace {

// More problems than this in one call are summed up in a last line: nobody reads ten thousand.
constexpr std::size_t kMaxProblemLines = 200;
// The longest job-list identifier looked at; identifiers are 20 bytes, the rest is noise.
constexpr std::size_t kMaxIdBytes = 255;

// Everything the library keeps between calls. It is destroyed when the library is unloaded or
// the process ends, which frees what callers left open.
struct State {
    std::mutex lock;
    WalkTable walks;
    std::string lastError;
};

State& TheState() {
    static State state;
    return state;
}

void SetProblems(State& state, const std::vector<std::string>& problems) {
    state.lastError.clear();
    const std::size_t shown = std::min(problems.size(), kMaxProblemLines);
    for (std::size_t k = 0; k < shown; ++k) {
        if (k) state.lastError += '\n';
        state.lastError += problems[k];
    }
    if (problems.size() > shown)
        state.lastError += "\n... and " + std::to_string(problems.size() - shown) + " more problems";
}

std::string Identifier(const char* id) {
    if (!id) return {};
    return std::string(id, ::strnlen(id, kMaxIdBytes));
}

// Starts a walk over the job list `id`: its items, panels or glass records.
QjlHandle StartJobWalk(const char* id, void* record, WalkKind kind) {
    if (!record) return 0;
    try {
        State& state = TheState();
        std::lock_guard<std::mutex> guard(state.lock);
        std::vector<std::string> problems;
        Walk walk;
        walk.kind = kind;
        if (auto job = FindJobList(InstalledFolder(), Identifier(id), problems))
            walk.jobs.push_back(std::move(job));
        SetProblems(state, problems);
        return state.walks.start(std::move(walk), record);
    } catch (...) {
        return 0;
    }
}

QjlHandle NextOfWalk(QjlHandle handle, void* record, WalkKind kind) {
    if (!record || handle == 0) return 0;
    try {
        State& state = TheState();
        std::lock_guard<std::mutex> guard(state.lock);
        return state.walks.next(handle, kind, record);
    } catch (...) {
        return 0;
    }
}

}  // namespace

extern "C" {

QjlHandle GetJobListFirst(void* record) {
    if (!record) return 0;
    try {
        State& state = TheState();
        std::lock_guard<std::mutex> guard(state.lock);
        FolderScan scan = ScanFolder(InstalledFolder());
        SetProblems(state, scan.problems);
        Walk walk;
        walk.kind = WalkKind::JobLists;
        walk.jobs = std::move(scan.jobs);
        return state.walks.start(std::move(walk), record);
    } catch (...) {
        return 0;
    }
}

QjlHandle GetJobListNext(QjlHandle handle, void* record) {
    return NextOfWalk(handle, record, WalkKind::JobLists);
}

int32_t GetJobItemsNumber(const char* jobListId) {
    try {
        State& state = TheState();
        std::lock_guard<std::mutex> guard(state.lock);
        std::vector<std::string> problems;
        const auto job = FindJobList(InstalledFolder(), Identifier(jobListId), problems);
        SetProblems(state, problems);
        return job ? job->itemCount() : 0;
    } catch (...) {
        return 0;
    }
}

QjlHandle GetJobInfoFirst(const char* jobListId, void* record) {
    return StartJobWalk(jobListId, record, WalkKind::JobInfo);
}
QjlHandle GetJobInfoNext(QjlHandle handle, void* record) {
    return NextOfWalk(handle, record, WalkKind::JobInfo);
}
QjlHandle GetPanFirst(const char* jobListId, void* record) {
    return StartJobWalk(jobListId, record, WalkKind::Panels);
}
QjlHandle GetPanNext(QjlHandle handle, void* record) { return NextOfWalk(handle, record, WalkKind::Panels); }
QjlHandle GetGlassFirst(const char* jobListId, void* record) {
    return StartJobWalk(jobListId, record, WalkKind::Glass);
}
QjlHandle GetGlassNext(QjlHandle handle, void* record) { return NextOfWalk(handle, record, WalkKind::Glass); }

int32_t QjlGetLastError(char* buffer, int32_t size) {
    try {
        State& state = TheState();
        std::lock_guard<std::mutex> guard(state.lock);
        const std::string& text = state.lastError;
        if (buffer && size > 0) {
            const std::string_view cut = CutToBytes(text, static_cast<std::size_t>(size) - 1);
            std::memcpy(buffer, cut.data(), cut.size());
            buffer[cut.size()] = '\0';
        }
        return static_cast<int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
    } catch (...) {
        if (buffer && size > 0) buffer[0] = '\0';
        return 0;
    }
}

void QjlReleaseAll(void) {
    try {
        State& state = TheState();
        std::lock_guard<std::mutex> guard(state.lock);
        state.walks.clear();
        state.lastError.clear();
        state.lastError.shrink_to_fit();
    } catch (...) {}
}

}  // extern "C"
