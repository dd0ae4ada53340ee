#pragma once
// The new job window: where a new job's pieces come from (nothing, a job list of the job-list
// reader, or a result of the spreadsheet import program), with the button that runs that
// program. It only chooses; the pieces editor builds the job from the five texts it returns.

#include <string>
#include <vector>

#include <QDialog>

#include "pieces/NewJob.h"

class QLabel;
class QListWidget;
class QRadioButton;

namespace tavrel {

struct AppSettings;
class CSXButton;

class TVLNewJobDialog : public QDialog {
    Q_OBJECT
public:
    // `jobLists` are the reader's rows (JobListRows); `settings` must outlive the window.
    TVLNewJobDialog(const AppSettings& settings, std::vector<std::string> jobLists,
                    QWidget* parent = nullptr);

    // After OK: the chosen texts (all empty for an empty job).
    const NewJobTexts& texts() const { return texts_; }

    void accept() override;

private:
    NewJobSource Source() const;
    void ShowSource();
    void Import();

    const AppSettings& settings_;
    std::vector<std::string> jobLists_;
    std::vector<std::string> results_;
    NewJobTexts texts_;
    QRadioButton* empty_ = nullptr;
    QRadioButton* jobList_ = nullptr;
    QRadioButton* spreadsheet_ = nullptr;
    CSXButton* import_ = nullptr;
    QLabel* title_ = nullptr;
    QListWidget* list_ = nullptr;
};

}  // namespace tavrel
