#pragma once
// The job being edited: its texts, its pieces, the materials of its last optimisation, its plate
// limits and preferences, and the working files of the optimisation in the temporary folder.

#include <string>

#include "model/MaterialKey.h"
#include "model/PieceList.h"
#include "model/StoredNumbers.h"

namespace tavrel {

struct CurrentUnit;
struct JobListCalls;
struct JobListImportReport;
struct ReadReport;
struct SpreadsheetResultReport;

struct Job {
    std::string name;
    std::string customer;
    std::string order;
    PieceList pieces;
    MaterialKeyList materials;   // one key per optimised material; position p -> result p + 1
    double maxPlateWidth = 0.0;  // 0: no limit
    double maxPlateHeight = 0.0;
    int preferOffcuts = 0;
    int preferLargePlates = 0;
    int preferPlentifulPlates = 0;
    // The limits as the job file held them (see StoredNumbers.h).
    enum StoredSlot : std::size_t { StoredMaxWidth, StoredMaxHeight, StoredSlots };
    StoredNumbers<StoredSlots> storedLimits;
    std::string title;

    // Working files in the temporary folder; auxPanelPath is the pieces' shape file.
    std::string auxPanelPath;
    std::string auxOrgPanelPath;
    std::string swapPanelPath;
    std::string bufPanelPath;
    std::string tmpPanelVarPath;
    std::string tmpPanelPath;
    std::string optimizedJobPath;
    std::string orgOptimizedJobPath;

    // Sets the eight working file paths below `tempFolder`.
    void setWorkingPaths(const std::string& tempFolder);

    // The job file (see JobFile.h). load() leaves the job unchanged and returns false when the
    // file cannot be read, has no positive version or a version newer than this program writes.
    // Lengths are converted into and from `unit`.
    bool load(const std::string& path, const CurrentUnit& unit, ReadReport* report = nullptr);
    // Rewrites the whole file through a temporary file; false when it could not be written.
    // First trims every pieceId and makes the texts storable in place (JobFile::clean), so the
    // job in memory equals what a reload gives.
    [[nodiscard]] bool save(const std::string& path, const CurrentUnit& unit);

    // Adds the pieces of the job list `jobListId` through the reader's `calls`, in `unit`, and
    // marks the pieces as imported from a job list (see JobListImport.h). The pieces already
    // there stay; equal lines merge.
    JobListImportReport importJobList(const std::string& jobListId, const CurrentUnit& unit,
                                      const JobListCalls& calls);

    // Replaces the pieces by those of the spreadsheet import result at `path`, in `unit`, and
    // marks them as imported from a spreadsheet (see SpreadsheetResult.h). A file that is not a
    // readable result of a known version leaves the pieces as they were; the report says which
    // lines gave no piece and why (TellSpreadsheetProblems shows it).
    SpreadsheetResultReport importSpreadsheet(const std::string& path, const CurrentUnit& unit);
};

}  // namespace tavrel
