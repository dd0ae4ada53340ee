#pragma once
// Reading a result file of the spreadsheet import program into a job's pieces
// (Job::importSpreadsheet), and what the reading tells the caller. The file is the program's
// ".TVX" output: one piece per data line, then its [XNI_GENERAL] section (see
// src/importing/README.md for the layout). Every line that does not become a piece is named with
// its reason, so the user never misses a piece without knowing.

#include <string>
#include <vector>

namespace tavrel {

class UserPrompt;

// One data line that gave no piece: where it is (the file's line number, from 1), why (the
// message ID of the reason) and what the file held there (the field's text, when one is at fault).
struct SpreadsheetLineProblem {
    int line = 0;
    std::string reasonId;
    std::string detail;
};

struct SpreadsheetResultReport {
    enum class Outcome {
        Read,          // the data lines were read; the job's pieces are those of the file
        CannotOpen,    // the file cannot be read; the pieces stay as they were
        NoVersion,     // no positive FILE_VERSION: no import result; the pieces stay
        NewerVersion,  // a FILE_VERSION this program does not know; the pieces stay
    };
    Outcome outcome = Outcome::CannotOpen;
    int version = 0;
    int announced = 0;  // ITEMS: the number of data lines the file announces (0: not said)
    int dataLines = 0;  // non-blank lines before [XNI_GENERAL] that were looked at
    int taken = 0;      // data lines that made a piece or merged into an earlier equal one
    int merged = 0;
    std::vector<SpreadsheetLineProblem> problems;
    // Data lines after the announced number, left out: the first and last of their line numbers
    // (0 when there are none) and how many they are.
    int leftOutFirst = 0;
    int leftOutLast = 0;
    int leftOutCount = 0;

    bool read() const { return outcome == Outcome::Read; }
    // The file holds fewer data lines than it announces: it may have been cut short.
    bool shortOfAnnounced() const { return read() && announced > 0 && dataLines < announced; }
};

// Splits a data line into at most `maxFields` fields at ";". A field that starts with a double
// quote runs to the quote that is followed by ";" or the end of the line, so it may hold ";"; a
// field without such a closing quote loses its leading quote and is cut at its last quote. The
// last field takes the rest of the line, so nothing of a longer line is lost.
std::vector<std::string> SplitResultLine(const std::string& line, std::size_t maxFields = 10);

// A number as the import program writes it: "." for decimals, "," between groups of three
// digits, no exponent, blanks around it allowed. False (value untouched) for anything else.
bool ParseResultNumber(const std::string& text, double& value);
// A whole number in that form (a fraction of zeros only) that fits an int.
bool ParseResultInteger(const std::string& text, int& value);

// Tells the user what the reading could not take: a file that gave no pieces, the lines that
// were left out with their reasons, a file shorter than it announces. Nothing when all was
// taken. True when a box was shown.
bool TellSpreadsheetProblems(const SpreadsheetResultReport& report, const std::string& path,
                             UserPrompt& prompt);

}  // namespace tavrel
