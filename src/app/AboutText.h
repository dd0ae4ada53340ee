#pragma once
// The two lines of the about box, built from the program's version information.

#include <string>

namespace tavrel {

struct VersionInfo {
    std::string productName;
    std::string productVersion;  // "major, minor, patch, build" as a version resource holds it
    std::string privateBuild;    // which sources: the repository state at build time
    std::string comments;        // the build date, year-month-day
};

// "3, 1, 0, 12" -> "3.1/0": blanks out, commas to dots, the build number dropped, and the
// patch level set off with "/".
std::string CleanProductVersion(const std::string& version);
// name " v. " version " (Build " build ") " and the date text of the comments.
std::string VersionLine(const VersionInfo& info);
// " Service pack:   " and what SvPack.INI in the installation folder says, when it exists.
std::string ServicePackLine(const std::string& installFolder);

}  // namespace tavrel
