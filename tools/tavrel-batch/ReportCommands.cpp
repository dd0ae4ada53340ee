// The report, export, labels and sheets commands of tavrel-batch: a job's stored results as a
// yield and waste report, as the cutting plan for other programs, as the labels of its cut pieces
// or as the printed cutting sheets. All only read: the job, the stock and the results stay as
// they are.

#include <cstdio>
#include <memory>

#include "BatchCommand.h"
#include "app/Startup.h"
#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "model/Job.h"
#include "optimise/OptimiseCommand.h"
#include "results/JobReport.h"
#include "results/PieceLabels.h"
#include "results/PlanExport.h"
#include "settings/AppSettings.h"
#include "settings/LabelSheets.h"
#include "settings/Units.h"
#include "suite/KLanguage.h"
#ifdef TAVREL_WITH_LABELS
#include "results/ui/print/CuttingSheetsPdf.h"
#include "results/ui/print/LabelSheetPdf.h"
#endif

using namespace tavrel;

namespace {

struct ReportArgs {
    std::string job;
    std::string out;
    std::string format;
    std::string sheet;
    std::string paper;
    std::string orientation;
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
        } else if (a == "--sheet" && std::string(formatOption) == "--sheet" && i + 1 < args.size()) {
            parsed.sheet = args[++i];
        } else if (a == "--paper" && std::string(formatOption) == "--paper" && i + 1 < args.size()) {
            parsed.paper = args[++i];
        } else if ((a == "--portrait" || a == "--landscape") && std::string(formatOption) == "--paper" &&
                   (parsed.orientation.empty() || parsed.orientation == a)) {
            parsed.orientation = a;
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
        // The texts of the language chosen in the settings, as the windows show them; English
        // where that catalogue cannot be read.
        if (LoadChosenCatalogue(s, language_))
            std::fprintf(stderr, "tavrel-batch: %s %s\n", Msg("00392").c_str(), language_->path().c_str());
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
            std::fprintf(stderr, "tavrel-batch: %s: %s\n", DisplayText(MaterialText(r.key)).c_str(),
                         DisplayText(why).c_str());
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

int RunLabels(BatchContext& context, const std::vector<std::string>& args) {
    ReportArgs parsed;
    if (!ParseArgs(args, "--sheet", parsed)) return ExitUsage;
    if (parsed.out.empty()) {
        std::fprintf(stderr, "tavrel-batch: the labels are written as a PDF file: add --out FILE.pdf\n");
        return ExitUsage;
    }
    const LabelSheet* sheet =
        parsed.sheet.empty() ? &ChosenLabelSheet(*context.settings) : FindLabelSheet(parsed.sheet);
    if (!sheet) {
        std::string known;
        for (const LabelSheet& s : LabelSheets()) known += std::string(known.empty() ? "" : ", ") + s.key;
        std::fprintf(stderr, "tavrel-batch: unknown label sheet %s (known sheets: %s)\n",
                     parsed.sheet.c_str(), known.c_str());
        return ExitUsage;
    }
#ifndef TAVREL_WITH_LABELS
    std::fprintf(stderr,
                 "tavrel-batch: this build cannot write PDF files (it was built without Qt or libzint)\n");
    return ExitFailed;
#else
    JobResults loaded;
    if (!loaded.open(context, parsed.job)) return ExitFailed;
    const PieceLabelSet set =
        BuildPieceLabels(loaded.job, loaded.path, loaded.results, context.settings->current);
    bool ok = loaded.tellUnread();
    if (set.tooMany) {
        std::fprintf(stderr,
                     "tavrel-batch: the stored results ask for %ld labels, more than %ld: nothing written\n",
                     set.wanted, kMaxPieceLabels);
        return ExitFailed;
    }
    if (set.labels.empty()) {
        // An empty sheet would look like labels printed; nothing is written instead.
        std::fprintf(stderr, "tavrel-batch: no piece to label: nothing written\n");
        return ExitFailed;
    }
    const PrintingApplication printing;
    const LabelPdfReport pdf = WriteLabelPdf(set.labels, *sheet, parsed.out);
    for (const std::string& id : pdf.noBarcode) {
        std::fprintf(stderr, "tavrel-batch: piece %s: no barcode could be made for it\n",
                     DisplayText(id).c_str());
        ok = false;
    }
    for (const std::string& id : pdf.narrowBarcode) {
        std::fprintf(
            stderr,
            "tavrel-batch: piece %s: its barcode's bars are narrower than %.2f mm on this sheet and may "
            "not scan; a wider label sheet (--sheet) gives them room\n",
            DisplayText(id).c_str(), kMinBarcodeModule);
        ok = false;
    }
    if (!pdf.written) {
        std::fprintf(stderr, "tavrel-batch: %s\n", pdf.error.c_str());
        return ExitFailed;
    }
    std::printf("written: %s (%zu labels on %d pages of %s)\n", parsed.out.c_str(), set.labels.size(),
                pdf.pages, sheet->key);
    return ok ? ExitOk : ExitFailed;
#endif
}

int RunSheets(BatchContext& context, const std::vector<std::string>& args) {
    ReportArgs parsed;
    if (!ParseArgs(args, "--paper", parsed)) return ExitUsage;
    if (parsed.out.empty()) {
        std::fprintf(stderr,
                     "tavrel-batch: the cutting sheets are written as a PDF file: add --out FILE.pdf\n");
        return ExitUsage;
    }
#ifndef TAVREL_WITH_LABELS
    (void)context;
    std::fprintf(stderr,
                 "tavrel-batch: this build cannot write PDF files (it was built without Qt or libzint)\n");
    return ExitFailed;
#else
    CuttingSheetOptions options;
    if (!parsed.paper.empty() && !ParseSheetPaper(parsed.paper, options.paper)) {
        std::fprintf(stderr, "tavrel-batch: unknown paper %s (known papers: A4, A3)\n", parsed.paper.c_str());
        return ExitUsage;
    }
    options.landscape = parsed.orientation != "--portrait";
    JobResults loaded;
    if (!loaded.open(context, parsed.job)) return ExitFailed;
    const PrintingApplication printing;
    const CuttingSheetsReport pdf =
        WriteCuttingSheetsPdf(loaded.job, loaded.results, context.settings->current, options, parsed.out);
    // The materials left out, named with their reason, as the report names them.
    const bool all = loaded.tellUnread();
    if (!pdf.written) {
        std::fprintf(stderr, "tavrel-batch: %s\n", pdf.error.c_str());
        return ExitFailed;
    }
    std::printf("written: %s (%d pages: %d materials, %d pattern pages, A%c %s)\n", parsed.out.c_str(),
                pdf.pages, pdf.materials, pdf.patternPages, options.paper == SheetPaper::A3 ? '3' : '4',
                options.landscape ? "landscape" : "portrait");
    return all && pdf.complete() ? ExitOk : ExitFailed;
#endif
}
