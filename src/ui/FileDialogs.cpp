#include "ui/FileDialogs.h"

#include <deque>

#include <QFileDialog>

#include "platform/Platform.h"

namespace tavrel {

namespace FileDialogs {
namespace {

std::deque<QString> g_answers;
std::vector<Request> g_requests;

void Record(bool folder, const QString& caption, const QString& start, const QString& filter) {
    g_requests.push_back({folder, caption, start, filter, QString::fromStdString(Platform::CurrentFolder())});
}

bool TakeScripted(QString& answer) {
    if (g_answers.empty()) return false;
    answer = g_answers.front();
    g_answers.pop_front();
    return true;
}

}  // namespace

QString OpenFileName(QWidget* parent, const QString& caption, const QString& startFolder,
                     const QString& filter, const QString& defaultSuffix) {
    Record(false, caption, startFolder, filter);
    QString answer;
    if (TakeScripted(answer)) return answer;
    QFileDialog dialog(parent, caption, startFolder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

QString SaveFileName(QWidget* parent, const QString& caption, const QString& startFolder,
                     const QString& current, const QString& filter, const QString& defaultSuffix) {
    Record(false, caption, startFolder, filter);
    QString answer;
    if (TakeScripted(answer)) return answer;
    QFileDialog dialog(parent, caption, startFolder, filter);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!current.isEmpty()) dialog.selectFile(current);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

QString ExistingFolder(QWidget* parent, const QString& title, const QString& startFolder) {
    Record(true, title, startFolder, QString());
    QString answer;
    if (TakeScripted(answer)) return answer;
    return QFileDialog::getExistingDirectory(parent, title, startFolder, QFileDialog::ShowDirsOnly);
}

void PushAnswer(const QString& answer) { g_answers.push_back(answer); }
const std::vector<Request>& Requests() { return g_requests; }
void ClearScript() {
    g_answers.clear();
    g_requests.clear();
}

}  // namespace FileDialogs

}  // namespace tavrel
