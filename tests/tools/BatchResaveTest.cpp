#include <cstdio>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace {

struct BatchRun {
    int exitCode = -1;
    std::string output;
};

BatchRun Batch(const std::string& args) {
    BatchRun run;
    const std::string command = std::string("\"") + TAVREL_INSTALL_TREE + "/tavrel-batch\" " + args + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class BatchResave : public ::testing::Test {
protected:
    void SetUp() override { InstallSuiteFiles(dir.path()); }
    std::string Install() const { return "--install \"" + dir.path() + "\" "; }
    TempDir dir;
};

}  // namespace

TEST_F(BatchResave, PlatesAreMergedCorrectedAndWrittenBack) {
    WriteText(dir / "DAT/Plates.dat",
              "FILE_VERSION=1\r\n"
              "\"FL\";\"4MM\";\"\";5;3210;2250;1;0;0;0\r\n"
              "\"FL\";\"4MM\";\"\";3;3210;2250;1;0;0;0\r\n"
              "\"FL\";\"4MM\";\"\";10;6000;3210;0;0;0;2\r\n");
    const BatchRun run = Batch(Install() + "resave plates");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("plate lines read: 3"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("merged into an earlier equal entry: 1"), std::string::npos);
    EXPECT_NE(run.output.find("values corrected"), std::string::npos);
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"),
              "FILE_VERSION=2\n"
              "\"FL\";\"4MM\";\"\";8;3210.000;2250.000;1;0.000;0;0;0.000000\n"
              "\"FL\";\"4MM\";\"\";99999;6000.000;3210.000;0;0.000;0;2;0.000000\n");
}

TEST_F(BatchResave, JobsInInchesKeepTheirMillimetres) {
    WriteText(dir / "BRENIX.INI", "[GenGen]\nUMDef=Pollici Americani\n");
    const std::string job =
        "FILE_VERSION=3\n\"J\"\n\"\"\n\"\"\n\"0.000;0.000;0;0;0\"\n1\n"
        "\"FL\";\"4MM\";\"\";2;2540.000;1270.000;\"A\";\"\";\"\";\"\"\n0\n";
    WriteText(dir / "TVL/J.TVL", job);
    const BatchRun run = Batch(Install() + "resave job J.TVL");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("units: inches"), std::string::npos);
    EXPECT_EQ(ReadText(dir / "TVL/J.TVL"), job);

    // Sizes an inch installation shows rounded are stored back as the millimetre station wrote
    // them.
    const std::string plates =
        "FILE_VERSION=2\n"
        "\"FL\";\"4MM\";\"\";10;3210.000;2250.000;1;0.000;0;0;0.000000\n"
        "\"FL\";\"4MM\";\"\";99999;6000.000;3210.000;0;4.000;2;2;2.000000\n";
    WriteText(dir / "DAT/Plates.dat", plates);
    EXPECT_EQ(Batch(Install() + "resave plates").exitCode, 0);
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"), plates);

    WriteText(dir / "DAT/Materials.dat", "FILE_VERSION=2\n\"FL\";\"4MM\";\"d;x\"\n0\n");
    const BatchRun materials = Batch(Install() + "resave materials");
    EXPECT_EQ(materials.exitCode, 0) << materials.output;
}

TEST_F(BatchResave, FailuresAreClearAndLeaveFilesAlone) {
    BatchRun run = Batch(Install() + "resave materials");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("cannot read"), std::string::npos) << run.output;

    WriteText(dir / "TVL/NEW.TVL", "FILE_VERSION=9\n\"future\"\n");
    run = Batch(Install() + "resave job NEW.TVL");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("newer than this program writes"), std::string::npos) << run.output;
    EXPECT_EQ(ReadText(dir / "TVL/NEW.TVL"), "FILE_VERSION=9\n\"future\"\n");

    EXPECT_EQ(Batch(Install() + "resave pieces x").exitCode, 2);
    EXPECT_EQ(Batch(Install() + "frobnicate").exitCode, 2);
    EXPECT_EQ(Batch("resave plates").exitCode, 2) << "no installation given";
    EXPECT_EQ(Batch("--install /no/such/folder resave plates").exitCode, 1);
}

// A hand-edited job whose count promises too few lines, and a catalogue with blank lines: the
// resave keeps every record and says what it found.
TEST_F(BatchResave, HandEditedFilesLoseNoLines) {
    WriteText(dir / "TVL/H.TVL",
              "FILE_VERSION=3\r\n\"H\"\r\n\"\"\r\n\"\"\r\n\"0.000;0.000;0;0;0\"\r\n1\r\n"
              "\"FL\";\"4MM\";\"\";2;1000.000;500.000;\"A\";\"\";\"\";\"\"\r\n"
              "\"FL\";\"4MM\";\"\";1;900.000;500.000;\"B\";\"\";\"\";\"\"\r\n0\r\n3\r\n");
    BatchRun run = Batch(Install() + "resave job H.TVL");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("lines beyond what a count promised, read all the same: 1"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("lines that fit nowhere in the file, left out: 1"), std::string::npos)
        << run.output;
    EXPECT_EQ(ReadText(dir / "TVL/H.TVL"),
              "FILE_VERSION=3\n\"H\"\n\"\"\n\"\"\n\"0.000;0.000;0;0;0\"\n2\n"
              "\"FL\";\"4MM\";\"\";2;1000.000;500.000;\"A\";\"\";\"\";\"\"\n"
              "\"FL\";\"4MM\";\"\";1;900.000;500.000;\"B\";\"\";\"\";\"\"\n0\n");

    WriteText(dir / "DAT/Plates.dat",
              "FILE_VERSION=2\n\"FL\";\"4MM\";\"\";1;3210.000;2250.000;0;0.000;0;0;0.000000\n"
              "\n\"FL\";\"6MM\";\"\";1;3210.000;2250.000;0;0.000;0;0;0.000000\n");
    run = Batch(Install() + "resave plates");
    EXPECT_NE(run.output.find("plates held: 2"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("blank lines, skipped: 1"), std::string::npos) << run.output;
}

TEST_F(BatchResave, UnusablePlatesAreNamedByLineAndField) {
    const std::string plates =
        "FILE_VERSION=2\n\"FL\";\"4MM\";\"\";1;3210.000;2250.000;0;0.000;0;0;0.000000\n"
        "\"FL\";\"4MM\";\"\";-2;3210.000;2250.000;0;0.000;0;0;0.000000\n";
    WriteText(dir / "DAT/Plates.dat", plates);
    const BatchRun run = Batch(Install() + "resave plates");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Plates.dat, line 3: quantity"), std::string::npos) << run.output;
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"), plates) << "the line is kept for the user to mend";
}
