#pragma once
// The job's two prints from the optimised material list: the piece labels on the label sheet
// chosen in the settings, and the cutting sheets. Each reads the stored results afresh, asks for
// the PDF file through the program's file dialog and tells the user what came of it (pages
// written, materials left out and why, or why the file was not written).

#include <string>

class QWidget;

namespace tavrel {

struct AppSettings;
struct Job;
class UserPrompt;

// False when nothing was written (no labels, cancelled, failed); the user has been told why.
bool PrintJobLabels(QWidget* parent, const AppSettings& settings, const Job& job, const std::string& jobPath,
                    UserPrompt& prompt);
bool PrintJobCuttingSheets(QWidget* parent, const AppSettings& settings, const Job& job,
                           const std::string& jobPath, UserPrompt& prompt);

// Whether this build can print at all (it may lack the print unit).
bool CanPrintJob();

}  // namespace tavrel
