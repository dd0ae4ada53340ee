// resave: loads a file with the program's reader and writes it back with its writer, printing
// what the reader made of it. Useful to normalise a hand-edited file and to see what the program
// would change in it.

#include <cstdio>
#include <string>
#include <vector>

#include "BatchCommand.h"
#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/JobFile.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "model/ReadReport.h"
#include "plates/PlatesFile.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"

using namespace tavrel;

namespace {

void PrintCount(const char* what, int count) {
    if (count > 0) std::printf("  %s: %d\n", what, count);
}

void PrintReport(const std::string& path, const ReadReport& report, const char* records,
                 const char* entries) {
    std::printf("read %s (FILE_VERSION=%d)\n", path.c_str(), report.version);
    std::printf("  %s read: %d\n", records, report.records);
    std::printf("  %s held: %d\n", entries, report.entries);
    PrintCount("lines merged into an earlier equal entry", report.merged);
    PrintCount("entries dropped because an earlier one had the same key", report.dropped);
    PrintCount("values corrected (unlimited plates get quantity 99999)", report.corrected);
    PrintCount("lines longer than the classic limit, read whole", report.longLines);
    PrintCount("blank lines, skipped", report.blankLines + report.blankInBlock);
    PrintCount("lines a count promised but the file does not hold", report.missingLines);
    PrintCount("lines beyond what a count promised, read all the same", report.surplusLines);
    PrintCount("lines that fit nowhere in the file, left out", report.ignoredLines);
    if (!report.problems.empty()) {
        std::printf("  lines kept that cannot be used until mended (never given to the optimiser):\n");
        const std::string problems = DescribeProblems(path, report);
        std::printf("%s", problems.c_str());
    }
}

bool Failed(const char* what, const std::string& path) {
    std::fprintf(stderr, "tavrel-batch: %s %s\n", what, path.c_str());
    return false;
}

// Both reader outcomes that mean "not this file": missing/unreadable, and a bad version line.
bool ReadFailed(const std::string& path, const ReadReport& report, int newestVersion) {
    if (!report.opened) return Failed("cannot read", path);
    if (report.version > newestVersion)
        std::fprintf(stderr,
                     "tavrel-batch: %s has FILE_VERSION=%d, newer than this program "
                     "writes (%d); left unchanged\n",
                     path.c_str(), report.version, newestVersion);
    else
        std::fprintf(stderr,
                     "tavrel-batch: %s has no positive FILE_VERSION line; left "
                     "unchanged\n",
                     path.c_str());
    return false;
}

bool Written(const std::string& path, bool ok, int version, const ReadReport& fixes) {
    if (!ok) return Failed("could not write (the old file is unchanged):", path);
    PrintCount("texts changed so that they read back as written", fixes.storableFixes);
    std::printf("wrote %s (FILE_VERSION=%d)\n", path.c_str(), version);
    return true;
}

bool ResaveMaterials(const std::string& path) {
    MaterialList list;
    ReadReport report;
    if (!MaterialsFile::load(path, list, UnitInUse(), &report)) return ReadFailed(path, report, 1 << 30);
    PrintReport(path, report, "entries", "materials");
    ReadReport fixes;
    MaterialsFile::clean(list, &fixes);
    return Written(path, MaterialsFile::save(path, list, UnitInUse()), MaterialsFile::kVersion, fixes);
}

bool ResavePlates(const std::string& path) {
    PlateList list;
    ReadReport report;
    if (!PlatesFile::load(path, list, UnitInUse(), &report)) return ReadFailed(path, report, 1 << 30);
    PrintReport(path, report, "plate lines", "plates");
    ReadReport fixes;
    PlatesFile::clean(list, &fixes);
    return Written(path, PlatesFile::save(path, list, UnitInUse()), PlatesFile::kVersion, fixes);
}

bool ResaveJob(const std::string& path) {
    Job job;
    ReadReport report;
    if (!JobFile::load(path, job, UnitInUse(), &report)) return ReadFailed(path, report, JobFile::kVersion);
    PrintReport(path, report, "piece lines", "pieces");
    std::printf("  materials optimised: %d\n", job.materials.count());
    ReadReport fixes;
    JobFile::clean(job, &fixes);
    return Written(path, JobFile::save(path, job, UnitInUse()), JobFile::kVersion, fixes);
}

// A job given by a bare or relative name that is not found from the current folder is looked
// for in the installation's job folder.
std::string JobPath(const BatchContext& context, const std::string& given) {
    if (PathExists(given) || given.find_first_of("/\\") == 0) return given;
    const std::string inJobs = JoinPath(context.settings->jobFolder, given);
    return PathExists(inJobs) ? inJobs : given;
}

}  // namespace

int RunResave(BatchContext& context, const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) {
        std::fprintf(stderr,
                     "usage: tavrel-batch --install DIR resave materials|plates [PATH] | "
                     "job PATH\n");
        return ExitUsage;
    }
    const std::string& what = args[0];
    const std::string dataFolder = context.settings->dataFolder;
    std::printf("units: %s\n", IsInches() ? "inches" : "millimetres");
    bool ok = false;
    if (what == "materials")
        ok = ResaveMaterials(args.size() > 1 ? args[1] : MaterialsFile::pathIn(dataFolder));
    else if (what == "plates")
        ok = ResavePlates(args.size() > 1 ? args[1] : PlatesFile::pathIn(dataFolder));
    else if (what == "job" && args.size() == 2)
        ok = ResaveJob(JobPath(context, args[1]));
    else {
        std::fprintf(stderr, "tavrel-batch: resave takes materials, plates or job PATH, not %s\n",
                     what.c_str());
        return ExitUsage;
    }
    return ok ? ExitOk : ExitFailed;
}
