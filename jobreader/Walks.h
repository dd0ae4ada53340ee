#pragma once
// The walks that callers hold handles to. A walk keeps its own copy of what it walks over, so
// a file rewritten by the production program in the middle of a walk changes nothing for it,
// and any number of walks (the job lists, the panels and the glass of one job) can be open at
// once. A walk ends when it is asked for a record after its last one; walks a caller leaves unfinished are
// dropped, the least recently used first, once more than kMaxOpenWalks are open.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "JobListFile.h"
#include "QjlFileReader.h"

namespace jobreader {

constexpr std::size_t kMaxOpenWalks = 64;

enum class WalkKind { JobLists, JobInfo, Panels, Glass };

struct Walk {
    WalkKind kind = WalkKind::JobLists;
    std::vector<std::shared_ptr<const JobListFile>> jobs;  // JobLists: every job; else one
    std::size_t next = 0;                                  // the record the next call fills
    std::uint64_t lastUse = 0;

    std::size_t size() const;
    // Clears the record and fills it with record `index` of the walk.
    void fill(std::size_t index, void* record) const;
};

class WalkTable {
public:
    // Fills the record with the walk's first record and returns the walk's handle; zeros and 0
    // when the walk has no record.
    QjlHandle start(Walk walk, void* record);
    // Fills the next record of the walk `handle` and returns its next handle; after the last
    // record, zeros and 0 (the walk ends). 0, the record left as it was, for a handle that is 0,
    // spent or of another kind of walk.
    QjlHandle next(QjlHandle handle, WalkKind kind, void* record);
    void clear() { walks_.clear(); }
    std::size_t open() const { return walks_.size(); }

private:
    QjlHandle keep(Walk walk);

    std::map<QjlHandle, Walk> walks_;
    QjlHandle lastHandle_ = 0;
    std::uint64_t clock_ = 0;
};

}  // namespace jobreader
