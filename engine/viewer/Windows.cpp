#include "viewer/Windows.h"

#include <algorithm>
#include <thread>

#include <QApplication>
#include <QThread>

#include "common/PathUtils.h"
#include "cutting/Solution.h"
#include "files/EngineInput.h"
#include "plans/PlanRecords.h"
#include "viewer/LayoutViewer.h"
#include "viewer/ProgressDialog.h"

using namespace tavrel;

bool WindowsAvailable(void* parent) {
    // The windows need the program's event loop, on its own thread, and a parent that really is
    // one of its widgets: anything else (a native handle, a stale pointer) is never touched.
    if (!parent || !qobject_cast<QApplication*>(QCoreApplication::instance()) ||
        QThread::currentThread() != QCoreApplication::instance()->thread()) {
        return false;
    }
    const QWidgetList widgets = QApplication::allWidgets();
    return std::find(widgets.begin(), widgets.end(), static_cast<QWidget*>(parent)) != widgets.end();
}

std::string RunOptimiseWithProgress(void* parent, const std::string& inputPath, const EditorOptions& options,
                                    EditorStatus& status) {
    if (!WindowsAvailable(parent)) {
        return RunOptimise(inputPath, options, status);
    }
    EngineInput input;
    std::string title = SplitPath(inputPath).fileName;
    int pieces = 0;
    if (ReadEngineInput(inputPath, input) && !input.plates.empty()) {
        title = input.plates.front().materialKey;
        for (const EnginePieceRecord& r : input.pieces) {
            pieces += static_cast<int>(r.quantity);
        }
    }
    ProgressState state;
    EditorUi ui;
    ui.stopFlag = &state.stop;
    ui.onPlan = [&state](const engine::Solution& s) {
        ResultPlan plan = PlanFromSolution(s, EngineInput{});
        std::lock_guard<std::mutex> g(state.lock);
        state.plan = std::move(plan);
        state.plates = s.plateCount();
        state.yield = s.yieldPercent();
        ++state.version;
    };
    std::string result;
    EditorStatus workerStatus = EditorStatus::Ok;
    std::thread worker([&]() {
        result = RunOptimise(inputPath, options, workerStatus, &ui);
        state.done = true;
    });
    ProgressDialog dialog(state, QString::fromStdString(title), pieces, options.timeLimit,
                          static_cast<QWidget*>(parent));
    dialog.exec();
    worker.join();
    status = workerStatus;
    return result;
}

void ShowLayoutViewer(void* parent, const std::string& resultPath) {
    if (!WindowsAvailable(parent)) {
        return;
    }
    ResultPlan plan;
    if (!ReadResultFile(resultPath, plan)) {
        return;
    }
    LayoutViewer viewer(plan, static_cast<QWidget*>(parent));
    viewer.exec();
}
