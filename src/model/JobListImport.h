#pragma once
// Taking a job's pieces from a job list of another production program, through the calls of the
// job-list reader (suite/JobListLibrary.h): Job::importJobList and what it tells the caller.

#include <string>
#include <vector>

namespace tavrel {

class UserPrompt;

// What an import found. The reader's problems are the lines it left out of the job list, so
// pieces the user expects are missing; the pieces editor shows them (TellJobListProblems).
struct JobListImportReport {
    bool readerAvailable = false;  // every call of the reader was there
    int itemCount = 0;             // what the reader gave as the job's number of items
    int records = 0;               // panel and glass records that made a piece or merged
    int outsideItems = 0;          // records whose item number lay outside 1..itemCount
    std::vector<std::string> readerProblems;
};

// Tells the user which lines of the job list were left out; nothing when none were. True when
// something was shown.
bool TellJobListProblems(const JobListImportReport& report, UserPrompt& prompt);

}  // namespace tavrel
