// The batch tool killed with SIGKILL at random moments while it saves a large catalogue or
// updates the stock after an optimisation: after every kill each file is the old file or the new
// file whole, and the next start reads it.

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "files/EngineResult.h"
#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "plates/PlatesFile.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

extern char** environ;

using namespace tavrel;

namespace {

pid_t StartBatch(const std::vector<std::string>& args) {
    std::vector<std::string> all{std::string(TAVREL_INSTALL_TREE) + "/tavrel-batch"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

// Temporary files an interrupted save left beside `path`; they are removed (the next save of
// another process would not take them for the file).
int RemoveLeftovers(const std::string& path) {
    const std::filesystem::path p(path);
    int found = 0;
    for (const auto& entry : std::filesystem::directory_iterator(p.parent_path()))
        if (entry.path().filename().string().rfind(p.filename().string() + ".tmp~", 0) == 0) {
            std::filesystem::remove(entry.path());
            ++found;
        }
    return found;
}

// A Windows station's stock of many plates, in the older format a resave brings up to date.
std::string LargeStock(int plates) {
    std::string text = "FILE_VERSION=1\r\n";
    for (int i = 0; i < plates; ++i)
        text += "\"FL\";\"" + std::to_string(4 + i % 7) + "MM\";\"T" + std::to_string(i) + "\";" +
                std::to_string(1 + i % 40) + ";3210;" + std::to_string(1000 + i % 1250) + ";" +
                std::to_string(i % 1000) + ";0;0;" + std::to_string(i % 3) + "\r\n";
    return text;
}

std::string LargeCatalogue(int materials) {
    std::string text = "FILE_VERSION=2\r\n";
    for (int i = 0; i < materials; ++i)
        text += "\"M" + std::to_string(i) + "\";\"" + std::to_string(3 + i % 9) +
                "MM\";\"Float glass, batch " + std::to_string(i) +
                "\";\"\";4;10;10;10;20;0;250;250;0;1;0;0\r\n0\r\n";
    return text;
}

class KilledSave : public ::testing::Test {
protected:
    void SetUp() override { InstallSuiteFiles(dir.path()); }

    // Runs `args` once to the end for the new text, then `kills` times with a SIGKILL at a
    // random moment up to a little past the time a whole run takes; checks after each kill.
    template <typename Load>
    void KillRepeatedly(const std::string& path, const std::string& before,
                        const std::vector<std::string>& args, int kills, Load load) {
        WriteText(path, before);
        const auto start = std::chrono::steady_clock::now();
        const pid_t whole = StartBatch(args);
        ASSERT_GT(whole, 0);
        const int status = Wait(whole);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the uninterrupted run failed";
        const auto runTime = std::chrono::steady_clock::now() - start;
        const std::string after = ReadText(path);
        ASSERT_NE(after, before);
        const int records = load(path);
        ASSERT_GT(records, 0);

        std::mt19937 rng(20261208);
        const long long span =
            std::chrono::duration_cast<std::chrono::microseconds>(runTime).count() * 12 / 10;
        std::uniform_int_distribution<long long> delay(0, span);
        std::uniform_int_distribution<long long> inSave(0, 20000);
        int oldSeen = 0, newSeen = 0, leftovers = 0;
        for (int k = 0; k < kills; ++k) {
            WriteText(path, before);
            const pid_t pid = StartBatch(args);
            ASSERT_GT(pid, 0);
            if (k % 2 == 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
            } else {
                // Every other kill lands inside the save itself: once the temporary file of this
                // process appears, at a random moment of the write, the sync or the rename.
                const std::string temp = path + ".tmp~" + std::to_string(pid);
                const auto limit = std::chrono::steady_clock::now() + 2 * runTime + std::chrono::seconds(1);
                while (!std::filesystem::exists(temp) && std::chrono::steady_clock::now() < limit)
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
                std::this_thread::sleep_for(std::chrono::microseconds(inSave(rng)));
            }
            ::kill(pid, SIGKILL);
            Wait(pid);
            const std::string now = ReadText(path);
            ASSERT_TRUE(now == before || now == after)
                << "kill " << k << ": " << path << " is neither the old nor the new file (" << now.size()
                << " bytes)";
            (now == before ? oldSeen : newSeen)++;
            leftovers += RemoveLeftovers(path);
            EXPECT_EQ(load(path), records) << "kill " << k << ": the next start reads the file";
        }
        // Kills before, during and after the save: both outcomes must have happened, or the
        // kills missed the save.
        EXPECT_GT(oldSeen, 0);
        EXPECT_GT(newSeen, 0);
        RecordProperty("old", oldSeen);
        RecordProperty("new", newSeen);
        RecordProperty("leftovers", leftovers);
    }

    TempDir dir;
};

}  // namespace

TEST_F(KilledSave, StockResave) {
    const std::string path = dir / "DAT/Plates.dat";
    KillRepeatedly(path, LargeStock(20000), {"--install", dir.path(), "resave", "plates"}, 50,
                   [](const std::string& p) {
                       PlateList stock;
                       return PlatesFile::load(p, stock, Millimetres()) ? stock.count() : -1;
                   });
}

TEST_F(KilledSave, CatalogueResave) {
    const std::string path = dir / "DAT/Materials.dat";
    KillRepeatedly(path, LargeCatalogue(20000), {"--install", dir.path(), "resave", "materials"}, 50,
                   [](const std::string& p) {
                       MaterialList materials;
                       return MaterialsFile::load(p, materials, Millimetres()) ? materials.count() : -1;
                   });
}

// An optimisation accepted with the stock update: the stock (a large Plates.dat, so its save
// takes a while), the job saved with its optimised material, the stored result and its
// "applied" mark. The engine runs a fixed number of steps with a fixed seed, so every whole run
// makes the same files.
TEST(KilledStockUpdate, OptimiseWithStockUpdate) {
    namespace fs = std::filesystem;
    TempDir dir;
    InstallSuiteFiles(dir.path());
    const fs::path demo = fs::path(TAVREL_SOURCE_DIR) / "resources" / "demo";
    fs::copy(demo / "DAT", dir / "DAT", fs::copy_options::recursive);
    fs::copy(demo / "TVL", dir / "TVL", fs::copy_options::recursive);
    fs::copy_file(fs::path(TAVREL_INSTALL_TREE) / "libZORUDIR.so", dir / "libZORUDIR.so");
    WriteText(dir / "Tavrel.CFG", "[Configuration]\nDlgOptiEditorParameters=/STEPS=200 /SEED=7\n");
    std::string stock = ReadText(dir / "DAT/Plates.dat");
    for (int i = 0; i < 20000; ++i)
        stock += "\"M" + std::to_string(i % 50) + "\";\"" + std::to_string(4 + i % 7) + "MM\";\"\";" +
                 std::to_string(1 + i % 40) + ";3210.000;" + std::to_string(1000 + i % 1250) + ".000;" +
                 std::to_string(i % 1000) + ";0.000;0;" + std::to_string(i % 3) + ";0.000000\n";
    WriteText(dir / "DAT/Plates.dat", stock);

    const std::string platesPath = dir / "DAT/Plates.dat";
    const std::string jobPath = dir / "TVL/DEMO_KITCHEN.TVL";
    const std::string resultPath = dir / "M.R/DEMO_KITCHEN.R01";
    const std::string markPath = resultPath + ".applied";
    const std::string stockBefore = stock;
    const std::string jobBefore = ReadText(jobPath);
    const std::vector<std::string> args{"--install",   dir.path(), "optimise", "DEMO_KITCHEN.TVL",
                                        "--materials", "FL,4MM",   "--stock",  "update"};
    auto reset = [&] {
        WriteText(platesPath, stockBefore);
        WriteText(jobPath, jobBefore);
        std::error_code ec;
        for (const char* folder : {"M.R", "CNC", "TEMP"})
            for (const auto& entry : fs::directory_iterator(dir / folder, ec))
                fs::remove_all(entry.path(), ec);
    };
    auto wholeRun = [&] {
        reset();
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = StartBatch(args);
        EXPECT_GT(pid, 0);
        const int status = Wait(pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the uninterrupted run failed";
        return std::chrono::steady_clock::now() - start;
    };

    const auto runTime = wholeRun();
    const std::string stockAfter = ReadText(platesPath);
    const std::string jobAfter = ReadText(jobPath);
    ASSERT_TRUE(fs::exists(resultPath) && fs::exists(markPath));
    const std::string resultAfter = ReadText(resultPath);
    ASSERT_NE(stockAfter, stockBefore);
    ASSERT_NE(jobAfter, jobBefore);
    wholeRun();
    ASSERT_EQ(ReadText(platesPath), stockAfter) << "two whole runs differ: the kills could not be judged";
    ASSERT_EQ(ReadText(resultPath), resultAfter);
    PlateList expected;
    ASSERT_TRUE(PlatesFile::load(platesPath, expected, Millimetres()));

    std::mt19937 rng(20261209);
    const long long span = std::chrono::duration_cast<std::chrono::microseconds>(runTime).count() * 12 / 10;
    std::uniform_int_distribution<long long> delay(0, span);
    std::uniform_int_distribution<long long> inSave(0, 20000);
    int stockNew = 0, stockOld = 0, updatedWithoutMark = 0, storedNotApplied = 0;
    for (int k = 0; k < 40; ++k) {
        reset();
        const pid_t pid = StartBatch(args);
        ASSERT_GT(pid, 0);
        if (k % 2 == 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
        } else {
            // Inside the stock's save: once its temporary file appears.
            const std::string temp = platesPath + ".tmp~" + std::to_string(pid);
            const auto limit = std::chrono::steady_clock::now() + 2 * runTime + std::chrono::seconds(1);
            while (!fs::exists(temp) && std::chrono::steady_clock::now() < limit)
                std::this_thread::sleep_for(std::chrono::microseconds(20));
            std::this_thread::sleep_for(std::chrono::microseconds(inSave(rng)));
        }
        ::kill(pid, SIGKILL);
        Wait(pid);
        const std::string nowStock = ReadText(platesPath);
        ASSERT_TRUE(nowStock == stockBefore || nowStock == stockAfter)
            << "kill " << k << ": Plates.dat is neither the old nor the new stock (" << nowStock.size()
            << " bytes)";
        const std::string nowJob = ReadText(jobPath);
        ASSERT_TRUE(nowJob == jobBefore || nowJob == jobAfter) << "kill " << k << ": the job file is torn";
        if (fs::exists(resultPath)) {
            EXPECT_EQ(ReadText(resultPath), resultAfter) << "kill " << k << ": the stored result is torn";
        }
        (nowStock == stockAfter ? stockNew : stockOld)++;
        // The stock moves only once the result is stored and the job lists it: a stock that
        // followed a result the job does not hold would take its plates again at the next run.
        if (nowStock == stockAfter) {
            EXPECT_TRUE(nowJob == jobAfter && fs::exists(resultPath))
                << "kill " << k << ": the stock follows a result the job does not hold";
        }
        // Killed between the stock's save and the result's "applied" mark (counted for the notes).
        if (nowStock == stockAfter && !fs::exists(markPath)) ++updatedWithoutMark;
        // Killed after the result was stored and before the stock moved: the result is there
        // to apply from the optimised material list.
        if (nowStock == stockBefore && nowJob == jobAfter && fs::exists(resultPath)) ++storedNotApplied;
        RemoveLeftovers(platesPath);
        RemoveLeftovers(jobPath);

        // The next start reads everything the kill left.
        PlateList plates;
        EXPECT_TRUE(PlatesFile::load(platesPath, plates, Millimetres()));
        EXPECT_EQ(plates.count(), nowStock == stockAfter ? expected.count() : plates.count());
        Job job;
        EXPECT_TRUE(job.load(jobPath, Millimetres())) << "kill " << k;
        if (fs::exists(resultPath)) {
            ResultPlan plan;
            EXPECT_TRUE(ReadResultFile(resultPath, plan)) << "kill " << k;
        }
    }
    EXPECT_GT(stockOld, 0);
    EXPECT_GT(stockNew, 0);
    RecordProperty("stock_old", stockOld);
    RecordProperty("stock_new", stockNew);
    RecordProperty("updated_without_mark", updatedWithoutMark);
    RecordProperty("stored_not_applied", storedNotApplied);
}
