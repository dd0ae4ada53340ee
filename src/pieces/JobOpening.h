#pragma once
// How the pieces editor opens a job file, as one core step that the editor and the batch tool
// both take, so a job is optimised exactly as the editor would have it.

#include <string>

#include "model/MaterialKey.h"

namespace tavrel {

struct AppSettings;
struct Job;
class UserPrompt;

struct JobOpening {
    bool loaded = false;
    bool modified = false;  // identifiers were generated: the job differs from its file
    int generatedIds = 0;
    MaterialKeyList addedMaterials;  // job materials added to the catalogue
    bool catalogueSaved = true;      // false when the extended catalogue could not be written
};

// What every job the editor opens goes through once its pieces are in, read from a file or
// imported: missing piece identifiers made, identifiers an import gave several pieces told apart,
// and the job's materials that the catalogue lacks added to Materials.dat, telling the user which
// ("00104"). Fills the identifier and catalogue fields of `opening`.
void PrepareOpenedJob(const AppSettings& settings, Job& job, UserPrompt& prompt, JobOpening& opening);

// Makes `job` afresh from the job file: working paths from the temporary folder, the file read,
// missing piece identifiers made, and the job's materials that the catalogue lacks added to
// Materials.dat, telling the user which ("00104"). False (job untouched) when the file cannot
// be read.
bool OpenJobAsEditor(const AppSettings& settings, const std::string& path, Job& job, UserPrompt& prompt,
                     JobOpening* opening = nullptr);

}  // namespace tavrel
