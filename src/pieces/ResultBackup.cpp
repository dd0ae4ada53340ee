#include "pieces/ResultBackup.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "optimise/EngineInput.h"
#include "platform/Platform.h"

namespace tavrel {

std::string ResultBackup::resultPath(const std::string& jobPath, long run) const {
    return JoinPath(resultsFolder_, RunFileName(jobPath, run));
}

std::string ResultBackup::copyPath(const std::string& jobPath, long run) const {
    const std::string base = JobBaseName(jobPath);
    const std::string suffix = RunFileName(jobPath, run).substr(base.size());
    return JoinPath(tempFolder_, base + "___" + suffix + "___");
}

bool ResultBackup::backUp(const std::string& jobPath, int materialCount) {
    bool any = false;
    bool all = true;
    for (long run = 1; run <= materialCount; ++run) {
        const std::string result = resultPath(jobPath, run);
        if (!Platform::IsFile(result)) continue;
        any = true;
        all = Platform::CopyFile(result, copyPath(jobPath, run)) && all;
    }
    if (any && all) count_ = materialCount;
    return any && all;
}

bool ResultBackup::restore(const std::string& jobPath) {
    bool any = false;
    bool all = true;
    for (long run = 1; run <= count_; ++run) {
        const std::string copy = copyPath(jobPath, run);
        if (!Platform::IsFile(copy)) continue;
        any = true;
        all = Platform::CopyFile(copy, resultPath(jobPath, run)) && all;
    }
    if (any && all)
        for (long run = 1; run <= count_; ++run) Platform::DeleteFile(copyPath(jobPath, run));
    count_ = 0;
    return all;
}

void ResultBackup::discard(const std::string& jobPath) {
    for (long run = 1; run <= count_; ++run) {
        const std::string copy = copyPath(jobPath, run);
        if (Platform::IsFile(copy)) Platform::DeleteFile(copy);
    }
    count_ = 0;
}

}  // namespace tavrel
