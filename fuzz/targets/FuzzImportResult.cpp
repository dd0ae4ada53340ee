// The import bridge's reader of the spreadsheet import's results (.TVX): any bytes as a result
// file in the import folder. The new job window's list and choice find it, the job takes its
// pieces (or keeps its own when the file is no result), the user is told what was left out, and
// the job saved and read again keeps every piece it took.

#include "FuzzInput.h"
#include "ImportFuzz.h"
#include "common/UserPrompt.h"
#include "model/JobFile.h"
#include "settings/AppSettings.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    static const std::string excelFolder = [] {
        const std::string folder = FuzzScratchPath("ExcelEXE");
        ::mkdir(folder.c_str(), 0700);
        ::mkdir((folder + "/IMPORT").c_str(), 0700);
        return folder;
    }();
    static const std::string path = excelFolder + "/IMPORT/order.TVX";
    WriteScratch(path, in.content);

    AppSettings settings;
    settings.excelImportFolder = excelFolder;
    settings.current = in.unit;
    std::vector<std::string> listed;
    FuzzCheck(ListResults(settings, listed), "the import folder is listed");
    FuzzCheck(listed.size() <= 1, "one file lists once at most");
    for (const std::string& row : listed) {
        ChosenResult chosen;
        FuzzCheck(ChooseResult(settings, row, chosen), "a listed result can be chosen");
        FuzzCheck(chosen.path == path && chosen.name == "order", "the choice is the file listed");
    }

    Job job;
    job.pieces.append(Piece("FL", "4MM", "", 1000.0, 500.0, 2, "K1", "", "", ""));
    const SpreadsheetResultReport report = job.importSpreadsheet(path, in.unit);
    if (report.read()) {
        FuzzCheck(report.dataLines == report.taken + static_cast<int>(report.problems.size()),
                  "every data line is taken or named");
        FuzzCheck(report.merged <= report.taken && job.pieces.count() == report.taken - report.merged,
                  "the pieces are the lines taken");
        FuzzCheck(report.announced == 0 ? report.leftOutCount == 0 : report.dataLines <= report.announced,
                  "only lines beyond the announced number are left out");
        FuzzCheck(report.leftOutCount == 0 ||
                      (report.leftOutFirst > 0 && report.leftOutFirst <= report.leftOutLast),
                  "the lines left out are named");
    } else {
        FuzzCheck(job.pieces.count() == 1, "a file that is no result leaves the pieces");
    }
    ScriptedPrompt prompt;
    const bool told = TellSpreadsheetProblems(report, path, prompt);
    FuzzCheck(told == (prompt.shown().size() == 1), "one box when there is something to tell");
    FuzzCheck(report.read() || told, "a file that gives no pieces is told");

    JobFile::clean(job);
    const std::string saved = JobFile::write(job, in.unit);
    Job again;
    FuzzCheck(JobFile::read(saved, again, in.unit), "the job saved reads back");
    FuzzCheck(again.pieces.count() == job.pieces.count(), "the job saved keeps its pieces");
    return 0;
}
