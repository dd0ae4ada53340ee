// The report and export commands of tavrel-batch: a job's stored results as a yield and waste
// report, or as the cutting plan for other programs. Both only read: the job, the stock and
// the results stay as they are.

#include <cstdio>
#include <memory>

#include "BatchCommand.h"
#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/PathUtils.h"
#include "model/Job.h"
#include "optimise/OptimiseCommand.h"
#include "results/JobReport.h"
#include "results/PlanExport.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "suite/KLanguage.h"

using namespace tavrel;

namespace {

struct ReportArgs {
    std::string job;
    std::string out;
    std::string format;
};

// JOB then options; false (after saying why) on anything else.
bool ParseArgs(const std::vector<std::string>& args, const char* formatOption, ReportArgs& parsed) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--out" && i + 1 < args.size()) {
            parsed.out = args[++i];
        } else if (a == "--csv" && std::string(formatOption) == "--csv") {
            parsed.format = "csv";
        } else if (a == "--format" && std::string(formatOption) == "--format" && i + 1 < args.size()) {
            parsed.format = args[++i];
        } else if (a.rfind("--", 0) != 0 && parsed.job.empty()) {
            parsed.job = a;
        } else {
            std::fprintf(stderr, "tavrel-batch: unknown or incomplete argument %s\n", a.c_str());
            return false;
        }
    }
    if (parsed.job.empty()) {
        std::fprintf(stderr, "tavrel-batch: no job file given\n");
        return false;
    }
    return true;
}

// The job's stored results, with the catalogue registered for the texts of their problems.
class JobResults {
public:
    bool open(BatchContext& context, const std::string& given) {
        AppSettings& s = *context.settings;
        language_ = std::make_unique<KLanguage>(JoinPath(s.installFolder, "Msg\\Tavrel.msg"));
        language_->LoadStrings();
        SetCurrentCatalogue(language_.get());
        path = ResolveJob(s, given);
        if (path.empty()) {
            std::fprintf(stderr,
                         "tavrel-batch: job file %s not found (looked in the current folder and in %s)\n",
                         given.c_str(), s.jobFolder.c_str());
            return false;
        }
        if (!job.load(path, UnitInUse())) {
            std::fprintf(stderr, "tavrel-batch: %s is not a readable job file\n", path.c_str());
            return false;
        }
        results = ReadStoredResults(s, job, path);
        if (results.empty()) std::fprintf(stderr, "tavrel-batch: %s\n", Msg("00103").c_str());
        return true;
    }
    ~JobResults() { SetCurrentCatalogue(nullptr); }

    // Names every material without figures; true when there is none.
    bool tellUnread() const {
        bool all = true;
        for (const StoredMaterialResult& r : results) {
            if (r.state == StoredResultState::Read) continue;
            std::string why = StoredResultProblem(r);
            for (char& c : why)
                if (c == '\n') c = ' ';
            std::fprintf(stderr, "tavrel-batch: %s: %s\n", MaterialText(r.key).c_str(), why.c_str());
            all = false;
        }
        return all;
    }

    Job job;
    std::string path;
    std::vector<StoredMaterialResult> results;

private:
    std::unique_ptr<KLanguage> language_;
};

// To standard output, or to FILE through the safe save.
bool Deliver(const std::string& text, const std::string& out) {
    if (out.empty()) {
        const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
        return std::fflush(stdout) == 0 && written;
    }
    if (!WriteFileAtomically(out, text)) {
        std::fprintf(stderr, "tavrel-batch: %s\n", SaveFailureMessage(out).c_str());
        return false;
    }
    std::printf("written: %s\n", out.c_str());
    return true;
}

// Written in full either way; a material without figures makes the exit code 1.
int Finish(const JobResults& loaded, const std::string& text, const std::string& out) {
    const bool delivered = Deliver(text, out);
    const bool complete = loaded.tellUnread();
    return delivered && complete ? ExitOk : ExitFailed;
}

}  // namespace

int RunReport(BatchContext& context, const std::vector<std::string>& args) {
    ReportArgs parsed;
    if (!ParseArgs(args, "--csv", parsed)) return ExitUsage;
    if (parsed.format != "csv") {
        std::fprintf(stderr, "tavrel-batch: the report is written as CSV: add --csv\n");
        return ExitUsage;
    }
    JobResults loaded;
    if (!loaded.open(context, parsed.job)) return ExitFailed;
    const JobReport report = BuildJobReport(loaded.job, loaded.results);
    return Finish(loaded, JobReportCsv(report, context.settings->current), parsed.out);
}

int RunExport(BatchContext& context, const std::vector<std::string>& args) {
    ReportArgs parsed;
    if (!ParseArgs(args, "--format", parsed)) return ExitUsage;
    if (parsed.format != "csv" && parsed.format != "json") {
        std::fprintf(stderr, "tavrel-batch: --format csv or --format json is needed\n");
        return ExitUsage;
    }
    JobResults loaded;
    if (!loaded.open(context, parsed.job)) return ExitFailed;
    const std::string text =
        parsed.format == "csv" ? PlanCsv(loaded.job, loaded.results) : PlanJson(loaded.job, loaded.results);
    return Finish(loaded, text, parsed.out);
}
