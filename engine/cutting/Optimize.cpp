#include "cutting/Optimize.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "cutting/Search.h"

namespace engine {

namespace {

// The one plate type in stock, or -1.
int SinglePlateType(const Instance& instance) {
    const auto& plates = instance.plateTypes();
    int usable = -1;
    for (size_t p = 0; p < plates.size(); ++p) {
        if (plates[p].quantity == 0) {
            continue;
        }
        if (usable >= 0) {
            return -1;
        }
        usable = static_cast<int>(p);
    }
    return usable;
}

}  // namespace

int64_t AreaPlateBound(const Instance& instance) {
    const int usable = SinglePlateType(instance);
    if (usable < 0) {
        return 0;
    }
    const PlateType& pt = instance.plate(usable);
    const Area plateArea = pt.usableWidth() * pt.usableHeight();
    return (instance.pieceArea() + plateArea - 1) / plateArea;
}

int64_t PlateLowerBound(const Instance& instance, const std::function<bool()>& expired) {
    const int usable = SinglePlateType(instance);
    if (usable < 0) {
        return 0;  // several plate types: counting plates says little
    }
    const PlateType& pt = instance.plate(usable);
    const Length W = pt.usableWidth();
    const Length H = pt.usableHeight();
    const Area plateArea = W * H;
    bool anyTurn = false;
    // Piece types with their counts: identical pieces are counted, not listed.
    struct Kind {
        Length w, h;
        int64_t count;
    };
    std::vector<Kind> kinds;
    std::vector<Length> widths;
    for (const ItemType& it : instance.itemTypes()) {
        anyTurn = anyTurn || it.rotatable;
        kinds.push_back({it.cutWidth, it.cutHeight, it.quantity});
        widths.push_back(it.cutWidth);
        widths.push_back(it.cutHeight);
    }
    // With turning pieces the bound below holds only on a square plate with equal thresholds
    // both ways, where turning a piece changes none of its tests.
    if (anyTurn && W != H) {
        int64_t large = 0;
        for (const Kind& k : kinds) {
            const bool big = 2 * k.w > W && 2 * k.h > H && 2 * k.h > W && 2 * k.w > H;
            large += big ? k.count : 0;
        }
        return std::max(AreaPlateBound(instance), large);
    }
    // For thresholds p, q: pieces longer than W - p and H - q each need a plate of their own
    // that nothing at least p by q can join; pieces longer than half both ways too, though
    // those plates may still take some of the area of the pieces at least p by q.
    std::vector<Length> ps = {1};
    for (Length w : widths) {
        if (w <= W / 2) {
            ps.push_back(w);
        }
    }
    std::sort(ps.begin(), ps.end());
    ps.erase(std::unique(ps.begin(), ps.end()), ps.end());
    std::vector<Length> qs = ps;
    if (!anyTurn) {
        qs = {1};
        for (const ItemType& it : instance.itemTypes()) {
            if (it.cutHeight <= H / 2) {
                qs.push_back(it.cutHeight);
            }
        }
        std::sort(qs.begin(), qs.end());
        qs.erase(std::unique(qs.begin(), qs.end()), qs.end());
    }
    int64_t best = AreaPlateBound(instance);
    for (Length p : ps) {
        for (Length q : qs) {
            if (anyTurn && p != q) {
                continue;
            }
            if (expired && expired()) {
                return best;
            }
            int64_t own = 0;
            int64_t halves = 0;
            Area halvesArea = 0;
            Area rest = 0;
            for (const Kind& k : kinds) {
                if (k.w > W - p && k.h > H - q) {
                    own += k.count;
                } else if (2 * k.w > W && 2 * k.h > H) {
                    halves += k.count;
                    halvesArea += k.w * k.h * k.count;
                } else if (k.w >= p && k.h >= q) {
                    rest += k.w * k.h * k.count;
                }
            }
            const Area spare = halves * plateArea - halvesArea;
            const Area extra = rest - spare;  // area the halves' plates cannot take
            const int64_t more = extra > 0 ? (extra + plateArea - 1) / plateArea : 0;
            best = std::max(best, own + halves + more);
        }
    }
    return best;
}

Shortfall ExplainShortfall(const Solution& solution) {
    Shortfall out;
    if (!solution.hasInstance()) {
        return out;
    }
    const Instance& inst = solution.instance();
    for (size_t i = 0; i < inst.itemTypes().size(); ++i) {
        if (!inst.fitsSomewhere(static_cast<int>(i))) {
            out.itemTooLarge = static_cast<int>(i);
            break;
        }
    }
    std::vector<int64_t> placed(inst.itemTypes().size(), 0);
    std::vector<int64_t> platesUsed(inst.plateTypes().size(), 0);
    for (const CutPlate& cp : solution.plates()) {
        ++platesUsed[static_cast<size_t>(cp.plate)];
        for (const PlacedPiece& pc : cp.pieces) {
            ++placed[static_cast<size_t>(pc.item)];
        }
    }
    Area cutAreaLeft = 0;
    Area cutAreaAll = 0;
    for (size_t i = 0; i < placed.size(); ++i) {
        const ItemType& it = inst.itemTypes()[i];
        const int64_t left = std::max<int64_t>(0, it.quantity - placed[i]);
        out.piecesLeft += left;
        out.pieceAreaLeft += left * it.width * it.height;
        cutAreaLeft += left * it.cutArea();
        cutAreaAll += it.quantity * it.cutArea();
    }
    if (out.piecesLeft == 0) {
        return out;
    }
    // An unlimited plate type that takes a piece left over means no area is missing for it.
    // A stock of huge plates holds more area than an Area counts: add up wide and cap.
    __int128 unusedRoom = 0;
    __int128 stockRoom = 0;
    bool endless = false;
    for (size_t p = 0; p < inst.plateTypes().size(); ++p) {
        const PlateType& pt = inst.plateTypes()[p];
        if (pt.quantity == 0) {
            continue;
        }
        const Area a = pt.usableWidth() * pt.usableHeight();
        bool takesOne = false;
        for (size_t i = 0; i < placed.size() && !takesOne; ++i) {
            takesOne = placed[i] < inst.itemTypes()[i].quantity &&
                       inst.fits(static_cast<int>(i), static_cast<int>(p));
        }
        if (pt.unlimited()) {
            endless = endless || takesOne;
            continue;
        }
        stockRoom += static_cast<__int128>(a) * pt.quantity;
        if (takesOne) {
            unusedRoom += static_cast<__int128>(a) * std::max<int64_t>(0, pt.quantity - platesUsed[p]);
        }
    }
    if (!endless) {
        const __int128 lacking = std::max<__int128>({0, cutAreaLeft - unusedRoom, cutAreaAll - stockRoom});
        out.plateAreaLacking = static_cast<Area>(lacking);  // at most the pieces' area, which fits
    }
    return out;
}

namespace {

// Cut area of the pieces a plan leaves off, and plate area used per preference level.
struct PlanCost {
    Area left = 0;
    std::vector<Area> byRank;
};

PlanCost CostOf(const Solution& s) {
    PlanCost c;
    if (!s.hasInstance()) {
        return c;
    }
    const Instance& inst = s.instance();
    c.byRank.assign(static_cast<size_t>(std::max(1, inst.rankCount())), 0);
    for (const ItemType& it : inst.itemTypes()) {
        c.left += it.quantity * it.cutArea();
    }
    for (const CutPlate& cp : s.plates()) {
        const PlateType& pt = inst.plate(cp.plate);
        c.byRank[static_cast<size_t>(pt.rank)] += pt.width * pt.height;
        for (const PlacedPiece& pc : cp.pieces) {
            c.left -= inst.item(pc.item).cutArea();
        }
    }
    return c;
}

bool CostLess(const PlanCost& a, const PlanCost& b) {
    if (a.left != b.left) {
        return a.left < b.left;
    }
    for (size_t r = std::max(a.byRank.size(), b.byRank.size()); r-- > 0;) {
        const Area x = r < a.byRank.size() ? a.byRank[r] : 0;
        const Area y = r < b.byRank.size() ? b.byRank[r] : 0;
        if (x != y) {
            return x < y;
        }
    }
    return false;
}

// A seed per search, far apart, the first one the caller's own.
uint64_t SeedOf(uint64_t seed, int search) {
    return seed + static_cast<uint64_t>(search) * 0x9E3779B97F4A7C15ULL;
}

Output OptimizeSideBySide(const Instance& instance, const Parameters& parameters, int searches) {
    const auto start = std::chrono::steady_clock::now();
    std::atomic<bool> stopAll{false};
    std::mutex lock;
    PlanCost shown;  // of the last plan handed to onNewSolution
    bool shownAny = false;
    std::vector<Parameters> params(static_cast<size_t>(searches), parameters);
    std::vector<Output> outs(static_cast<size_t>(searches));
    std::atomic<int> running{searches};
    for (int i = 0; i < searches; ++i) {
        Parameters& p = params[static_cast<size_t>(i)];
        p.threads = 1;
        p.seed = SeedOf(parameters.seed, i);
        p.stop = &stopAll;
        if (parameters.onNewSolution) {
            // Only a plan better than every one shown so far reaches the caller, one at a time.
            p.onNewSolution = [&](const Solution& s) {
                PlanCost c = CostOf(s);
                std::lock_guard<std::mutex> g(lock);
                if (!shownAny || CostLess(c, shown)) {
                    shown = std::move(c);
                    shownAny = true;
                    parameters.onNewSolution(s);
                }
            };
        }
    }
    auto work = [&](int i) {
        Output& out = outs[static_cast<size_t>(i)];
        detail::Search search(instance, params[static_cast<size_t>(i)]);
        out = search.run();
        const int64_t plates = out.solution.plateCount();
        const bool atBound = out.solution.complete() && ((out.plateBound > 0 && plates <= out.plateBound) ||
                                                         plates <= parameters.targetPlates);
        // No other search can beat a plan at the bound: they need not use up their time.
        if (atBound && !out.stopped && parameters.iterationLimit < 0) {
            stopAll.store(true);
        }
        running.fetch_sub(1);
    };
    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(searches - 1));
    for (int i = 1; i < searches; ++i) {
        pool.emplace_back(work, i);
    }
    // This thread runs a search too, and the others watch the caller's stop flag through it.
    std::thread watch([&]() {
        while (running.load() > 0) {
            if (parameters.stop && parameters.stop->load(std::memory_order_relaxed)) {
                stopAll.store(true);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    work(0);
    for (std::thread& t : pool) {
        t.join();
    }
    watch.join();

    size_t best = 0;
    PlanCost bestCost = CostOf(outs[0].solution);
    for (size_t i = 1; i < outs.size(); ++i) {
        PlanCost c = CostOf(outs[i].solution);
        // Of equal plans, one whose search ran to its end has had its offcuts gathered.
        const bool tieButFinished = !CostLess(bestCost, c) && outs[best].stopped && !outs[i].stopped;
        if (CostLess(c, bestCost) || tieButFinished) {
            best = i;
            bestCost = std::move(c);
        }
    }
    Output out = std::move(outs[best]);
    out.iterations = 0;
    for (const Output& o : outs) {
        out.iterations += o.iterations;
        out.plateBound = std::max(out.plateBound, o.plateBound);
    }
    out.stopped = parameters.stop && parameters.stop->load();
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    out.searches = searches;
    return out;
}

}  // namespace

bool PlanBetter(const Solution& a, const Solution& b) { return CostLess(CostOf(a), CostOf(b)); }

int SearchCount(int threads) {
    if (threads > 0) {
        return std::min(threads, 256);
    }
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min(cores, 256U));
}

Output Optimize(const Instance& instance, const Parameters& parameters) {
    const int searches = SearchCount(parameters.threads);
    if (searches <= 1) {
        detail::Search search(instance, parameters);
        return search.run();
    }
    return OptimizeSideBySide(instance, parameters, searches);
}

}  // namespace engine
