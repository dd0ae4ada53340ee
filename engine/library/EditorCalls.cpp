#include "library/EditorCalls.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <vector>

#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "cutting/Optimize.h"
#include "files/EngineInput.h"
#include "files/EngineResult.h"
#include "files/TextFile.h"
#include "plans/PlanRecords.h"

using namespace tavrel;

namespace {

bool EndsWithRunNumber(const std::string& name) {
    const size_t n = name.size();
    return n >= 3 && (name[n - 3] == 'R' || name[n - 3] == 'r') &&
           std::isdigit(static_cast<unsigned char>(name[n - 2])) &&
           std::isdigit(static_cast<unsigned char>(name[n - 1]));
}

// Writes a plan to `path`; returns the path, or "" with status CannotWrite.
std::string WritePlan(const std::string& path, const ResultPlan& plan, EditorStatus& status) {
    status = WriteTextFile(path, FormatResult(plan)) ? EditorStatus::Ok : EditorStatus::CannotWrite;
    return status == EditorStatus::Ok ? path : std::string();
}

}  // namespace

EditorOptions ParseEditorOptions(const std::string& params) {
    EditorOptions o;
    std::istringstream in(params);
    std::string word;
    while (in >> word) {
        const std::string up = ToUpper(word);
        if (up == "/OPT") {
            o.optimise = true;
        } else if (up.rfind("/TIME=", 0) == 0) {
            double t = 0.0;
            std::from_chars(word.data() + 6, word.data() + word.size(), t);
            if (t > 0 && t <= 3600) {
                o.timeLimit = t;
            }
        } else if (up.rfind("/SEED=", 0) == 0) {
            o.seed = std::strtoull(word.c_str() + 6, nullptr, 10);
        } else if (up.rfind("/STEPS=", 0) == 0) {
            o.steps = std::strtoll(word.c_str() + 7, nullptr, 10);
        } else if (up.rfind("/THREADS=", 0) == 0) {
            const long n = std::strtol(word.c_str() + 9, nullptr, 10);
            o.threads = n >= 1 && n <= 256 ? static_cast<int>(n) : 0;
        }
    }
    return o;
}

void SplitRunName(const std::string& fileName, std::string& base, std::string& extension) {
    const size_t dot = fileName.rfind('.');
    if (dot != std::string::npos) {
        base = fileName.substr(0, dot + 1);
        extension = fileName.substr(dot + 1);
    } else if (EndsWithRunNumber(fileName)) {
        base = fileName.substr(0, fileName.size() - 3);
        extension = fileName.substr(fileName.size() - 3);
    } else {
        base = fileName;
        extension.clear();
    }
    if (extension.empty()) {
        extension = "R01";
    }
}

namespace {

// Tells the program why no result was made, beside the input, and returns "".
std::string NoResult(const std::string& inputPath, EngineReport report, EditorStatus& status) {
    status = report.status;
    // Without the report the program still sees the failed status through LoadEditor's result,
    // only without the piece or the shortage to name.
    static_cast<void>(WriteTextFile(EngineReportPath(inputPath), FormatEngineReport(report)));
    return {};
}

// Why the plan leaves pieces without a plate, as the optimiser tells it.
EngineReport Uncut(const engine::Output& out) {
    const engine::Instance& inst = out.solution.instance();
    const engine::Shortfall& why = out.shortfall;
    EngineReport report;
    if (why.itemTooLarge >= 0) {
        const engine::ItemType& it = inst.item(why.itemTooLarge);
        report.status = EditorStatus::PieceTooLarge;
        report.pieceId = it.identifier;
        report.pieceNumber = it.number;
        report.pieceWidth = static_cast<long>(it.width);
        report.pieceHeight = static_cast<long>(it.height);
        return report;
    }
    report.status = EditorStatus::StockTooSmall;
    report.piecesTotal = inst.pieceCount();
    report.piecesLeft = static_cast<long>(why.piecesLeft);
    report.areaLeft = static_cast<long long>(why.pieceAreaLeft);
    report.areaLacking = static_cast<long long>(why.plateAreaLacking);
    return report;
}

}  // namespace

std::string RunOptimise(const std::string& inputPath, const EditorOptions& options, EditorStatus& status,
                        const EditorUi* ui) {
    std::remove(EngineReportPath(inputPath).c_str());
    EngineInput input;
    engine::Instance instance;
    std::string why;
    if (!ReadEngineInput(inputPath, input, &why) || !BuildInstance(input, instance, &why)) {
        EngineReport report;
        report.status = EditorStatus::UnreadableInput;
        report.detail = why;
        return NoResult(inputPath, report, status);
    }
    // A piece no plate can take makes every plan incomplete: say so before searching.
    for (size_t i = 0; i < instance.itemTypes().size(); ++i) {
        if (!instance.fitsSomewhere(static_cast<int>(i))) {
            engine::Output none;
            none.solution = engine::Solution(instance);
            none.shortfall = engine::ExplainShortfall(none.solution);
            return NoResult(inputPath, Uncut(none), status);
        }
    }
    engine::Parameters p;
    p.timeLimit = options.timeLimit;
    p.seed = options.seed;
    p.iterationLimit = options.steps;
    p.threads = options.threads;
    if (ui) {
        p.onNewSolution = ui->onPlan;
        p.stop = ui->stopFlag;
    }
    const engine::Output out = engine::Optimize(instance, p);
    // A plan that leaves pieces out must not reach the workshop looking like a full one.
    if (!out.solution.complete()) {
        return NoResult(inputPath, Uncut(out), status);
    }
    // Nor one that breaks a cutting rule: that is the optimiser's fault, not the stock's.
    if (!out.solution.check(&why)) {
        EngineReport report;
        report.status = EditorStatus::InvalidPlan;
        report.detail = why;
        return NoResult(inputPath, report, status);
    }
    std::string base;
    std::string ext;
    const PathParts parts = SplitPath(inputPath);
    SplitRunName(parts.fileName, base, ext);
    const std::string resultPath =
        parts.folder.empty() ? base + "OPT." + ext : JoinPath(parts.folder, base + "OPT." + ext);
    ResultPlan plan = PlanFromSolution(out.solution, input);
    plan.setHeader("JobBase", base);
    plan.setHeader("Input", inputPath);
    plan.setHeader("Kind", "result");
    return WritePlan(resultPath, plan, status);
}

std::string WriteMachineFile(const std::string& resultPath, EditorStatus& status) {
    ResultPlan plan;
    if (!ReadResultFile(resultPath, plan)) {
        status = EditorStatus::UnreadableResult;
        return {};
    }
    std::string base;
    std::string ext;
    const std::string name = SplitPath(resultPath).fileName;
    SplitRunName(name, base, ext);
    if (name.find('.') == std::string::npos) {
        ext = "R01";  // no extension: the machine file takes the first run's
    }
    // The job base name the result was made for wins over what its file name suggests: a
    // copy of the result may carry another name.
    const std::string jobBase = plan.headerValue("JobBase");
    if (!jobBase.empty() && jobBase.find_first_of("/\\") == std::string::npos) {
        base = jobBase;
    }
    ::mkdir("CNC", 0777);
    const std::string machinePath = "CNC/" + base + ext;
    plan.setHeader("Kind", "machine");
    return WritePlan(machinePath, plan, status);
}
