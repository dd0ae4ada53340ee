#pragma once
// File and folder tests, pattern deletes, whole-file reading and safe whole-file writing, and
// the small line-oriented helpers that the program's text files share.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// True when at least one file or folder matches (the pattern may hold * and ?).
bool PathExists(const std::string& pattern);
// True when at least one match is a directory.
bool FolderExists(const std::string& pattern);
// Size of the first match; -1 when nothing matches or it does not fit in 32 bits.
long long FileSize(const std::string& pattern);
// Deletes the files matching folder/pattern; returns how many were deleted. Folders are kept.
int DeleteMatching(const std::string& folder, const std::string& pattern);

// Reads a whole file. False when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& content);

// Writes `content` to a temporary file beside `path` and renames it into place, so an
// interrupted or failed write leaves the old file as it was. False on any failure.
bool WriteFileAtomically(const std::string& path, const std::string& content);

// Same, with the content produced by a writer callback on the temporary file. The callback
// returns false to abandon the save.
bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer);

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
