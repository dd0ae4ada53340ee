// The library as the program loads it: the three exported entries and the LoadEditor contract
// (optimise call returns an existing result file or ""; the machine-file call writes
// CNC/<job base name><result extension>, "R01" when the result has none).

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

#include "GoldenLines.h"
#include "files/EngineStatus.h"
#include "support/TempDir.h"

namespace {

using LoadEditorFn = int (*)(void*, char*, char*, int*);
using FromSysFn = int (*)(char*, int, int, int, double);
using ToSysFn = int (*)(const char*, int, double*, int);

class Library : public ::testing::Test {
protected:
    void SetUp() override {
        handle = ::dlopen(TAVREL_INSTALL_TREE "/libZORUDIR.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << ::dlerror();
        loadEditor = reinterpret_cast<LoadEditorFn>(::dlsym(handle, "LoadEditor"));
        fromSys = reinterpret_cast<FromSysFn>(::dlsym(handle, "CnvDimFromSysUMC"));
        toSys = reinterpret_cast<ToSysFn>(::dlsym(handle, "CnvDimToSysUMC"));
        ASSERT_TRUE(loadEditor && fromSys && toSys);
        char cwd[4096];
        ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
        saved = cwd;
        ASSERT_EQ(::chdir(dir.path().c_str()), 0);  // the program's current folder
    }
    void TearDown() override {
        EXPECT_EQ(::chdir(saved.c_str()), 0);
        if (handle) {
            ::dlclose(handle);
        }
    }

    // Calls LoadEditor the way the program does: zero-filled buffers of 512 and 1024 bytes.
    std::string Call(const std::string& path, const std::string& params, int* status = nullptr) {
        char p[512] = {0};
        char q[1024] = {0};
        std::memcpy(p, path.data(), std::min<size_t>(path.size(), 511));
        std::memcpy(q, params.data(), std::min<size_t>(params.size(), 1023));
        int s = -1;
        loadEditor(nullptr, p, q, &s);
        if (status) {
            *status = s;
        }
        return std::string(p);
    }

    std::string Input(const std::string& name, long pieceWidth = 5000) {
        const std::string text = golden::LineA("FL_4MM", 1, 32100, 22500, 99999, 0, 'R') +
                                 golden::LineB(100, 0, 2000) +
                                 golden::Piece("FL_4MM", 1, pieceWidth, 3000, 6, "W1", true) +
                                 golden::Piece("FL_4MM", 2, 2500, 1800, 4, "W2", false);
        WriteText(dir / name, text);
        return dir / name;
    }

    TempDir dir;
    std::string saved;
    void* handle = nullptr;
    LoadEditorFn loadEditor = nullptr;
    FromSysFn fromSys = nullptr;
    ToSysFn toSys = nullptr;
};

}  // namespace

TEST_F(Library, OptimiseCallReturnsAnExistingResult) {
    int status = -1;
    const std::string result = Call(Input("JOB.R01"), " /OPT /TIME=0.2", &status);
    ASSERT_FALSE(result.empty());
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(std::filesystem::exists(result));
    EXPECT_EQ(std::filesystem::path(result).filename().string(), "JOB.OPT.R01");
    const std::string text = ReadText(result);
    EXPECT_NE(text.find("BLOCKSTART"), std::string::npos);
    EXPECT_NE(text.find("[PATTERN]"), std::string::npos);
    EXPECT_NE(text.find("[CUT]"), std::string::npos);
    EXPECT_NE(text.find("[INFO]"), std::string::npos);
    EXPECT_NE(text.find("BLOCKEND"), std::string::npos);
}

TEST_F(Library, StepLimitRepeatsThePlan) {
    // Two plate types: no bound ends the search before its steps are done.
    const std::string text =
        golden::LineA("FL_4MM", 1, 32100, 22500, 99999, 0, 'R') + golden::LineB(100, 0, 2000) +
        golden::LineA("FL_4MM", 2, 20000, 16000, 2, 999, 'r') + golden::LineB(100, 0, 2000) +
        golden::Piece("FL_4MM", 1, 5000, 3000, 9, "W1", true) +
        golden::Piece("FL_4MM", 2, 7300, 2800, 7, "W2", true) +
        golden::Piece("FL_4MM", 3, 2500, 1800, 13, "W3", false);
    WriteText(dir / "A.R01", text);
    WriteText(dir / "B.R01", text);
    const std::string a = Call(dir / "A.R01", " /OPT /STEPS=3000 /TIME=60 /SEED=4");
    const std::string b = Call(dir / "B.R01", " /opt /steps=3000 /time=60 /seed=4");
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    const std::string ta = ReadText(a);
    const std::string tb = ReadText(b);
    EXPECT_EQ(ta.substr(ta.find("BLOCKSTART")), tb.substr(tb.find("BLOCKSTART")));
}

TEST_F(Library, ImpossibleInputReturnsAnEmptyPath) {
    int status = -1;
    EXPECT_EQ(Call(Input("BIG.R01", 40000), " /OPT ", &status), "");
    EXPECT_EQ(status, 2);
    // The reason as data beside the input: which piece, by identifier, number and size.
    EngineReport told;
    ASSERT_TRUE(ReadEngineReport(EngineReportPath(dir / "BIG.R01"), told));
    EXPECT_EQ(told.status, EngineStatus::PieceTooLarge);
    EXPECT_EQ(told.pieceId, "W1");
    EXPECT_EQ(told.pieceNumber, 1);
    EXPECT_EQ(told.pieceWidth, 40000);
    EXPECT_EQ(told.pieceHeight, 3000);
    // One plate in stock for pieces that need several: no plan that leaves pieces out.
    WriteText(dir / "SHORT.R01", golden::LineA("FL_4MM", 1, 10000, 10000, 1, 0, 'R') +
                                     golden::LineB(0, 0, 0) +
                                     golden::Piece("FL_4MM", 1, 6000, 6000, 3, "Q", true));
    EXPECT_EQ(Call(dir / "SHORT.R01", " /OPT /TIME=0.1", &status), "");
    EXPECT_EQ(status, 3);
    // One 600 mm square on the plate, two left over: the stock lacks their area.
    ASSERT_TRUE(ReadEngineReport(EngineReportPath(dir / "SHORT.R01"), told));
    EXPECT_EQ(told.status, EngineStatus::StockTooSmall);
    EXPECT_EQ(told.piecesLeft, 2);
    EXPECT_EQ(told.piecesTotal, 3);
    EXPECT_EQ(told.areaLeft, 2LL * 6000 * 6000);
    EXPECT_EQ(told.areaLacking, 2LL * 6000 * 6000);
    EXPECT_EQ(Call(dir / "MISSING.R01", " /OPT ", &status), "");
    EXPECT_EQ(status, 1);
    WriteText(dir / "JUNK.R01", "not an engine input\n");
    EXPECT_EQ(Call(dir / "JUNK.R01", " /OPT ", &status), "");
    // A path buffer without its terminating zero must not be read past its end.
    char p[512];
    std::memset(p, 'a', sizeof p);
    char q[1024] = " /OPT ";
    int s = -1;
    loadEditor(nullptr, p, q, &s);
    EXPECT_EQ(p[0], '\0');
}

TEST_F(Library, MachineFileTakesJobBaseAndResultExtension) {
    const std::string result = Call(Input("JOB.R01"), " /OPT /TIME=0.1");
    ASSERT_FALSE(result.empty());
    Call(result, "");
    EXPECT_TRUE(std::filesystem::exists(dir / "CNC/JOB.R01"));
    EXPECT_NE(ReadText(dir / "CNC/JOB.R01").find("BLOCKEND"), std::string::npos);

    // Stored under another run number, the copy gives that number's machine file.
    std::filesystem::copy_file(result, dir / "JOB.R07");
    Call(dir / "JOB.R07", "");
    EXPECT_TRUE(std::filesystem::exists(dir / "CNC/JOB.R07"));

    // A result path without extension: "R01".
    std::filesystem::copy_file(result, dir / "NOEXT");
    std::filesystem::remove(dir / "CNC/JOB.R01");
    Call(dir / "NOEXT", "");
    EXPECT_TRUE(std::filesystem::exists(dir / "CNC/JOB.R01"));

    // A job file without "." gives inputs like JOBR01: the base has no dot either.
    const std::string plain = Call(Input("PLAINR03"), " /OPT /TIME=0.1");
    ASSERT_FALSE(plain.empty());
    Call(plain, "");
    EXPECT_TRUE(std::filesystem::exists(dir / "CNC/PLAINR03"));

    // A result made elsewhere, without the job base in its header: its own file name decides.
    std::string text = ReadText(result);
    const size_t at = text.find("JobBase=");
    ASSERT_NE(at, std::string::npos);
    text.erase(at, text.find('\n', at) - at + 1);
    WriteText(dir / "OTHER.R05", text);
    Call(dir / "OTHER.R05", "");
    EXPECT_TRUE(std::filesystem::exists(dir / "CNC/OTHER.R05"));

    int status = -1;
    Call(dir / "NOSUCHFILE.R01", "", &status);
    EXPECT_EQ(status, 5);
}

TEST_F(Library, LengthTextsInTheUnitsOfConfigIni) {
    char out[64];
    ASSERT_EQ(fromSys(out, 2, 0, 2, 12.34), 1);
    EXPECT_STREQ(out, "12.3");  // millimetres, one decimal
    ASSERT_EQ(fromSys(out, 2, 1, 2, 25.4), 1);
    EXPECT_STREQ(out, "1.00");  // inches, two decimals
    ASSERT_EQ(fromSys(out, 2, 9, 2, 7.0), 1);
    EXPECT_STREQ(out, "7.0") << "an unknown section falls back to millimetres";
    double mm = 0;
    ASSERT_EQ(toSys("2.5", 1, &mm, 0), 1);
    EXPECT_NEAR(mm, 63.5, 1e-9);
    ASSERT_EQ(toSys(" 12.3 ", 0, &mm, 0), 1);
    EXPECT_NEAR(mm, 12.3, 1e-9);
    EXPECT_EQ(toSys("12mm", 0, &mm, 0), 0);
    EXPECT_EQ(toSys("", 0, &mm, 0), 0);
}
