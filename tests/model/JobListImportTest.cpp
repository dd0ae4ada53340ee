#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/Job.h"
#include "model/JobListImport.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "support/ReaderInstallation.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

// A reader of the kind the program was first written against: it delivers the last record
// together with the 0 handle, and logs every call, so the import's walk can be checked against
// the calls it has to make.
struct FakeItem {
    int item;
    std::string serie, code, t1, t2, t3;
    int quantity, width, height;
};

struct FakeReader {
    int count = 0;
    std::vector<std::pair<int, std::string>> infos;
    std::vector<FakeItem> panels, glass;
    std::vector<std::string> log;
    bool callerWordCleared = true;
};
FakeReader g_fake;

void Put(void* record, std::size_t offset, const std::string& text) {
    std::memcpy(static_cast<char*>(record) + offset, text.c_str(), text.size() + 1);
}
void PutInt(void* record, std::size_t offset, std::int32_t value) {
    std::memcpy(static_cast<char*>(record) + offset, &value, sizeof value);
}

JobListHandle FillInfo(JobListHandle index, void* record) {
    std::memset(record, 0, JobInfoRecord::kSize);
    if (index >= g_fake.infos.size()) return 0;
    PutInt(record, JobInfoRecord::kItemNumber, g_fake.infos[index].first);
    Put(record, JobInfoRecord::kItemName, g_fake.infos[index].second);
    PutInt(record, JobInfoRecord::kCallerWord, 77);
    return index + 1 < g_fake.infos.size() ? index + 1 : 0;
}

JobListHandle FillItem(const std::vector<FakeItem>& items, JobListHandle index, void* record) {
    std::memset(record, 0, ItemRecord::kSize);
    if (index >= items.size()) return 0;
    const FakeItem& i = items[index];
    PutInt(record, ItemRecord::kItemNumber, i.item);
    Put(record, ItemRecord::kSerie, i.serie);
    Put(record, ItemRecord::kCode, i.code);
    Put(record, ItemRecord::kTreatments[0], i.t1);
    Put(record, ItemRecord::kTreatments[1], i.t2);
    Put(record, ItemRecord::kTreatments[2], i.t3);
    PutInt(record, ItemRecord::kQuantity, i.quantity);
    PutInt(record, ItemRecord::kWidth, i.width);
    PutInt(record, ItemRecord::kHeight, i.height);
    return index + 1 < items.size() ? index + 1 : 0;
}

JobListCalls FakeCalls() {
    JobListCalls c;
    c.getJobListFirst = [](void*) -> JobListHandle { return 0; };
    c.getJobListNext = [](JobListHandle, void*) -> JobListHandle { return 0; };
    c.getJobItemsNumber = [](const char* id) -> std::int32_t {
        g_fake.log.push_back(std::string("items ") + id);
        return g_fake.count;
    };
    c.getJobInfoFirst = [](const char*, void* r) {
        g_fake.log.push_back("info first");
        return FillInfo(0, r);
    };
    c.getJobInfoNext = [](JobListHandle h, void* r) -> JobListHandle {
        g_fake.log.push_back("info next " + std::to_string(h));
        std::int32_t word = -1;
        std::memcpy(&word, static_cast<char*>(r) + JobInfoRecord::kCallerWord, sizeof word);
        g_fake.callerWordCleared = g_fake.callerWordCleared && word == 0;
        return h == 0 ? 0 : FillInfo(h, r);
    };
    c.getPanFirst = [](const char*, void* r) { return FillItem(g_fake.panels, 0, r); };
    c.getPanNext = [](JobListHandle h, void* r) { return h == 0 ? 0 : FillItem(g_fake.panels, h, r); };
    c.getGlassFirst = [](const char*, void* r) { return FillItem(g_fake.glass, 0, r); };
    c.getGlassNext = [](JobListHandle h, void* r) { return h == 0 ? 0 : FillItem(g_fake.glass, h, r); };
    return c;
}

struct Line {
    std::string pieceId, serie, code, treatment;
    int quantity;
    double width, height;
    bool operator==(const Line&) const = default;
};

std::vector<Line> Lines(const Job& job) {
    std::vector<Line> lines;
    for (const Piece& p : job.pieces)
        lines.push_back({p.pieceId, p.serie, p.code, p.treatment, p.quantity, p.width, p.height});
    return lines;
}

}  // namespace

// The fields of the item records: equal panels of one item merge, treatment parts join with one
// blank, an unnamed item gives "_<number>", and records of item 0 or beyond the job's items
// make nothing. The pieces already in the job stay.
TEST(JobListImport, TakesTheItemRecords) {
    g_fake = {};
    g_fake.count = 3;
    g_fake.infos = {{1, "T1"}, {2, ""}, {3, "W3"}};
    g_fake.panels = {{2, "FL", "4MM", "", "", "", 3, 1000, 500},
                     {2, "FL", "4MM", "", "", "", 4, 1000, 500},
                     {3, "FL", "6MM", "X", "", "Z", 1, 2400, 600}};
    g_fake.glass = {{0, "FL", "8MM", "", "", "", 9, 800, 350},
                    {1, "LAM", "44-2", "", "", "", 2, 1600, 1000},
                    {4, "FL", "8MM", "", "", "", 5, 800, 350}};
    Job job;
    job.pieces.append(Piece("FL", "4MM", "", 300, 200, 1, "OLD"));
    const JobListImportReport report = job.importJobList("ORD-1", Millimetres(), FakeCalls());
    EXPECT_TRUE(report.readerAvailable);
    EXPECT_EQ(report.itemCount, 3);
    EXPECT_EQ(report.outsideItems, 1) << "item 4; item 0 is what a cleared record holds";
    EXPECT_EQ(job.pieces.idMode, PiecesFromJobList);
    EXPECT_EQ(Lines(job), (std::vector<Line>{{"OLD", "FL", "4MM", "", 1, 300, 200},
                                             {"_2", "FL", "4MM", "", 7, 1000, 500},
                                             {"W3_3", "FL", "6MM", "X Z", 1, 2400, 600},
                                             {"T1_1", "LAM", "44-2", "", 2, 1600, 1000}}));

    // The same records in inches, at every decimal setting: whole millimetres shown as the
    // screen shows them.
    for (int decimals = kMinDecimals; decimals <= kMaxDecimals; ++decimals) {
        Job inches;
        (void)inches.importJobList("ORD-1", Inches(decimals), FakeCalls());
        ASSERT_EQ(inches.pieces.count(), 3);
        const double width[] = {39.0, 39.4, 39.37, 39.370};   // 1000 mm
        const double height[] = {94.0, 94.5, 94.49, 94.488};  // 2400 mm
        EXPECT_NEAR(inches.pieces.at(0).width, width[decimals], 1e-9) << decimals;
        EXPECT_NEAR(inches.pieces.at(1).width, height[decimals], 1e-9) << decimals;
    }
}

// The walk over the job information examines the record delivered with the 0 handle and makes
// one more call with handle 0; the first name of an item wins; the word the reader uses is
// cleared before every next call. An empty serie in the first panel record skips the panels,
// while in a later glass record it does not stop anything.
TEST(JobListImport, WalksTheRecordsAsTheReaderDeliversThem) {
    g_fake = {};
    g_fake.count = 2;
    g_fake.infos = {{1, "FIRST"}, {1, "SECOND"}, {2, "LAST"}};
    g_fake.panels = {{1, "", "4MM", "", "", "", 1, 100, 100}, {1, "FL", "4MM", "", "", "", 1, 100, 100}};
    g_fake.glass = {{1, "FL", "6MM", "", "", "", 1, 200, 200}, {2, "", "", "", "", "", 2, 300, 300}};
    Job job;
    const JobListImportReport report = job.importJobList("J", Millimetres(), FakeCalls());
    EXPECT_EQ(g_fake.log, (std::vector<std::string>{"items J", "info first", "info next 1", "info next 2",
                                                    "info next 0"}));
    EXPECT_TRUE(g_fake.callerWordCleared);
    EXPECT_EQ(report.records, 2);
    EXPECT_EQ(Lines(job), (std::vector<Line>{{"FIRST_1", "FL", "6MM", "", 1, 200, 200},
                                             {"LAST_2", "", "", "", 2, 300, 300}}));

    // No items: no names are asked for and no record makes a piece.
    g_fake.count = 0;
    g_fake.log.clear();
    Job none;
    EXPECT_EQ(none.importJobList("J", Millimetres(), FakeCalls()).records, 0);
    EXPECT_EQ(g_fake.log, (std::vector<std::string>{"items J"}));
    EXPECT_EQ(none.pieces.count(), 0);
}

// Without the reader nothing is imported and the caller knows why.
TEST(JobListImport, WithoutTheReader) {
    Job job;
    const JobListImportReport report = job.importJobList("ORD-1", Millimetres(), JobListCalls{});
    EXPECT_FALSE(report.readerAvailable);
    EXPECT_EQ(job.pieces.count(), 0);
    EXPECT_EQ(job.pieces.idMode, PiecesTyped);
}

// The shipped demo job lists, through the real reader, become jobs whose every material is in
// the demo catalogue and has stock, in millimetres and in inches.
TEST(JobListImport, DemoJobListsMakeWorkshopJobs) {
    ReaderInstallation install;
    install.addDemoJobLists();
    ASSERT_TRUE(install.load());
    const std::string demo = std::string(TAVREL_SOURCE_DIR) + "/resources/demo/DAT/";
    MaterialList catalogue;
    PlateList stock;
    ASSERT_TRUE(catalogue.load(demo + "Materials.dat", Millimetres()));
    ASSERT_TRUE(stock.load(demo + "Plates.dat", Millimetres()));
    const std::map<std::string, std::pair<int, int>> expected = {{"ORD-24117", {8, 22}},
                                                                 {"ORD-24121", {7, 15}}};
    for (const JobListEntry& list : ReadJobLists(install.calls())) {
        Job job;
        const JobListImportReport report = job.importJobList(list.name, Millimetres(), install.calls());
        EXPECT_TRUE(report.readerProblems.empty()) << list.name;
        EXPECT_EQ(report.outsideItems, 0);
        int total = 0;
        for (const Piece& p : job.pieces) total += p.quantity;
        EXPECT_EQ(std::make_pair(job.pieces.count(), total), expected.at(list.name)) << list.name;
        MaterialKeyList missing;
        const MaterialList used = job.pieces.materialsUsed(catalogue, missing);
        EXPECT_TRUE(missing.empty()) << list.name;
        for (const Material& m : used) {
            if (!m.isComposite()) {
                EXPECT_TRUE(stock.hasPlateFor(m.serie, m.code, m.treatment)) << m.code;
                continue;
            }
            for (const MaterialKey& layer : m.components)
                EXPECT_TRUE(stock.hasPlateFor(layer.serie, layer.code, layer.treatment)) << layer.code;
        }
    }
    Job winter;
    (void)winter.importJobList("ORD-24117", Inches(), install.calls());
    ASSERT_GE(winter.pieces.count(), 1);
    const Piece& first = winter.pieces.at(0);
    EXPECT_EQ(first.pieceId, "W1_1");
    EXPECT_NEAR(first.width, 35.43, 1e-9);   // 900 mm
    EXPECT_NEAR(first.height, 17.72, 1e-9);  // 450 mm
    // The item W1 has a panel and a glass line: the editor's identifier pass tells them apart.
    winter.pieces.assignPieceIds();
    std::vector<std::string> ids;
    for (const Piece& p : winter.pieces) ids.push_back(p.pieceId);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

// A job list with lines the reader left out still gives the rest of its pieces, and the user is
// told which lines are missing, each once, though every walk of the reader read them again.
TEST(JobListImport, TellsWhichLinesWereLeftOut) {
    ReaderInstallation install;
    install.write(
        "broken.qjl",
        "QJL=1\r\nJOB=BROKEN\r\nITEM=1;W1\r\nPANEL=1;FL;4MM;;;;2;1180\r\n"
        "PANEL=1;FL;4MM;;;;2;1180;760\r\nGLASS=1;FL;6MM;;;;x;500;500\r\nGLASS=1;FL;6MM;;;;1;500;500\r\n");
    ASSERT_TRUE(install.load());
    Job job;
    const JobListImportReport report = job.importJobList("BROKEN", Millimetres(), install.calls());
    EXPECT_EQ(job.pieces.count(), 2);
    ASSERT_EQ(report.readerProblems.size(), 2u);
    EXPECT_EQ(report.readerProblems[0].rfind("broken.qjl line 4:", 0), 0u) << report.readerProblems[0];
    EXPECT_EQ(report.readerProblems[1].rfind("broken.qjl line 6:", 0), 0u) << report.readerProblems[1];
    ScriptedPrompt prompt;
    EXPECT_TRUE(TellJobListProblems(report, prompt));
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text.rfind("00403", 0), 0u);
    EXPECT_NE(prompt.shown()[0].text.find(report.readerProblems[1]), std::string::npos);
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Exclamation);

    ScriptedPrompt quiet;
    EXPECT_FALSE(TellJobListProblems(JobListImportReport{}, quiet));
    EXPECT_TRUE(quiet.shown().empty());

    // A job list that is not there gives an empty job, not someone else's.
    Job absent;
    const JobListImportReport none = absent.importJobList("ORD-1", Millimetres(), install.calls());
    EXPECT_EQ(none.itemCount, 0);
    EXPECT_EQ(absent.pieces.count(), 0);
}

// A large order: thousands of lines over hundreds of items, sizes from a few millimetres to
// the largest the reader takes, repeated lines merging.
TEST(JobListImport, ThousandsOfLines) {
    ReaderInstallation install;
    std::string text = "QJL=1\nJOB=LARGE\n";
    for (int item = 1; item <= 400; ++item)
        text += "ITEM=" + std::to_string(item) + ";P" + std::to_string(item) + "\n";
    int expectedTotal = 0;
    for (int k = 0; k < 4000; ++k) {
        const int item = k % 400 + 1;
        const int width = k < 2000 ? 3 + k : 9999999;
        text += std::string(k % 2 ? "GLASS=" : "PANEL=") + std::to_string(item) + ";FL;4MM;;;;" +
                std::to_string(k % 5 + 1) + ";" + std::to_string(width) + ";1000\n";
        expectedTotal += k % 5 + 1;
    }
    install.write("large.qjl", text);
    ASSERT_TRUE(install.load());
    Job job;
    const JobListImportReport report = job.importJobList("LARGE", Millimetres(), install.calls());
    EXPECT_EQ(report.records, 4000);
    EXPECT_TRUE(report.readerProblems.empty());
    int total = 0;
    for (const Piece& p : job.pieces) total += p.quantity;
    EXPECT_EQ(total, expectedTotal);
    // The first 2000 lines differ in width; the rest repeat per item and merge into 400 lines.
    EXPECT_EQ(job.pieces.count(), 2000 + 400);
    double smallest = 1e18, largest = 0;
    for (const Piece& p : job.pieces)
        smallest = std::min(smallest, p.width), largest = std::max(largest, p.width);
    EXPECT_DOUBLE_EQ(smallest, 3.0);
    EXPECT_DOUBLE_EQ(largest, 9999999.0);
}
