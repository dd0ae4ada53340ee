#pragma once
// The search behind Optimize(): a fast insertion into the last few plates gives a complete plan
// at once, greedy insertions over all plates build better ones, then a goal-driven ruin and
// recreate search removes the weakest plate and tries to fit its pieces on the others, shaking
// parts of plates loose and refilling them until every piece fits again. Every phase watches
// the clock and the stop flag, so the limits hold whatever the size of the job.

#include <chrono>
#include <limits>
#include <utility>
#include <vector>

#include "cutting/Layout.h"
#include "cutting/Optimize.h"
#include "cutting/Random.h"

namespace engine::detail {

// Plate area used per preference level (index: rank). Plans compare from the least preferred
// level up: a plan that uses less area of a lower level is better whatever it uses above it,
// and within the most preferred level that differs, less area is better.
struct Cost {
    std::vector<double> byRank;
};

class Search {
public:
    Search(const Instance& instance, const Parameters& parameters);
    Output run();

private:
    struct State {
        std::vector<Bin> bins;
        std::vector<int> unplaced;   // item type per piece not on a plate
        std::vector<int> stockUsed;  // per plate type
        Cost binCost;
        double unplacedCost = 0.0;
    };

    struct Move {
        double score = std::numeric_limits<double>::infinity();
        int bin = -1;    // -1: a new bin of `plate`
        int strip = -1;  // -1: a new strip
        int stack = -1;  // -1: a new stack in `strip`
        bool rotated = false;
        bool transposed = false;  // frame of a new or re-framed empty bin
        int plate = -1;
        bool valid() const { return score < std::numeric_limits<double>::infinity(); }
    };

    // Construction and moves.
    void startState(State& s) const;
    bool buildGreedy(State& s, int order, size_t window, bool mustFinish);
    // Orders 0-4 sort by a key (height, area, width, perimeter, short side), larger first;
    // higher orders shuffle.
    static constexpr int kSortOrders = 5;
    void rankPieces();
    std::pair<Length, Length> sortKey(int item, int order) const;
    void sortPieces(std::vector<int>& pieces, int order);
    // The best position for a piece: on the plates from `firstBin` on, else on a new plate
    // (when `newPlates`) whose cost keeps the plan below `budget` (nullptr: any).
    void findMove(State& s, int item, const Cost* budget, Move& best, bool newPlates = true,
                  size_t firstBin = 0);
    // Returns true when some position on the bin was possible at all (whatever its score).
    bool evalBin(const Bin& b, int binIndex, int item, bool rotated, Length w, Length h, bool reframe,
                 Move& best) const;
    bool validAfter(const Bin& b, const Move& m, Length w, Length h) const;
    void apply(State& s, int item, const Move& m);
    // The piece at its best position from `firstBin` on (a new plate within `budget` if need
    // be), else loose.
    void place(State& s, int item, const Cost* budget, size_t firstBin = 0);
    void leaveLoose(State& s, int item);
    void removePiece(State& s, int bin, int strip, int stack, int index);
    void repair(State& s, int bin);
    void dropEmptyBins(State& s);

    // Ruin and recreate.
    void touch(State& s, int bin);
    void ruin(State& s);
    void recreate(State& s, const Cost* budget);
    void swapIn(State& s, const Cost* budget);
    bool swapFits(const Bin& b, int strip, int stack, int first, int second, Length w, Length h) const;
    bool stackSwapFits(const Bin& b, int strip, int stack, Length w, Length h) const;
    template <typename Edit>
    bool stackChangeFits(const Bin& b, int strip, int stack, Length w, Length h, Edit edit) const;
    void restore(State& s);
    bool iterate(State& s, const Cost* budget);
    // Gives up the plate used worst, or after a stall one drawn at random (`anyPlate`).
    void dissolveBin(State& s, bool anyPlate);
    bool packAlone(const std::vector<int>& pieces, int plate, Bin& best, bool anyHeight);
    void gatherLeftovers(State& s);
    void keepOrderOfUse(State& s);
    bool fillPreferred(State& s);

    // Plan costs.
    void addPlate(Cost& c, int plate, double sign) const;
    bool costLess(const Cost& a, const Cost& b) const;
    bool lessWithPlate(const Cost& a, int plate, const Cost& b) const;
    bool better(const State& a, const State& b) const;
    static double costTolerance(double cost);

    Solution toSolution(const State& s) const;
    double elapsed() const;
    bool stopPressed();
    bool timeUp();        // the improvement loop: time, stop flag, iteration limit
    bool expired();       // the other phases: time or stop flag
    bool graceExpired();  // the final touches after the limit: the grace time or stop flag
    void publish(const State& s);

    const Instance& inst_;
    const Parameters& params_;
    Geometry geo_;
    mutable Random rng_;
    std::vector<double> itemCost_;
    std::vector<double> plateArea_;
    std::vector<int> plateRank_;
    std::vector<int> sortRank_[kSortOrders];
    int ranks_ = 1;
    bool blinks_ = true;  // off while the fast first plan is built
    std::chrono::steady_clock::time_point start_;
    double secondsToBest_ = 0.0;
    int64_t iterations_ = 0;
    int64_t bound_ = 0;
    bool stopped_ = false;

    // Undo record of the current iteration.
    std::vector<int> touchedBins_;
    std::vector<Bin> savedBins_;
    std::vector<int> filledScratch_;
    std::vector<int> recreateScratch_;
    std::vector<int> swapOut_;
    std::vector<char> touchedFlag_;
    size_t savedBinCount_ = 0;
    std::vector<int> savedUnplaced_;
    std::vector<int> savedStock_;
    Cost savedBinCost_;
    double savedUnplacedCost_ = 0.0;

    State best_;
    bool haveBest_ = false;
};

}  // namespace engine::detail
