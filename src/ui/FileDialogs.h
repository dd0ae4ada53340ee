#pragma once
// The file-open dialog and the folder picker, with a test seam: scripted answers are taken
// instead of showing a dialog, and every request is recorded, so tests never block.

#include <vector>

#include <QString>
class QWidget;

namespace tavrel {

namespace FileDialogs {

struct Request {
    bool folderPicker = false;
    QString caption;
    QString startFolder;
    QString filter;
    QString currentFolder;  // the process's current folder while the dialog was up
};

// An existing file chosen by the user, as chosen (letter case kept); empty on cancel.
QString OpenFileName(QWidget* parent, const QString& caption, const QString& startFolder,
                     const QString& filter, const QString& defaultSuffix);
// A file to save to: read-only files hidden, asking before an existing file is replaced;
// `current` is the path offered first. Empty on cancel.
QString SaveFileName(QWidget* parent, const QString& caption, const QString& startFolder,
                     const QString& current, const QString& filter, const QString& defaultSuffix);
// An existing folder; empty on cancel.
QString ExistingFolder(QWidget* parent, const QString& title, const QString& startFolder);

// Test seam: the next dialogs answer these in turn (an empty text cancels).
void PushAnswer(const QString& answer);
const std::vector<Request>& Requests();
void ClearScript();

}  // namespace FileDialogs

}  // namespace tavrel
