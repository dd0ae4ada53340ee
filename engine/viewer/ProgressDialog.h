#pragma once
// Shown while the optimiser runs: the best plan so far (plates, yield, the first pattern) and a
// stop button that ends the search and keeps that plan.

#include <atomic>
#include <mutex>

#include <QDialog>
#include <QElapsedTimer>

#include "files/EngineResult.h"

class QLabel;
class QProgressBar;
class QPushButton;
class PatternWidget;

// Shared between the optimising thread (writer) and the dialog (reader).
struct ProgressState {
    std::mutex lock;
    ResultPlan plan;  // best plan so far
    int version = 0;  // raised with every better plan
    int plates = 0;
    double yield = 0.0;
    std::atomic<bool> done{false};
    std::atomic<bool> stop{false};
};

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    ProgressDialog(ProgressState& state, const QString& title, int pieces, double timeLimit,
                   QWidget* parent = nullptr);

public slots:
    // Closing the window stops the search like the button does; the best plan is kept.
    void reject() override;

private slots:
    void poll();
    void stopNow();

private:
    ProgressState& state_;
    double timeLimit_;
    int seen_ = -1;
    QElapsedTimer clock_;
    QLabel* plates_ = nullptr;
    QLabel* yield_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* stop_ = nullptr;
    PatternWidget* preview_ = nullptr;
};
