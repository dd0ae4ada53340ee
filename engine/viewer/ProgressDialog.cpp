#include "viewer/ProgressDialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "viewer/PatternWidget.h"

ProgressDialog::ProgressDialog(ProgressState& state, const QString& title, int pieces, double timeLimit,
                               QWidget* parent)
    : QDialog(parent), state_(state), timeLimit_(timeLimit) {
    setObjectName("engineProgress");
    setWindowTitle("Optimising " + title);
    auto* what = new QLabel(QString("%1 pieces of %2").arg(pieces).arg(title));
    plates_ = new QLabel("Looking for a first plan...");
    plates_->setObjectName("plates");
    yield_ = new QLabel;
    bar_ = new QProgressBar;
    bar_->setRange(0, 1000);
    bar_->setValue(0);
    bar_->setTextVisible(timeLimit_ > 0);  // the time left, written on the bar
    bar_->setFormat(QString("Time left: %1 s").arg(timeLimit_, 0, 'f', 1));
    preview_ = new PatternWidget;
    PaintOptions o;
    o.cutOrder = false;
    preview_->setOptions(o);
    stop_ = new QPushButton("Stop and keep the best plan");
    stop_->setObjectName("stop");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addWidget(plates_);
    layout->addWidget(yield_);
    layout->addWidget(bar_);
    layout->addWidget(preview_, 1);
    layout->addWidget(stop_);
    resize(560, 480);
    connect(stop_, &QPushButton::clicked, this, &ProgressDialog::stopNow);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &ProgressDialog::poll);
    timer->start(100);
    clock_.start();
}

void ProgressDialog::reject() { stopNow(); }

void ProgressDialog::stopNow() {
    state_.stop = true;
    stop_->setEnabled(false);
    stop_->setText("Stopping...");
}

void ProgressDialog::poll() {
    {
        std::lock_guard<std::mutex> g(state_.lock);
        if (state_.version != seen_) {
            seen_ = state_.version;
            plates_->setText(QString("Best plan so far: %1 plates").arg(state_.plates));
            yield_->setText(QString("Yield: %1 %").arg(state_.yield, 0, 'f', 2));
            if (!state_.plan.patterns.empty()) {
                preview_->setPattern(state_.plan.patterns.front());
            }
        }
    }
    const double t = static_cast<double>(clock_.elapsed()) / 1000.0;
    bar_->setValue(timeLimit_ > 0 ? static_cast<int>(std::min(1.0, t / timeLimit_) * 1000) : 0);
    bar_->setFormat(QString("Time left: %1 s").arg(std::max(0.0, timeLimit_ - t), 0, 'f', 1));
    if (state_.done) {
        QDialog::accept();
    }
}
