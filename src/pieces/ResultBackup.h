#pragma once
// The copies of a job's result files that the pieces editor keeps in the temporary folder while
// it is open. An optimisation rewrites the results in the results folder before the user has
// said whether the job is to be saved; when the user then leaves without saving, the job file
// on disk still belongs to the old results, and these copies bring them back.

#include <string>

namespace tavrel {

class ResultBackup {
public:
    ResultBackup(std::string resultsFolder, std::string tempFolder)
        : resultsFolder_(std::move(resultsFolder)), tempFolder_(std::move(tempFolder)) {}

    // Copies the results 1 to `materialCount` of the job that exist into the temporary folder
    // (overwriting older copies). The copies count only when at least one existed and every
    // one was made. True when they count.
    bool backUp(const std::string& jobPath, int materialCount);
    // Copies the counted copies back over the results. When at least one existed and every one
    // went back they are deleted; a copy that could not go back stays where it is, so nothing
    // is lost. Nothing is counted afterwards either way. False when a copy could not go back.
    bool restore(const std::string& jobPath);
    // Deletes the counted copies.
    void discard(const std::string& jobPath);

    int count() const { return count_; }
    // Where result `run` of the job is kept while the editor is open.
    std::string copyPath(const std::string& jobPath, long run) const;
    std::string resultPath(const std::string& jobPath, long run) const;

private:
    std::string resultsFolder_;
    std::string tempFolder_;
    int count_ = 0;
};

}  // namespace tavrel
