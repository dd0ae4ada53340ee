#pragma once
// An installation folder holding a copy of the built job-list reader and its JobLists folder,
// with the reader loaded from there as the program loads it. Each test gets its own copy, so
// the reader's state of one test never reaches another.

#include <filesystem>
#include <string>

#include "common/UserPrompt.h"
#include "settings/AppSettings.h"
#include "suite/JobListLibrary.h"
#include "support/TempDir.h"

class ReaderInstallation {
public:
    explicit ReaderInstallation(bool withReader = true, bool withFolder = true) : settings_(dir_.path()) {
        namespace fs = std::filesystem;
        if (withReader)
            fs::copy_file(std::string(TAVREL_INSTALL_TREE) + "/" + tavrel::kJobListLibraryName,
                          dir_ / tavrel::kJobListLibraryName);
        if (withFolder) fs::create_directories(folder());
    }
    ~ReaderInstallation() { library_.release(); }

    std::string folder() const { return dir_ / "JobLists"; }
    void write(const std::string& fileName, const std::string& bytes) const {
        WriteText(folder() + "/" + fileName, bytes);
    }
    // Copies the shipped demo job lists into the folder.
    void addDemoJobLists() const {
        namespace fs = std::filesystem;
        for (const auto& entry :
             fs::directory_iterator(std::string(TAVREL_SOURCE_DIR) + "/resources/demo/JobLists"))
            fs::copy_file(entry.path(), fs::path(folder()) / entry.path().filename());
    }
    bool load() { return library_.load(settings_, prompt_); }
    const tavrel::JobListCalls& calls() const { return library_.calls(); }
    tavrel::JobListLibrary& library() { return library_; }
    tavrel::ScriptedPrompt& prompt() { return prompt_; }
    const std::string& path() const { return dir_.path(); }

private:
    TempDir dir_;
    tavrel::AppSettings settings_;
    tavrel::ScriptedPrompt prompt_;
    tavrel::JobListLibrary library_;
};
