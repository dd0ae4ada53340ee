// engine-bench: runs the cutting optimiser over benchmark instances and engine input files,
// checks every plan with the solution's own checker and prints quality and time figures.

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BenchInstances.h"
#include "common/PathUtils.h"
#include "cutting/Optimize.h"
#include "files/EngineInput.h"
#include "plans/PlanRecords.h"

using namespace tavrel;

namespace {

struct Options {
    double timeLimit = 2.0;
    bool rotation = true;
    engine::FirstCut firstCut = engine::FirstCut::Horizontal;
    uint64_t seed = 0;
    int threads = 1;  // searches side by side on each instance, the best plan kept
    int jobs = 1;     // instances run at the same time
    int64_t iterations = -1;
    bool toTarget = false;          // stop each run once it reaches the best known value
    bool verbose = false;           // print every plate's fill
    long scale = 1;                 // multiply every length of a .2bp file (tenths of a mm)
    std::vector<std::string> only;  // instance names to keep; empty keeps all
    std::vector<std::string> files;
};

struct Result {
    bool done = false;
    bool ok = false;
    std::string failure;
    long plates = 0;
    long best = -1;
    long bound = 0;
    engine::Area pieceArea = 0;
    engine::Area plateArea = 0;
    double seconds = 0.0;
    double toBest = 0.0;
    int64_t iterations = 0;
    std::string detail;
};

struct Job {
    std::string name;
    std::string group;
    const engine::Instance* instance = nullptr;
    long best = -1;
};

void Usage() {
    std::fprintf(stderr,
                 "usage: engine-bench [--time-limit SECONDS] [--rotation yes|no] "
                 "[--first-cut horizontal|vertical|either] [--seed N] [--iterations N] "
                 "[--threads N] [--jobs N] [--only NAME,...] [--to-best] [--verbose] [--scale N] FILE...\n"
                 "FILE: a .2bp benchmark file (reference.csv beside it gives best known values)\n"
                 "      or an engine input file\n");
}

bool ParseArgs(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= argc) {
                return false;
            }
            v = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--time-limit" && value(v)) {
            o.timeLimit = std::atof(v.c_str());
        } else if (a == "--rotation" && value(v)) {
            if (v != "yes" && v != "no") {
                return false;
            }
            o.rotation = v == "yes";
        } else if (a == "--first-cut" && value(v)) {
            if (v == "horizontal") {
                o.firstCut = engine::FirstCut::Horizontal;
            } else if (v == "vertical") {
                o.firstCut = engine::FirstCut::Vertical;
            } else if (v == "either") {
                o.firstCut = engine::FirstCut::Either;
            } else {
                return false;
            }
        } else if (a == "--seed" && value(v)) {
            o.seed = std::strtoull(v.c_str(), nullptr, 10);
        } else if (a == "--iterations" && value(v)) {
            o.iterations = std::atoll(v.c_str());
        } else if (a == "--scale" && value(v)) {
            o.scale = std::max(1L, std::atol(v.c_str()));
        } else if (a == "--verbose") {
            o.verbose = true;
        } else if (a == "--to-best") {
            o.toTarget = true;
        } else if (a == "--only" && value(v)) {
            size_t start = 0;
            while (start <= v.size()) {
                const size_t comma = v.find(',', start);
                const std::string name =
                    v.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                if (!name.empty()) {
                    o.only.push_back(name);
                }
                if (comma == std::string::npos) {
                    break;
                }
                start = comma + 1;
            }
        } else if (a == "--threads" && value(v)) {
            o.threads = std::max(1, std::atoi(v.c_str()));
        } else if (a == "--jobs" && value(v)) {
            o.jobs = std::max(1, std::atoi(v.c_str()));
        } else if (!a.empty() && a[0] == '-') {
            return false;
        } else {
            o.files.push_back(a);
        }
    }
    return !o.files.empty();
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

Result RunOne(const Job& job, const Options& o) {
    engine::Parameters p;
    p.timeLimit = o.timeLimit;
    p.seed = o.seed;
    p.iterationLimit = o.iterations;
    p.threads = o.threads;
    if (o.toTarget) {
        p.targetPlates = job.best;
    }
    engine::Output out = engine::Optimize(*job.instance, p);
    Result r;
    r.done = true;
    r.seconds = out.seconds;
    r.toBest = out.secondsToBest;
    r.iterations = out.iterations;
    r.plates = out.solution.plateCount();
    r.best = job.best;
    r.bound = engine::AreaPlateBound(*job.instance);
    r.pieceArea = out.solution.pieceArea();
    r.plateArea = out.solution.plateArea();
    if (o.verbose) {
        for (const engine::CutPlate& cp : out.solution.plates()) {
            const engine::PlateType& pt = job.instance->plate(cp.plate);
            engine::Area a = 0;
            for (const engine::PlacedPiece& pp : cp.pieces) {
                a += job.instance->placedWidth(pp.item, pp.rotated) *
                     job.instance->placedHeight(pp.item, pp.rotated);
            }
            r.detail +=
                "  plate " + std::to_string(pt.position) + " " + std::to_string(cp.pieces.size()) +
                " pieces, fill " +
                std::to_string(100.0 * static_cast<double>(a) / static_cast<double>(pt.width * pt.height)) +
                "%\n";
        }
    }
    std::string why;
    if (!out.solution.check(&why)) {
        r.failure = "plan fails the checker: " + why;
    } else if (!out.solution.complete()) {
        const engine::Shortfall& lack = out.shortfall;
        if (lack.itemTooLarge >= 0) {
            r.failure = "piece type " + std::to_string(job.instance->item(lack.itemTooLarge).number) +
                        " fits no plate";
        } else {
            r.failure = "plan leaves " + std::to_string(lack.piecesLeft) +
                        " piece(s) uncut; the stock lacks " + std::to_string(lack.plateAreaLacking) +
                        " of usable plate area";
        }
    } else {
        r.ok = true;
    }
    return r;
}

std::string OrDash(long v) { return v >= 0 ? std::to_string(v) : std::string("-"); }

struct Totals {
    long plates = 0;
    long best = 0;
    bool bestKnown = true;
    long bound = 0;
    engine::Area pieceArea = 0;
    engine::Area plateArea = 0;
    double seconds = 0.0;
    int count = 0;

    void add(const Result& r) {
        plates += r.plates;
        if (r.best >= 0) {
            best += r.best;
        } else {
            bestKnown = false;
        }
        bound += r.bound;
        pieceArea += r.pieceArea;
        plateArea += r.plateArea;
        seconds += r.seconds;
        ++count;
    }
    double yield() const {
        return plateArea > 0 ? 100.0 * static_cast<double>(pieceArea) / static_cast<double>(plateArea) : 0.0;
    }
    std::string line(const std::string& label) const {
        char buf[256];
        std::snprintf(buf, sizeof buf, "%s: %ld plates; best known %s; area bound %ld; yield %.2f%%; %.1f s",
                      label.c_str(), plates, bestKnown ? std::to_string(best).c_str() : "-", bound, yield(),
                      seconds);
        return buf;
    }
};

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseArgs(argc, argv, o)) {
        Usage();
        return 2;
    }
    std::vector<BenchInstance> instances;
    std::vector<Job> jobs;
    std::map<std::string, std::map<std::string, BenchReference>> refs;
    for (const std::string& f : o.files) {
        std::string why;
        if (EndsWith(f, ".2bp")) {
            const size_t before = instances.size();
            if (!Read2bp(f, o.rotation, o.firstCut, o.scale, instances, &why)) {
                std::fprintf(stderr, "engine-bench: %s\n", why.c_str());
                return 2;
            }
            (void)before;
            const std::string folder = SplitPath(f).folder.empty() ? std::string(".") : SplitPath(f).folder;
            if (!refs.count(folder)) {
                refs[folder] = ReadReference(folder + "/reference.csv");
            }
        } else {
            BenchInstance bi;
            EngineInput input;
            if (!ReadEngineInput(f, input, &why) || !BuildInstance(input, bi.instance, &why)) {
                std::fprintf(stderr, "engine-bench: %s: %s\n", f.c_str(), why.c_str());
                return 2;
            }
            bi.name = f;
            bi.group = "engine input";
            instances.push_back(std::move(bi));
        }
    }
    for (const BenchInstance& bi : instances) {
        if (!o.only.empty() && std::find(o.only.begin(), o.only.end(), bi.name) == o.only.end()) {
            continue;
        }
        Job j;
        j.name = bi.name;
        j.group = bi.group;
        j.instance = &bi.instance;
        for (const auto& [folder, table] : refs) {
            auto it = table.find(bi.name);
            if (it != table.end()) {
                j.best = o.rotation ? it->second.bestRotation : it->second.bestNoRotation;
            }
        }
        jobs.push_back(j);
    }

    std::vector<Result> results(jobs.size());
    std::mutex lock;
    size_t printed = 0;
    int failures = 0;
    Totals total;
    std::map<std::string, Totals> groups;
    std::vector<std::string> groupOrder;
    auto printReady = [&]() {
        while (printed < jobs.size() && results[printed].done) {
            const Job& j = jobs[printed];
            const Result& r = results[printed];
            if (!r.ok) {
                ++failures;
                std::printf("%s: FAILED: %s\n", j.name.c_str(), r.failure.c_str());
            }
            std::printf(
                "%-24s plates %4ld  best %4s  bound %4ld  yield %6.2f%%  %6.2f s  (best at %.2f s, %lld "
                "steps)\n",
                j.name.c_str(), r.plates, OrDash(r.best).c_str(), r.bound,
                r.plateArea ? 100.0 * static_cast<double>(r.pieceArea) / static_cast<double>(r.plateArea)
                            : 0.0,
                r.seconds, r.toBest, static_cast<long long>(r.iterations));
            std::fputs(r.detail.c_str(), stdout);
            if (!groups.count(j.group)) {
                groupOrder.push_back(j.group);
            }
            groups[j.group].add(r);
            total.add(r);
            const bool lastOfGroup = printed + 1 == jobs.size() || jobs[printed + 1].group != j.group;
            if (lastOfGroup) {
                std::printf("%s\n", groups[j.group].line(j.group).c_str());
            }
            std::fflush(stdout);
            ++printed;
        }
    };
    std::atomic<size_t> next{0};
    auto worker = [&]() {
        for (;;) {
            const size_t i = next.fetch_add(1);
            if (i >= jobs.size()) {
                return;
            }
            Result r = RunOne(jobs[i], o);
            std::lock_guard<std::mutex> g(lock);
            results[i] = r;
            printReady();
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < o.jobs; ++t) {
        pool.emplace_back(worker);
    }
    worker();
    for (std::thread& t : pool) {
        t.join();
    }
    if (groupOrder.size() > 1) {
        for (const std::string& g : groupOrder) {
            std::printf("%s\n", groups[g].line(g).c_str());
        }
    }
    std::printf("%s\n", total.line("total").c_str());
    if (failures > 0) {
        std::printf("%d plan(s) failed\n", failures);
        return 1;
    }
    return 0;
}
