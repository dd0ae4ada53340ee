#include "results/ui/JobPrints.h"

#include <QString>

#include "common/Messages.h"
#include "common/PathUtils.h"
#include "model/Job.h"
#include "results/JobReport.h"
#include "results/PieceLabels.h"
#include "results/PrintOutcome.h"
#include "settings/AppSettings.h"
#include "settings/LabelSheets.h"
#include "ui/DialogStrings.h"
#include "ui/FileDialogs.h"

#ifdef TAVREL_WITH_LABELS
#include "results/ui/print/CuttingSheetsPdf.h"
#include "results/ui/print/LabelSheetPdf.h"
#endif

namespace tavrel {

namespace {

void Tell(UserPrompt& prompt, const PrintMessage& message) {
    prompt.tell(message.text, "00073", message.icon);
}

// The PDF to write, offered beside the job file and named after it; empty on cancel.
std::string ChoosePdf(QWidget* parent, const std::string& captionId, const std::string& jobPath,
                      const std::string& suffix) {
    const PathParts parts = SplitPath(jobPath);
    const std::string folder = parts.folder;
    const std::string name = parts.baseName + suffix + ".pdf";
    return FileDialogs::SaveFileName(parent, ShownText(Msg(captionId)), ShownText(folder),
                                     ShownText(JoinPath(folder, name)), QStringLiteral("PDF (*.pdf)"),
                                     QStringLiteral("pdf"))
        .toStdString();
}

}  // namespace

#ifdef TAVREL_WITH_LABELS

bool CanPrintJob() { return true; }

bool PrintJobCuttingSheets(QWidget* parent, const AppSettings& settings, const Job& job,
                           const std::string& jobPath, UserPrompt& prompt) {
    const std::vector<StoredMaterialResult> results = ReadStoredResults(settings, job, jobPath);
    if (!AnyResultRead(results)) {
        Tell(prompt, NoSheetsMessage(results));
        return false;
    }
    const std::string path = ChoosePdf(parent, "00460", jobPath, "-sheets");
    if (path.empty()) return false;
    // A4 landscape, as the batch tool prints them by default: the drawing gets the page's height.
    const CuttingSheetsReport pdf =
        WriteCuttingSheetsPdf(job, results, settings.current, CuttingSheetOptions(), path);
    PrintOutcome outcome;
    outcome.path = path;
    outcome.written = pdf.written;
    outcome.pages = pdf.pages;
    outcome.error = pdf.error;
    Tell(prompt, PrintOutcomeMessage(outcome, results));
    return pdf.written;
}

bool PrintJobLabels(QWidget* parent, const AppSettings& settings, const Job& job, const std::string& jobPath,
                    UserPrompt& prompt) {
    const std::vector<StoredMaterialResult> results = ReadStoredResults(settings, job, jobPath);
    const PieceLabelSet set = BuildPieceLabels(job, jobPath, results, settings.current);
    if (set.tooMany || set.labels.empty()) {
        Tell(prompt, NoLabelsMessage(set.tooMany, set.wanted, results));
        return false;
    }
    const std::string path = ChoosePdf(parent, "00459", jobPath, "-labels");
    if (path.empty()) return false;
    const LabelPdfReport pdf = WriteLabelPdf(set.labels, ChosenLabelSheet(settings), path);
    PrintOutcome outcome;
    outcome.path = path;
    outcome.written = pdf.written;
    outcome.pages = pdf.pages;
    outcome.error = pdf.error;
    outcome.noBarcode = pdf.noBarcode;
    outcome.narrowBarcode = pdf.narrowBarcode;
    Tell(prompt, PrintOutcomeMessage(outcome, results));
    return pdf.written;
}

#else

bool CanPrintJob() { return false; }

bool PrintJobCuttingSheets(QWidget*, const AppSettings&, const Job&, const std::string&, UserPrompt&) {
    return false;
}

bool PrintJobLabels(QWidget*, const AppSettings&, const Job&, const std::string&, UserPrompt&) {
    return false;
}

#endif

}  // namespace tavrel
