// catalogue-bench: times loading and saving large catalogue and job files with the program's
// readers and writers. Usage: catalogue-bench [--install DIR] [--runs N]
//
// It writes generated files into a temporary folder: a Plates.dat of 100 000 lines in which every
// plate appears four times (so three lines in four merge on reading), one of 100 000 distinct
// plates (so the save writes 100 000 lines too), a Materials.dat of
// 20 000 entries (every tenth a laminate of two layers) and a job of 20 000 piece lines. Each is
// loaded and saved `runs` times; the best time of each is printed.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

#include "common/FileUtils.h"
#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "model/ReadReport.h"
#include "plates/PlatesFile.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"

using namespace tavrel;

namespace {

constexpr int kPlateLines = 100000;
constexpr int kMaterials = 20000;
constexpr int kPieces = 20000;

// `repeats`: how many lines each distinct plate has.
std::string PlatesText(int repeats) {
    std::string text = "FILE_VERSION=2\n";
    const int distinct = kPlateLines / repeats;
    for (int line = 0; line < kPlateLines; ++line) {
        const int i = line % distinct;
        const int kind = i % 50 == 0 ? 2 : (i % 7 == 0 ? 1 : 0);
        char buffer[200];
        std::snprintf(buffer, sizeof buffer, "\"S%d\";\"C%d\";\"%s\";%d;%d.000;%d.500;%d;0.000;%d;%d;%s\n",
                      i % 97, i % 13, kind == 2 ? "" : (i % 3 ? "SATIN" : ""), kind == 2 ? 99999 : 1 + i % 9,
                      1000 + i % 2300, 500 + i / 2300, i % 5, i % 3, kind,
                      kind == 2 ? "1.500000" : "0.000000");
        text += buffer;
    }
    return text;
}

std::string MaterialsText() {
    static const char* const kTreatments[] = {"", "SATIN", "ACID", "MIRROR"};
    std::string text = "FILE_VERSION=2\n";
    for (int i = 0; i < kMaterials; ++i) {
        char buffer[300];
        std::snprintf(buffer, sizeof buffer,
                      "\"M%d\";\"C%d\";\"Generated material %d\";\"%s\";%d.000;%d.500;10.000;"
                      "10.000;20.000;0.000;300.000;300.000;0.000;%d;0.000;0.000\n",
                      i / 4, i % 50, i, kTreatments[i % 4], 3 + i % 10, 7 + i % 20, i % 5 ? 1 : 0);
        text += buffer;
        if (i % 10 == 9)
            text += "2\n\"M0\";\"C0\";\"\"\n\"M0\";\"C0\";\"\"\n";
        else
            text += "0\n";
    }
    return text;
}

std::string JobText() {
    std::string text =
        "FILE_VERSION=3\n\"Benchmark job\"\n\"Customer\"\n\"Order\"\n"
        "\"0.000;0.000;0;1;0\"\n" +
        std::to_string(kPieces) + "\n";
    for (int i = 0; i < kPieces; ++i) {
        char buffer[300];
        std::snprintf(buffer, sizeof buffer,
                      "\"FL\";\"%dMM\";\"%s\";%d;%d.000;%d.000;\"P%d\";\"\";\"rack %d\";\"\"\n", 4 + i % 4,
                      i % 5 ? "" : "SATIN", 1 + i % 6, 200 + i % 2800, 150 + i % 2000, i, i % 40);
        text += buffer;
    }
    return text + "0\n";
}

double BestSeconds(int runs, const std::function<void()>& work) {
    double best = 1e30;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) best = took.count();
    }
    return best;
}

void Row(const char* what, const std::string& path, int runs, const std::function<void()>& load,
         const std::function<void()>& save, const std::function<std::string()>& summary) {
    const double loadSeconds = BestSeconds(runs, load);
    const double saveSeconds = BestSeconds(runs, save);
    std::printf("%-14s %9lld bytes  load %7.3f s  save %7.3f s  %s\n", what,
                static_cast<long long>(FileSize(path)), loadSeconds, saveSeconds, summary().c_str());
}

// The benchmark cannot go on without its files: says which one and why.
int Fail(const std::string& path) {
    std::fprintf(stderr, "catalogue-bench: %s\n", SaveFailureMessage(path).c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string install;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--install" && i + 1 < argc)
            install = argv[++i];
        else if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: catalogue-bench [--install DIR] [--runs N]\n");
            return 2;
        }
    }
    AppSettings settings = install.empty() ? AppSettings() : AppSettings(install);
    LoadSettings(settings);
    SetCurrentSettings(&settings);

    std::string folder = (std::filesystem::temp_directory_path() / "catalogue-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        std::fprintf(stderr, "catalogue-bench: cannot make a temporary folder\n");
        return 1;
    }
    const std::string platesPath = folder + "/Plates.dat";
    const std::string materialsPath = folder + "/Materials.dat";
    const std::string jobPath = folder + "/BENCH.TVL";
    const std::string distinctPath = folder + "/Distinct.dat";
    if (!WriteFileAtomically(platesPath, PlatesText(4))) return Fail(platesPath);
    if (!WriteFileAtomically(distinctPath, PlatesText(1))) return Fail(distinctPath);
    if (!WriteFileAtomically(materialsPath, MaterialsText())) return Fail(materialsPath);
    if (!WriteFileAtomically(jobPath, JobText())) return Fail(jobPath);
    std::printf("units: %s; best of %d runs\n", IsInches() ? "inches" : "millimetres", runs);

    PlateList plates;
    ReadReport plateReport;
    Row(
        "Plates.dat", platesPath, runs,
        [&] {
            plateReport = ReadReport();
            plates.load(platesPath, UnitInUse(), &plateReport);
        },
        [&] {
            if (!plates.save(folder + "/Plates.out", UnitInUse())) std::exit(Fail(folder));
        },
        [&] {
            return std::to_string(plateReport.records) + " lines -> " + std::to_string(plates.count()) +
                   " plates";
        });

    Row(
        "Plates.dat", distinctPath, runs,
        [&] {
            plateReport = ReadReport();
            plates.load(distinctPath, UnitInUse(), &plateReport);
        },
        [&] {
            if (!plates.save(folder + "/Plates.out", UnitInUse())) std::exit(Fail(folder));
        },
        [&] {
            return std::to_string(plateReport.records) + " lines -> " + std::to_string(plates.count()) +
                   " plates";
        });

    MaterialList materials;
    Row(
        "Materials.dat", materialsPath, runs, [&] { materials.load(materialsPath, UnitInUse()); },
        [&] {
            if (!materials.save(folder + "/Materials.out", UnitInUse())) std::exit(Fail(folder));
        },
        [&] { return std::to_string(materials.count()) + " entries"; });

    Job job;
    Row(
        "job file", jobPath, runs, [&] { job.load(jobPath, UnitInUse()); },
        [&] {
            if (!job.save(folder + "/BENCH.out", UnitInUse())) std::exit(Fail(folder));
        },
        [&] { return std::to_string(job.pieces.count()) + " pieces"; });

    SetCurrentSettings(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return 0;
}
