#include "pieces/NewJob.h"

#include <cstring>

#include "common/Messages.h"
#include "common/PathUtils.h"
#include "importing/SpreadsheetImport.h"
#include "model/Job.h"
#include "model/JobListImport.h"
#include "model/SpreadsheetResult.h"
#include "pieces/JobOpening.h"
#include "settings/AppSettings.h"
#include "suite/JobListLibrary.h"

namespace tavrel {

namespace {

// A text field of a reader record, up to its first zero or its last byte, whichever comes first.
std::string RecordText(const char* record, std::size_t offset, std::size_t size) {
    const char* start = record + offset;
    const void* zero = std::memchr(start, '\0', size - 1);
    return std::string(start, zero ? static_cast<const char*>(zero) - start : size - 1);
}

}  // namespace

std::vector<std::string> JobListRows(const JobListCalls& calls) {
    std::vector<std::string> rows;
    if (!calls.getJobListFirst || !calls.getJobListNext) return rows;
    char record[JobListRecord::kSize] = {};
    // A reader that never ends its walk must not hang the window.
    constexpr int kMostJobLists = 100000;
    for (JobListHandle handle = calls.getJobListFirst(record);
         handle != 0 && int(rows.size()) < kMostJobLists; handle = calls.getJobListNext(handle, record)) {
        rows.push_back(RecordText(record, JobListRecord::kName, JobListRecord::kNameSize) + "\t" +
                       RecordText(record, JobListRecord::kDescription, JobListRecord::kDescriptionSize));
        std::memset(record, 0, sizeof record);
    }
    return rows;
}

bool TakeNewJobChoice(const AppSettings& settings, NewJobSource source, const std::string* row,
                      NewJobTexts& texts) {
    if (source == NewJobSource::Empty) {
        texts = NewJobTexts();
        return true;
    }
    if (!row) return false;
    const std::size_t tab = row->find('\t');
    if (tab == std::string::npos) return false;
    if (source == NewJobSource::JobList) {
        texts = NewJobTexts();
        texts.jobListName = row->substr(0, tab);
        texts.jobListDescription = row->substr(tab + 1);
        return true;
    }
    ChosenResult chosen;
    if (!ChooseResult(settings, *row, chosen)) return false;
    texts = NewJobTexts();
    texts.resultName = chosen.name;
    texts.resultDescription = chosen.description;
    texts.resultPath = chosen.path;
    return true;
}

bool BuildNewJob(const AppSettings& settings, const NewJobTexts& texts, const JobListCalls* calls, Job& job,
                 std::string& jobPath, UserPrompt& prompt) {
    jobPath.clear();
    if (!texts.resultPath.empty()) {
        job.name = texts.resultDescription.empty() ? texts.resultName : texts.resultDescription;
        job.title = texts.resultName.empty() ? std::string("EXCEL") : texts.resultName;
        // Named by the title, so a result without a name gives EXCEL.TVL, not a hidden ".TVL".
        jobPath = JoinPath(settings.jobFolder, job.title + ".TVL");
        const SpreadsheetResultReport report = job.importSpreadsheet(texts.resultPath, settings.current);
        TellSpreadsheetProblems(report, texts.resultPath, prompt);
        JobOpening opening;
        PrepareOpenedJob(settings, job, prompt, opening);
        return true;
    }
    if (!texts.jobListName.empty()) {
        job.name = texts.jobListDescription.empty() ? texts.jobListName : texts.jobListDescription;
        job.title = texts.jobListName;
        jobPath = JoinPath(settings.jobFolder, texts.jobListName + ".TVL");
        JobListImportReport report;
        if (calls) {
            report = job.importJobList(texts.jobListName, settings.current, *calls);
        }
        TellJobListProblems(report, prompt);
        JobOpening opening;
        PrepareOpenedJob(settings, job, prompt, opening);
        return true;
    }
    job.title = Msg("00189");
    return false;
}

}  // namespace tavrel
