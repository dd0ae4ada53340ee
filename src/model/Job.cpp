#include "model/Job.h"

#include "common/PathUtils.h"
#include "model/JobFile.h"

namespace tavrel {

void Job::setWorkingPaths(const std::string& tempFolder) {
    auxPanelPath = JoinPath(tempFolder, "_AUX_PANEL_.TMP");
    auxOrgPanelPath = JoinPath(tempFolder, "_AUX_ORG_PANEL_.TMP");
    swapPanelPath = JoinPath(tempFolder, "_SWAP_PANEL_.TMP");
    bufPanelPath = JoinPath(tempFolder, "_BUF_PANEL_.TMP");
    tmpPanelVarPath = JoinPath(tempFolder, "_TMP_PANEL_.VAR");
    tmpPanelPath = JoinPath(tempFolder, "_TMP_PANEL_.TMP");
    optimizedJobPath = JoinPath(tempFolder, "_AUX_OPTIMIZED_.TMP");
    orgOptimizedJobPath = JoinPath(tempFolder, "_AUX_ORG_OPTIMIZED_.TMP");
}

bool Job::load(const std::string& path, const CurrentUnit& unit, ReadReport* report) {
    return JobFile::load(path, *this, unit, report);
}

bool Job::save(const std::string& path, const CurrentUnit& unit) {
    JobFile::clean(*this);
    return JobFile::save(path, *this, unit);
}

}  // namespace tavrel
