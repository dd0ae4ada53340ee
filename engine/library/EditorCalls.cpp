#include "library/EditorCalls.h"

#include "cutting/Optimize.h"
#include "files/EngineInput.h"
#include "files/EngineResult.h"

#include <atomic>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <sstream>

#include <sys/stat.h>

namespace {

std::string Upper(std::string s)
{
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

bool EndsWithRunNumber(const std::string& name)
{
    const size_t n = name.size();
    return n >= 3 && (name[n - 3] == 'R' || name[n - 3] == 'r') &&
           std::isdigit(static_cast<unsigned char>(name[n - 2])) &&
           std::isdigit(static_cast<unsigned char>(name[n - 1]));
}

}  // namespace

EditorOptions ParseEditorOptions(const std::string& params)
{
    EditorOptions o;
    std::istringstream in(params);
    std::string word;
    while (in >> word) {
        const std::string up = Upper(word);
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
        }
    }
    return o;
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void SplitRunName(const std::string& fileName, std::string& base, std::string& extension)
{
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

std::string RunOptimise(const std::string& inputPath, const EditorOptions& options,
                        EditorStatus& status, const EditorUi* ui)
{
    EngineInput input;
    engine::Instance instance;
    if (!ReadEngineInput(inputPath, input) || !BuildInstance(input, instance)) {
        status = EditorStatus::UnreadableInput;
        return {};
    }
    for (size_t i = 0; i < instance.itemTypes().size(); ++i) {
        if (!instance.fitsSomewhere(static_cast<int>(i))) {
            status = EditorStatus::PieceTooLarge;
            return {};
        }
    }
    engine::Parameters p;
    p.timeLimit = options.timeLimit;
    p.seed = options.seed;
    p.iterationLimit = options.steps;
    if (ui) {
        p.onNewSolution = ui->onPlan;
        p.stop = ui->stopFlag;
    }
    const engine::Output out = engine::Optimize(instance, p);
    // A plan that leaves pieces out must not reach the workshop looking like a full one.
    if (!out.solution.complete() || !out.solution.check()) {
        status = EditorStatus::StockTooSmall;
        return {};
    }
    std::string base;
    std::string ext;
    SplitRunName(FileNameOf(inputPath), base, ext);
    const std::string folder = FolderOf(inputPath);
    const std::string resultPath = (folder.empty() ? std::string() : folder + "/") + base + "OPT." + ext;
    ResultPlan plan = PlanFromSolution(out.solution, input);
    plan.setHeader("JobBase", base);
    plan.setHeader("Input", inputPath);
    plan.setHeader("Kind", "result");
    if (!WriteTextFile(resultPath, FormatResult(plan))) {
        status = EditorStatus::CannotWrite;
        return {};
    }
    status = EditorStatus::Ok;
    return resultPath;
}

std::string WriteMachineFile(const std::string& resultPath, EditorStatus& status)
{
    std::string text;
    ResultPlan plan;
    if (!ReadTextFile(resultPath, text) || !ParseResult(text, plan)) {
        status = EditorStatus::UnreadableResult;
        return {};
    }
    std::string base;
    std::string ext;
    const std::string name = FileNameOf(resultPath);
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
    if (!WriteTextFile(machinePath, FormatResult(plan))) {
        status = EditorStatus::CannotWrite;
        return {};
    }
    status = EditorStatus::Ok;
    return machinePath;
}
