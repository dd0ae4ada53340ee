#include "platform/Platform.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;

namespace tavrel {

namespace Platform {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// * matches any run, ? any one character, letter case ignored.
bool WildMatch(const char* pat, const char* name) {
    const char* starPat = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pat == '*') {
            starPat = ++pat;
            starName = name;
        } else if (*pat == '?' || (*pat && Lower(*pat) == Lower(*name))) {
            ++pat;
            ++name;
        } else if (starPat) {
            pat = starPat;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pat == '*') ++pat;
    return *pat == 0;
}

bool StatEntry(const std::string& path, FindEntry& entry) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    entry.path = path;
    entry.isDirectory = S_ISDIR(st.st_mode);
    entry.size = static_cast<long long>(st.st_size);
    return true;
}

std::string g_protectedFolder;

std::string Absolute(const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) return path;
    return std::string(buffer) + "/" + path;
}

// Inside the test seam's folder: the change fails as EACCES would make it.
bool Protected(const std::string& path) {
    if (g_protectedFolder.empty() || path.empty()) return false;
    const std::string full = Absolute(path);
    if (full.compare(0, g_protectedFolder.size(), g_protectedFolder) != 0) return false;
    if (full.size() != g_protectedFolder.size() && full[g_protectedFolder.size()] != '/') return false;
    errno = EACCES;
    return true;
}

std::string FolderOf(const std::string& path) {
    auto cut = path.find_last_of('/');
    if (cut == std::string::npos) return ".";
    return cut == 0 ? std::string("/") : path.substr(0, cut);
}

}  // namespace

void SetWriteProtectedForTests(const std::string& folder) {
    g_protectedFolder = folder.empty() ? std::string() : Absolute(folder);
    while (g_protectedFolder.size() > 1 && g_protectedFolder.back() == '/') g_protectedFolder.pop_back();
}

char Separator() { return '/'; }

std::vector<FindEntry> Find(const std::string& pattern) {
    std::vector<FindEntry> found;
    if (pattern.empty()) return found;
    std::string folder;
    std::string namePattern;
    auto cut = pattern.find_last_of("/\\");
    if (cut == std::string::npos) {
        folder = ".";
        namePattern = pattern;
    } else {
        folder = cut == 0 ? std::string("/") : pattern.substr(0, cut);
        namePattern = pattern.substr(cut + 1);
    }
    if (namePattern.empty()) return found;
    // "*.*" has always meant every name, with or without a dot.
    if (namePattern == "*.*") namePattern = "*";
    const bool wild = namePattern.find_first_of("*?") != std::string::npos;
    if (!wild) {
        FindEntry entry;
        if (StatEntry(pattern, entry)) {
            entry.name = namePattern;
            found.push_back(entry);
            return found;
        }
    }
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return found;
    while (dirent* d = ::readdir(dir)) {
        const char* name = d->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (!WildMatch(namePattern.c_str(), name)) continue;
        FindEntry entry;
        std::string full =
            (cut == std::string::npos) ? std::string(name) : (folder == "/" ? "/" : folder + "/") + name;
        if (!StatEntry(full, entry)) continue;
        entry.name = name;
        found.push_back(entry);
    }
    ::closedir(dir);
    return found;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CopyFile(const std::string& from, const std::string& to) {
    if (Protected(to)) return false;
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    const bool known = ::fstat(in, &st) == 0;
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        ::close(in);
        return false;
    }
    // The copy carries the original's permissions, read-only mark included, so a backup put
    // back in place restores the file as it was.
    if (known && ::fchmod(out, st.st_mode & 07777) != 0) {
        // Not ours to change (an existing file of another user): its own permissions stay.
    }
    bool ok = true;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(out, buffer + done, size_t(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok) break;
    }
    ::close(in);
    if (::close(out) != 0) ok = false;
    return ok;
}

bool RenameFile(const std::string& from, const std::string& to) {
    if (Protected(from) || Protected(to)) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool DeleteFile(const std::string& path) { return !Protected(path) && ::unlink(path.c_str()) == 0; }

bool CreateFolder(const std::string& path) {
    if (path.empty()) return false;
    if (IsDirectory(path)) return true;
    if (Protected(path)) return false;
    if (::mkdir(path.c_str(), 0755) == 0) return true;
    return IsDirectory(path);
}

bool RemoveFolder(const std::string& path) { return !Protected(path) && ::rmdir(path.c_str()) == 0; }

std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    // The kernel gives up after 40 links as well; a loop ends there instead of spinning.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string target(size_t(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0) return current;
        target.resize(size_t(n));
        current = target.front() == '/' ? target : FolderOf(current) + "/" + target;
    }
    return std::string();
}

bool SameFolder(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (a.empty() || b.empty() || ::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return S_ISDIR(sa.st_mode) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool FileWritable(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
    // A file without any write bit is marked read-only, also for root, who could write it anyway.
    if ((st.st_mode & 0222) == 0) return false;
    return ::access(path.c_str(), W_OK) == 0;
}

bool FolderWritable(const std::string& folder) {
    const std::string f = folder.empty() ? std::string(".") : folder;
    return IsDirectory(f) && ::access(f.c_str(), W_OK | X_OK) == 0 && !Protected(f);
}

bool WriteNewFile(const std::string& path, const char* data, std::size_t size, const std::string& like) {
    if (path.empty() || Protected(path)) return false;
    struct stat model {};
    const bool copyMode = !like.empty() && ::stat(like.c_str(), &model) == 0;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, copyMode ? 0600 : 0666);
    if (fd < 0) return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < size;) {
        ssize_t w = ::write(fd, data + done, size - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0)
            ok = false;
        else
            done += size_t(w);
    }
    if (ok && copyMode) {
        // Owner and group first: changing them may clear set-id bits that the mode then restores.
        if (::fchown(fd, model.st_uid, model.st_gid) != 0) {
            // Not allowed for an ordinary user unless it is already theirs; the mode still follows.
        }
        if (::fchmod(fd, model.st_mode & 07777) != 0) ok = false;
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    return ok;
}

void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string CurrentFolder() {
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) return std::string();
    return buffer;
}

bool SetCurrentFolder(const std::string& path) { return ::chdir(path.c_str()) == 0; }

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return CurrentFolder();
    std::string path(buffer, size_t(n));
    auto cut = path.find_last_of('/');
    return cut == std::string::npos || cut == 0 ? std::string("/") : path.substr(0, cut);
}

std::string TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && *tmp && IsDirectory(tmp)) return tmp;
    return "/tmp";
}

bool RunProcess(const std::string& program, const std::vector<std::string>& arguments, int* exitCode,
                int* lastError) {
    std::vector<char*> argv;
    std::vector<std::string> owned;
    owned = arguments;
    if (owned.empty()) owned.push_back(program);
    for (auto& s : owned) argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (rc != 0) {
        if (lastError) *lastError = rc;
        if (exitCode) *exitCode = 0;
        return false;
    }
    int status = 0;
    pid_t w;
    do {
        w = ::waitpid(pid, &status, 0);
    } while (w < 0 && errno == EINTR);
    if (w != pid) {
        if (lastError) *lastError = errno;
        if (exitCode) *exitCode = 0;
        return false;
    }
    if (lastError) *lastError = 0;
    if (WIFEXITED(status)) {
        if (exitCode) *exitCode = WEXITSTATUS(status);
        return true;
    }
    // Killed by a signal: it did end, but it never produced an exit code of its own.
    if (exitCode) *exitCode = 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    return true;
}

bool OpenWithDesktop(const std::string& target) {
    const char* opener = "/usr/bin/xdg-open";
    if (::access(opener, X_OK) != 0) return false;
    std::vector<std::string> args{target};
    std::vector<char*> argv{const_cast<char*>(opener), args[0].data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawn(&pid, opener, nullptr, nullptr, argv.data(), environ) != 0) return false;
    // The opener hands over to the desktop and ends quickly; reap it so no zombie is left.
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void LocaleDateFormat(int& order, char& separator) {
    order = 0;
    separator = '/';
    locale_t loc = ::newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
    if (!loc) loc = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (!loc) return;
    std::string fmt = ::nl_langinfo_l(D_FMT, loc);
    ::freelocale(loc);
    // Expand the shorthands so the order of the three fields can be read off.
    if (fmt.find("%D") != std::string::npos || fmt.find("%x") != std::string::npos) fmt = "%m/%d/%y";
    if (fmt.find("%F") != std::string::npos) fmt = "%Y-%m-%d";
    auto pos = [&](const char* a, const char* b) {
        auto p = fmt.find(a);
        if (p == std::string::npos && b) p = fmt.find(b);
        return p;
    };
    auto d = pos("%d", "%e");
    auto m = pos("%m", "%b");
    auto y = pos("%y", "%Y");
    if (d == std::string::npos || m == std::string::npos || y == std::string::npos) return;
    if (y < m && m < d)
        order = 2;
    else if (d < m)
        order = 1;
    else
        order = 0;
    auto first = std::min(d, std::min(m, y));
    if (first + 2 < fmt.size() && fmt[first + 2] != '%') separator = fmt[first + 2];
}

std::string OsVersion() {
    struct utsname u {};
    if (::uname(&u) != 0) return std::string();
    return std::string(u.sysname) + " " + u.release;
}

int LastErrorCode() { return errno; }

}  // namespace Platform

}  // namespace tavrel
