#pragma once
// Every call into the operating system goes through here, so the rest of the program stays
// portable. Paths are UTF-8 byte strings in this platform's form.

#include <cstddef>
#include <string>
#include <vector>

namespace tavrel {

namespace Platform {

struct FindEntry {
    std::string path;  // folder + separator + name as found on disk
    std::string name;
    bool isDirectory = false;
    long long size = 0;
};

// Find-first/find-next semantics: `pattern` is a path whose last part may hold * and ?, matched
// against the names of one folder without regard to letter case ("." and ".." never match).
// A last part without wildcards also matches a name that differs only in letter case.
std::vector<FindEntry> Find(const std::string& pattern);

bool IsDirectory(const std::string& path);
bool IsFile(const std::string& path);
// The copy gets the original's permission bits.
bool CopyFile(const std::string& from, const std::string& to);
// Replaces `to` when it exists.
bool RenameFile(const std::string& from, const std::string& to);
bool DeleteFile(const std::string& path);
// Creates one folder level; true when it exists afterwards.
bool CreateFolder(const std::string& path);

// What a chain of symbolic links ends at (relative targets taken from each link's folder); the
// path itself when it is no link. A link whose target is missing gives that target; a loop of
// links gives an empty text.
std::string ResolveLinks(const std::string& path);
// Both paths name one existing folder (links and other spellings followed).
bool SameFolder(const std::string& a, const std::string& b);
// The file exists, is not marked read-only (it has a write permission bit) and we may write it.
bool FileWritable(const std::string& path);
// New files can be created in the folder.
bool FolderWritable(const std::string& folder);
// Creates `path` (which must not exist), writes `size` bytes and forces them to disk before
// closing. When `like` names an existing file, the new one takes its permission bits and, where
// allowed, its owner and group. False on any failure.
bool WriteNewFile(const std::string& path, const char* data, std::size_t size, const std::string& like);
// Forces a folder's entries (a rename into it) to disk. Best effort.
void SyncFolder(const std::string& folder);

// Test seam: below `folder`, creating, renaming and deleting entries and copying onto files fail
// as in a folder the user cannot write (the files themselves keep their own marks); empty turns
// it off. Works for root as well.
void SetWriteProtectedForTests(const std::string& folder);
// Removes an empty folder.
bool RemoveFolder(const std::string& path);
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);
std::string ExecutableFolder();
std::string TempFolder();
char Separator();

// Starts `program` with `arguments` (argv[0..], argv[0] being the name it is called by) in the current
// folder, waits for it without a time limit. False when it cannot be started or waited for; `lastError` gets
// errno then.
bool RunProcess(const std::string& program, const std::vector<std::string>& arguments, int* exitCode,
                int* lastError);
// Hands a file or address to the desktop's opener without waiting. False when it cannot start.
bool OpenWithDesktop(const std::string& target);

// The user's date order: 0 month-day-year, 1 day-month-year, 2 year-month-day, and separator.
void LocaleDateFormat(int& order, char& separator);
// "Linux 6.1.0" style; empty when unknown.
std::string OsVersion();
int LastErrorCode();

}  // namespace Platform

}  // namespace tavrel
