#include "Walks.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "Records.h"

namespace jobreader {

namespace {

// Copies the text and zero-fills the rest of the field; the texts were cut to fit when read.
template <std::size_t N>
void Put(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

std::size_t RecordSize(WalkKind kind) {
    switch (kind) {
        case WalkKind::JobLists:
            return sizeof(JobListRecord);
        case WalkKind::JobInfo:
            return sizeof(JobInfoRecord);
        case WalkKind::Panels:
        case WalkKind::Glass:
            return sizeof(ItemRecord);
    }
    return 0;
}

}  // namespace

std::size_t Walk::size() const {
    if (kind == WalkKind::JobLists) return jobs.size();
    if (jobs.empty()) return 0;
    const JobListFile& job = *jobs.front();
    switch (kind) {
        case WalkKind::JobInfo:
            return job.items.size();
        case WalkKind::Panels:
            return job.panels.size();
        case WalkKind::Glass:
            return job.glass.size();
        case WalkKind::JobLists:
            break;
    }
    return 0;
}

void Walk::fill(std::size_t index, void* record) const {
    std::memset(record, 0, RecordSize(kind));
    if (index >= size()) return;
    if (kind == WalkKind::JobLists) {
        JobListRecord r{};
        Put(r.name, jobs[index]->name);
        Put(r.description, jobs[index]->description);
        std::memcpy(record, &r, sizeof r);
        return;
    }
    const JobListFile& job = *jobs.front();
    if (kind == WalkKind::JobInfo) {
        JobInfoRecord r{};
        Put(r.jobName, job.name);
        Put(r.jobDescription, job.description);
        Put(r.customer, job.customer);
        r.itemNumber = job.items[index].number;
        Put(r.itemName, job.items[index].name);
        std::memcpy(record, &r, sizeof r);
        return;
    }
    const PieceLine& piece = kind == WalkKind::Panels ? job.panels[index] : job.glass[index];
    ItemRecord r{};
    r.itemNumber = piece.item;
    Put(r.serie, piece.serie);
    Put(r.code, piece.code);
    for (int k = 0; k < 3; ++k) Put(r.treatment[k], piece.treatment[k]);
    r.quantity = piece.quantity;
    r.width = piece.width;
    r.height = piece.height;
    std::memcpy(record, &r, sizeof r);
}

QjlHandle WalkTable::start(Walk walk, void* record) {
    walk.fill(0, record);
    if (walk.size() == 0) return 0;
    walk.next = 1;
    return keep(std::move(walk));
}

QjlHandle WalkTable::next(QjlHandle handle, WalkKind kind, void* record) {
    const auto found = walks_.find(handle);
    if (handle == 0 || found == walks_.end() || found->second.kind != kind) return 0;
    Walk walk = std::move(found->second);
    walks_.erase(found);
    // Past the last record the caller gets a cleared record (item 0, no texts) with the 0 handle.
    walk.fill(walk.next, record);
    if (walk.next >= walk.size()) return 0;
    ++walk.next;
    // A new handle per step, so a caller that repeats an old handle gets 0 instead of a record
    // it has already had.
    return keep(std::move(walk));
}

QjlHandle WalkTable::keep(Walk walk) {
    while (walks_.size() >= kMaxOpenWalks) {
        const auto oldest = std::min_element(walks_.begin(), walks_.end(), [](const auto& a, const auto& b) {
            return a.second.lastUse < b.second.lastUse;
        });
        walks_.erase(oldest);
    }
    do {
        ++lastHandle_;
    } while (lastHandle_ == 0 || walks_.count(lastHandle_));
    walk.lastUse = ++clock_;
    walks_.emplace(lastHandle_, std::move(walk));
    return lastHandle_;
}

}  // namespace jobreader
