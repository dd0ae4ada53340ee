#pragma once
// What a catalogue or job reader found, for the batch tool and for tests. The readers never fail
// on content; this says what they made of it.

#include <string>
#include <vector>

namespace tavrel {

struct ReadReport;

// A record that was read and kept but cannot be used: where it is and which field is wrong.
struct RecordProblem {
    int line = 0;       // counted from 1
    std::string field;  // "width", "quantity", ...
};

// "Plates.dat, line 7: width" for each problem, one a line; empty when there is none.
std::string DescribeProblems(const std::string& path, const ReadReport& report);

struct ReadReport {
    bool opened = false;                  // the file could be read
    int version = 0;                      // the FILE_VERSION found (0: none)
    int records = 0;                      // record lines taken (entries, plates, pieces)
    int entries = 0;                      // elements in the list afterwards
    int merged = 0;                       // lines merged into an earlier equal entry (plates, pieces)
    int dropped = 0;                      // lines dropped because an equal key came earlier (materials)
    int corrected = 0;                    // values corrected while reading (unlimited plates' quantity)
    int longLines = 0;                    // lines longer than the format's classic limit, read whole
    int blankLines = 0;                   // blank lines between records, skipped
    int blankInBlock = 0;                 // blank lines where a counted block promised a record
    int missingLines = 0;                 // lines a count promised that the file does not hold
    int surplusLines = 0;                 // record lines beyond what a count promised, read all the same
    int ignoredLines = 0;                 // lines that fit nowhere in the file's layout, left out
    int storableFixes = 0;                // texts changed by the writer so that they read back the same
    std::vector<RecordProblem> problems;  // records kept in the file that cannot be used
};

}  // namespace tavrel
