#pragma once
// The new job window's rules and what the pieces editor does with its answer: the job-list rows
// it offers, what its OK takes from the chosen row (the five texts), and building the job from
// those texts (an empty job, the pieces of a job list or those of a spreadsheet import result).

#include <string>
#include <vector>

namespace tavrel {

struct AppSettings;
struct Job;
struct JobListCalls;
class UserPrompt;

// What the new job window hands the pieces editor; all empty for an empty job.
struct NewJobTexts {
    std::string jobListName;
    std::string jobListDescription;
    std::string resultName;
    std::string resultDescription;
    std::string resultPath;
};

enum class NewJobSource { Empty, JobList, Spreadsheet };

// One "name<TAB>description" row per job list of the reader, in its order. The reader's texts
// are cut at their field sizes, so a record without its terminating zero cannot run on.
std::vector<std::string> JobListRows(const JobListCalls& calls);

// What OK takes from `row` (null: no row selected) for `source`. False when the window must
// stay open: no row, a row without a tab, or a spreadsheet result whose file is gone. `texts`
// is changed only when true is returned; for the empty job it is cleared.
bool TakeNewJobChoice(const AppSettings& settings, NewJobSource source, const std::string* row,
                      NewJobTexts& texts);

// The job the pieces editor opens for `texts`: its title, name and file path, and its pieces
// read from the spreadsheet result or the job list (`calls`, null when the reader is missing).
// What could not be read is told through `prompt`. An imported job is then prepared as an opened
// job file is (PrepareOpenedJob): every piece gets an identifier of its own, and materials the
// catalogue lacks are added to it. False for an empty job (nothing imported),
// true when the job was imported and so starts as modified.
bool BuildNewJob(const AppSettings& settings, const NewJobTexts& texts, const JobListCalls* calls, Job& job,
                 std::string& jobPath, UserPrompt& prompt);

}  // namespace tavrel
