#include "model/JobListImport.h"

#include <cstring>
#include <unordered_map>

#include "common/Messages.h"
#include "common/UserPrompt.h"
#include "model/Job.h"
#include "settings/Units.h"
#include "suite/JobListLibrary.h"

namespace tavrel {

namespace {

using Record = std::vector<char>;

std::string Text(const Record& record, std::size_t offset, std::size_t size) {
    const char* start = record.data() + offset;
    const void* zero = std::memchr(start, 0, size);
    return std::string(start, zero ? static_cast<const char*>(zero) - start : size);
}

std::int32_t Int32(const Record& record, std::size_t offset) {
    std::int32_t value = 0;
    std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

void AddProblems(JobListImportReport& report, const JobListCalls& calls) {
    for (std::string& problem : JobListReaderProblems(calls)) {
        bool seen = false;
        for (const std::string& known : report.readerProblems) seen = seen || known == problem;
        // The reader reads the file again for every walk and names the same lines each time.
        if (!seen) report.readerProblems.push_back(std::move(problem));
    }
}

// Item number -> item name. A map rather than a table of itemCount entries: the count comes
// from another program, and a wild one must not cost gigabytes.
using ItemNames = std::unordered_map<std::int32_t, std::string>;

ItemNames ReadItemNames(const std::string& id, std::int32_t count, const JobListCalls& calls,
                        JobListImportReport& report) {
    ItemNames names;
    if (count <= 0) return names;
    Record record(JobInfoRecord::kSize, 0);
    JobListHandle handle = calls.getJobInfoFirst(id.c_str(), record.data());
    AddProblems(report, calls);
    bool more = false;
    do {
        more = handle != 0;
        const std::int32_t item = Int32(record, JobInfoRecord::kItemNumber);
        // The first name seen for an item wins.
        if (item >= 1 && item <= count && !names.count(item))
            names[item] = Text(record, JobInfoRecord::kItemName, JobInfoRecord::kItemNameSize);
        std::memset(record.data() + JobInfoRecord::kCallerWord, 0, sizeof(std::int32_t));
        handle = calls.getJobInfoNext(handle, record.data());
    } while (more);
    return names;
}

class RecordTaker {
public:
    RecordTaker(Job& job, const CurrentUnit& unit, std::int32_t count, const ItemNames& names,
                JobListImportReport& report)
        : index_(job.pieces), unit_(unit), count_(count), names_(names), report_(report) {}

    void take(const Record& record) {
        const std::int32_t item = Int32(record, ItemRecord::kItemNumber);
        if (item < 1 || item > count_) {
            // The cleared record a reader gives with its 0 handle lands here too.
            if (item != 0) ++report_.outsideItems;
            return;
        }
        std::string treatment;
        for (std::size_t offset : ItemRecord::kTreatments) {
            const std::string part = Text(record, offset, ItemRecord::kTreatmentSize - 1);
            if (part.empty()) continue;
            if (!treatment.empty()) treatment += ' ';
            treatment += part;
        }
        const auto found = names_.find(item);
        const std::string name = found == names_.end() ? std::string() : found->second;
        Piece piece(Text(record, ItemRecord::kSerie, ItemRecord::kSerieSize - 1),
                    Text(record, ItemRecord::kCode, ItemRecord::kCodeSize - 1), treatment,
                    DisplayLength(unit_, Int32(record, ItemRecord::kWidth), 10, 1),
                    DisplayLength(unit_, Int32(record, ItemRecord::kHeight), 10, 1),
                    Int32(record, ItemRecord::kQuantity), name + "_" + std::to_string(item));
        index_.addOrMerge(std::move(piece));
        ++report_.records;
    }

private:
    PieceMergeIndex index_;
    const CurrentUnit& unit_;
    std::int32_t count_;
    const ItemNames& names_;
    JobListImportReport& report_;
};

using FirstCall = JobListHandle (*)(const char*, void*);
using NextCall = JobListHandle (*)(JobListHandle, void*);

void TakeWalk(const std::string& id, FirstCall first, NextCall next, RecordTaker& taker,
              const JobListCalls& calls, JobListImportReport& report) {
    Record record(ItemRecord::kSize, 0);
    JobListHandle handle = first(id.c_str(), record.data());
    AddProblems(report, calls);
    // An empty serie in the first record means the job has none of these records.
    if (Text(record, ItemRecord::kSerie, ItemRecord::kSerieSize - 1).empty()) return;
    taker.take(record);
    while (handle != 0) {
        handle = next(handle, record.data());
        taker.take(record);
    }
}

}  // namespace

JobListImportReport Job::importJobList(const std::string& jobListId, const CurrentUnit& unit,
                                       const JobListCalls& calls) {
    JobListImportReport report;
    report.readerAvailable = calls.complete();
    if (!report.readerAvailable) return report;
    const std::int32_t count = calls.getJobItemsNumber(jobListId.c_str());
    AddProblems(report, calls);
    report.itemCount = count;
    const ItemNames names = ReadItemNames(jobListId, count, calls, report);
    pieces.idMode = PiecesFromJobList;
    RecordTaker taker(*this, unit, count, names, report);
    TakeWalk(jobListId, calls.getPanFirst, calls.getPanNext, taker, calls, report);
    TakeWalk(jobListId, calls.getGlassFirst, calls.getGlassNext, taker, calls, report);
    return report;
}

bool TellJobListProblems(const JobListImportReport& report, UserPrompt& prompt) {
    if (report.readerProblems.empty()) return false;
    std::string list;
    for (const std::string& problem : report.readerProblems) list += "\n" + problem;
    Warn(prompt, "00403", "\n" + list);
    return true;
}

}  // namespace tavrel
