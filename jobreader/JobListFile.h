#pragma once
// One job-list file as the reader understands it: the job's name, texts and items, and its
// panel and glass lines, every text already UTF-8 and cut to the size of the record field that
// carries it. Parsing never fails on bad bytes: a line it cannot take is left out and described
// in `problems`; a file it cannot take at all comes back not usable.

#include <string>
#include <string_view>
#include <vector>

namespace jobreader {

// Limits of the numbers a line may hold. Quantities and sizes stop where the optimiser stops.
constexpr int kMaxItemNumber = 99999;
constexpr int kMaxQuantity = 99999;
constexpr int kMaxSize = 9999999;  // whole millimetres

struct ItemLine {
    int number = 0;
    std::string name;
};

struct PieceLine {
    int item = 0;
    std::string serie;
    std::string code;
    std::string treatment[3];
    int quantity = 0;
    int width = 0;  // whole millimetres
    int height = 0;
};

struct JobListFile {
    std::string fileName;  // as found in the folder, for the problems it is named in
    std::string name;      // the job list's identifier
    std::string description;
    std::string customer;
    std::vector<ItemLine> items;  // file order, each number once
    std::vector<PieceLine> panels;
    std::vector<PieceLine> glass;

    // The highest item number: every item's number lies in 1..itemCount().
    int itemCount() const;
};

struct ParsedJobList {
    bool usable = false;  // false: not a job list of a format this reader takes
    JobListFile job;
    std::vector<std::string> problems;  // "<file> line <n>: <what>"
};

// `fileName` names the file in problems; its part before the last '.' names the job when the
// file has no JOB line.
ParsedJobList ParseJobList(std::string_view bytes, const std::string& fileName);

// Whether `name` can identify a job list: it becomes a file name of the program (a job file
// named after it), so it holds no path or wildcard characters, no control characters and does
// not end in a dot. Empty when it can, else the reason.
std::string NameProblem(std::string_view name);

}  // namespace jobreader
