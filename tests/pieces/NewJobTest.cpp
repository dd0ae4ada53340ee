#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "pieces/NewJob.h"
#include "settings/AppSettings.h"
#include "suite/JobListLibrary.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;
namespace fs = std::filesystem;

namespace {

// A reader of three job lists; the second fills every byte of its record, as a reader that
// forgets the terminating zeros does.
void FillRecord(void* record, int n) {
    char* r = static_cast<char*>(record);
    if (n == 1) {
        std::strcpy(r + JobListRecord::kName, "ORD-1");
        std::strcpy(r + JobListRecord::kDescription, "Rossi\tkitchen");
    } else if (n == 2) {
        std::memset(r, 'X', JobListRecord::kSize);
    } else {
        std::strcpy(r + JobListRecord::kName, "ORD-3");
    }
}
JobListHandle First(void* record) {
    FillRecord(record, 1);
    return 1;
}
JobListHandle Next(JobListHandle handle, void* record) {
    if (handle >= 3) return 0;
    FillRecord(record, static_cast<int>(handle) + 1);
    return handle + 1;
}

class NewJob : public ::testing::Test {
protected:
    void SetUp() override {
        settings = std::make_unique<AppSettings>(dir.path());
        settings->current = Millimetres();
        fs::create_directories(settings->excelImportFolder + "/IMPORT");
    }
    TempDir dir;
    std::unique_ptr<AppSettings> settings;
    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(NewJob, JobListRowsAreCutAtTheirFieldSizes) {
    JobListCalls calls;
    calls.getJobListFirst = First;
    calls.getJobListNext = Next;
    const std::vector<std::string> rows = JobListRows(calls);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], "ORD-1\tRossi\tkitchen");
    EXPECT_EQ(rows[1], std::string(20, 'X') + "\t" + std::string(254, 'X'));
    EXPECT_EQ(rows[2], "ORD-3\t") << "the record is cleared between calls";
    EXPECT_TRUE(JobListRows(JobListCalls()).empty());
}

TEST_F(NewJob, WhatOkTakesFromEachChoice) {
    NewJobTexts texts;
    texts.jobListName = "stale";
    // The empty job: five empty texts, whatever row is there.
    const std::string row = "ORD-1\tRossi\tkitchen";
    ASSERT_TRUE(TakeNewJobChoice(*settings, NewJobSource::Empty, &row, texts));
    EXPECT_EQ(texts.jobListName + texts.jobListDescription + texts.resultName + texts.resultDescription +
                  texts.resultPath,
              "");
    // A job list: only the first tab splits.
    ASSERT_TRUE(TakeNewJobChoice(*settings, NewJobSource::JobList, &row, texts));
    EXPECT_EQ(texts.jobListName, "ORD-1");
    EXPECT_EQ(texts.jobListDescription, "Rossi\tkitchen");
    // No row, or a row without a tab, keeps the window open and the texts as they were.
    const std::string noTab = "ORD-1";
    EXPECT_FALSE(TakeNewJobChoice(*settings, NewJobSource::JobList, nullptr, texts));
    EXPECT_FALSE(TakeNewJobChoice(*settings, NewJobSource::JobList, &noTab, texts));
    EXPECT_EQ(texts.jobListName, "ORD-1");
    // A spreadsheet result: the description between "[" and "]"; a vanished file keeps it open.
    const std::string result = "order\t[Customer X]";
    EXPECT_FALSE(TakeNewJobChoice(*settings, NewJobSource::Spreadsheet, &result, texts));
    WriteText(
        settings->excelImportFolder + "/IMPORT/order.TVX",
        "\"FL\";\"4MM\";\"\";2;1000.500;500.000;\"A1\";\"\";\"\";\"\"\r\n[XNI_GENERAL]\r\nFORMAT=TAVREL\r\n"
        "DESCRIPTION=Customer X\r\nFILE_VERSION=1\r\nITEMS=1\r\n");
    ASSERT_TRUE(TakeNewJobChoice(*settings, NewJobSource::Spreadsheet, &result, texts));
    EXPECT_EQ(texts.resultName, "order");
    EXPECT_EQ(texts.resultDescription, "Customer X");
    EXPECT_EQ(texts.jobListName, "") << "a new choice replaces the old one";
    EXPECT_TRUE(fs::equivalent(texts.resultPath, settings->excelImportFolder + "/IMPORT/order.TVX"));

    // The editor builds the job from them: name, title and file path, the pieces in inches.
    settings->current = Inches();
    Job job;
    std::string path;
    ASSERT_TRUE(BuildNewJob(*settings, texts, nullptr, job, path, prompt));
    EXPECT_EQ(job.name, "Customer X");
    EXPECT_EQ(job.title, "order");
    EXPECT_EQ(fs::path(path).filename(), "order.TVL");
    ASSERT_EQ(job.pieces.count(), 1);
    EXPECT_NEAR(job.pieces.at(0).width, 1000.5 / 25.4, 0.005);
    // Nothing in the way of the import; only the catalogue, which has no FL 4MM yet, is told.
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown().front().text.rfind(Msg("00104"), 0), 0u);
}

TEST_F(NewJob, TheJobTheEditorBuilds) {
    Job job;
    std::string path = "x";
    EXPECT_FALSE(BuildNewJob(*settings, NewJobTexts(), nullptr, job, path, prompt));
    EXPECT_EQ(job.title, Msg("00189"));
    EXPECT_EQ(path, "");

    // A job list without a description is named after the list; without the reader the job
    // stays empty and nothing is said twice (loading the reader told the user it is missing).
    NewJobTexts texts;
    texts.jobListName = "ORD-24117";
    Job fromList;
    ASSERT_TRUE(BuildNewJob(*settings, texts, nullptr, fromList, path, prompt));
    EXPECT_EQ(fromList.name, "ORD-24117");
    EXPECT_EQ(fromList.title, "ORD-24117");
    EXPECT_EQ(fs::path(path).filename(), "ORD-24117.TVL");
    EXPECT_EQ(fromList.pieces.count(), 0);
    EXPECT_TRUE(prompt.shown().empty());
    // With a description (a tab in it too) the job is named by it; title and file keep the list's
    // name.
    texts.jobListDescription = "Rossi\tkitchen";
    Job described;
    ASSERT_TRUE(BuildNewJob(*settings, texts, nullptr, described, path, prompt));
    EXPECT_EQ(described.name, "Rossi\tkitchen");
    EXPECT_EQ(described.title, "ORD-24117");
    EXPECT_EQ(fs::path(path).filename(), "ORD-24117.TVL");

    // A result whose description is empty: the job is named after the result, its pieces in
    // millimetres.
    texts = NewJobTexts();
    texts.resultName = "lista 12";
    texts.resultPath = dir / "lista 12.TVX";
    WriteText(texts.resultPath,
              "\"FL\";\"4MM\";\"\";3;0.500;2540000.000;\"A1\";\"\";\"\";\"\"\n[XNI_GENERAL]\nFORMAT=TAVREL\n"
              "DESCRIPTION=\nFILE_VERSION=1\nITEMS=1\n");
    Job fromResult;
    ASSERT_TRUE(BuildNewJob(*settings, texts, nullptr, fromResult, path, prompt));
    EXPECT_EQ(fromResult.name, "lista 12");
    EXPECT_EQ(fromResult.title, "lista 12");
    EXPECT_EQ(fs::path(path).filename(), "lista 12.TVL");
    ASSERT_EQ(fromResult.pieces.count(), 1);
    EXPECT_EQ(fromResult.pieces.at(0).quantity, 3);
    EXPECT_DOUBLE_EQ(fromResult.pieces.at(0).width, 0.5);
    EXPECT_DOUBLE_EQ(fromResult.pieces.at(0).height, 2540000.0);
    // Only the catalogue, which has no FL 4MM, is told.
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown().front().text.rfind(Msg("00104"), 0), 0u);

    // A result that cannot be read is told, naming the file.
    prompt.clear();
    texts = NewJobTexts();
    texts.resultPath = dir / "gone.TVX";
    Job broken;
    ASSERT_TRUE(BuildNewJob(*settings, texts, nullptr, broken, path, prompt));
    EXPECT_EQ(broken.title, "EXCEL");
    EXPECT_EQ(fs::path(path).filename(), "EXCEL.TVL") << "no nameless, hidden job file";
    ASSERT_FALSE(prompt.shown().empty());
    EXPECT_NE(prompt.shown().back().text.find("gone.TVX"), std::string::npos);
}

// An import may give several pieces one identifier, or none; the editor must get them apart, or
// the piece data window would refuse every one of them and the engine would mix their counts.
TEST_F(NewJob, AnImportedJobGetsIdentifiersOfItsOwnAndItsMaterialsInTheCatalogue) {
    fs::create_directories(settings->dataFolder);
    const std::string catalogue = settings->dataFolder + "/Materials.dat";
    WriteText(catalogue,
              "FILE_VERSION=2\r\n\"FL\";\"4MM\";\"Float 4\";\"\";4.000;10.000;10.000;10.000;20.000;0.000;"
              "250.000;250.000;0.000;1;0.000;0.000\r\n0\r\n");
    WriteText(settings->excelImportFolder + "/IMPORT/order.TVX",
              "\"FL\";\"4MM\";\"\";2;1000.500;500.000;\"W1\";\"\";\"\";\"\"\r\n"
              "\"FL\";\"6MM\";\"\";1;700.000;500.000;\"w1\";\"\";\"\";\"\"\r\n"
              "\"FL\";\"4MM\";\"\";3;300.000;200.000;\"\";\"\";\"\";\"\"\r\n"
              "[XNI_GENERAL]\r\nFORMAT=TAVREL\r\nDESCRIPTION=Customer X\r\nFILE_VERSION=1\r\nITEMS=3\r\n");
    NewJobTexts texts;
    texts.resultName = "order";
    texts.resultPath = settings->excelImportFolder + "/IMPORT/order.TVX";
    Job job;
    std::string path;
    ASSERT_TRUE(BuildNewJob(*settings, texts, nullptr, job, path, prompt));
    ASSERT_EQ(job.pieces.count(), 3);
    EXPECT_EQ(job.pieces.at(0).pieceId, "W1_a");
    EXPECT_EQ(job.pieces.at(1).pieceId, "W1_b") << "named after the first of them";
    EXPECT_EQ(Trim(job.pieces.at(2).pieceId), "PZ_1");
    // FL 6MM was not in the catalogue: added, and the user told.
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown().front().text.rfind(Msg("00104"), 0), 0u);
    EXPECT_NE(prompt.shown().front().text.find("6MM"), std::string::npos);
    MaterialList disk;
    disk.load(catalogue, settings->current);
    EXPECT_GE(disk.indexOf("FL", "6MM", ""), 0);
    EXPECT_GE(disk.indexOf("FL", "4MM", ""), 0);

    // An empty job touches nothing.
    prompt.clear();
    Job empty;
    EXPECT_FALSE(BuildNewJob(*settings, NewJobTexts(), nullptr, empty, path, prompt));
    EXPECT_TRUE(prompt.shown().empty());
}
