#include "pieces/JobOpening.h"

#include "common/UserPrompt.h"
#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "optimise/OptimiseCommand.h"
#include "settings/AppSettings.h"

namespace tavrel {

void PrepareOpenedJob(const AppSettings& settings, Job& job, UserPrompt& prompt, JobOpening& opening) {
    opening.generatedIds = job.pieces.assignPieceIds();
    opening.modified = opening.generatedIds > 0;
    const std::string cataloguePath = MaterialsFile::pathIn(settings.dataFolder);
    MaterialList catalogue;
    catalogue.load(cataloguePath, settings.current);
    MaterialKeyList missing;
    if (!job.pieces.empty()) job.pieces.materialsUsed(catalogue, missing);
    if (!missing.empty()) {
        opening.addedMaterials = missing;
        std::string lines;
        for (const MaterialKey& key : missing) lines += "\n" + MaterialText(key);
        MaterialList extended = catalogue;
        extended.addMissing(std::move(missing));
        opening.catalogueSaved = extended.save(cataloguePath, settings.current);
        prompt.tell(Msg("00104") + "\n" + lines);
    }
}

bool OpenJobAsEditor(const AppSettings& settings, const std::string& path, Job& job, UserPrompt& prompt,
                     JobOpening* opening) {
    JobOpening result;
    Job fresh;
    fresh.setWorkingPaths(settings.tempFolder);
    if (!fresh.load(path, settings.current)) {
        if (opening) *opening = result;
        return false;
    }
    result.loaded = true;
    PrepareOpenedJob(settings, fresh, prompt, result);
    job = std::move(fresh);
    if (opening) *opening = std::move(result);
    return true;
}

}  // namespace tavrel
