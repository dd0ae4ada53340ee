#pragma once
// File and folder tests, pattern deletes, whole-file reading and safe whole-file writing, and
// the small line-oriented helpers that the program's text files share.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace tavrel {

// True when at least one file or folder matches (the pattern may hold * and ?).
bool PathExists(const std::string& pattern);
// True when at least one match is a directory.
bool FolderExists(const std::string& pattern);
// Size of the first match; -1 when nothing matches or it does not fit in 32 bits.
long long FileSize(const std::string& pattern);
// Deletes the files matching folder/pattern; returns how many were deleted. Folders are kept.
int DeleteMatching(const std::string& folder, const std::string& pattern);

// `path` made absolute against the current folder, with "." and ".." parts and doubled
// separators resolved by the text alone (links are not followed). Empty stays empty.
std::string AbsolutePath(const std::string& path);

// Reads a whole file. False when it cannot be opened or read.
[[nodiscard]] bool ReadWholeFile(const std::string& path, std::string& content);

// The one safe save of a whole file. The content goes to a temporary file beside the file and is
// forced to disk, then renamed into place, so an interrupted or failed write leaves the old file
// as it was. The file stays what it was: a symbolic link is written through to its target (the
// temporary file then sits in the target's folder), and the new file keeps the old one's
// permissions. A file marked read-only is refused and left alone. False on any failure; the
// caller keeps its data and tells the user with SaveFailureMessage.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, const std::string& content);

// Same, with the content produced by a writer callback on the temporary file. The callback
// returns false to abandon the save.
[[nodiscard]] bool WriteFileAtomically(const std::string& path,
                                       const std::function<bool(std::FILE*)>& writer);

// Why a file cannot be saved.
enum class SaveProblem {
    None,
    ReadOnly,        // the file is marked read-only or belongs to someone who keeps us out
    FolderReadOnly,  // its folder cannot be written, so no temporary file can be made there
    Failed,          // anything else: the disk is full, the path names a folder, a lost drive
    Missing,         // a file that is changed in place (never made anew) is not there
};
// What would keep `path` from being saved now (None when nothing is seen in the way).
SaveProblem ProbeSave(const std::string& path);
// Why the last WriteFileAtomically failed; None after a successful one.
SaveProblem LastSaveProblem();
// The reason as one sentence for the user.
std::string SaveProblemText(SaveProblem problem);
// The message telling the user that `path` was not saved, naming the file and the reason.
std::string SaveFailureMessage(const std::string& path, SaveProblem problem);
std::string SaveFailureMessage(const std::string& path);  // with LastSaveProblem()

// A file that could not be written, for reports that gather several.
struct FailedSave {
    std::string path;
    SaveProblem problem = SaveProblem::Failed;
};
// Records that `path` was not written (once per path), with the reason of the last failed save.
void NoteFailedSave(std::vector<FailedSave>& failed, const std::string& path);
// One line per file: the path, " ...... " and the reason.
std::string FailedSavesText(const std::vector<FailedSave>& failed);

// Test seam: when set, a WriteFileAtomically call fails after this many bytes (-1: never).
void SetWriteFailureAfterBytes(long long bytes);
// Test seam: the next `files` whole-file writes succeed, every later one fails (-1: never).
void SetWriteFailureAfterFiles(int files);

// Splits text into lines at "\n", removing one trailing "\r" per line. A final line without a
// line feed is kept; an empty final piece after the last "\n" is not a line.
std::vector<std::string> SplitLines(const std::string& text);

// Reads the next whole line from `file` (any length) without its "\n" and trailing "\r".
// False at end of file with nothing read.
bool ReadLine(std::FILE* file, std::string& line);

void WriteFileVersion(std::FILE* file, int number);
// Reads one line; 0 at end of file; else the integer after the first "=" (0 without "=").
int ReadIntLine(std::FILE* file);
// Copies the body of the section that follows the line containing `key` (see the .cpp).
int CopySectionBody(const std::string& key, std::FILE* input, std::FILE* output);

}  // namespace tavrel
