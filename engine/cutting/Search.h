#pragma once
// The search behind Optimize(): a greedy insertion builds first plans, then a goal-driven ruin
// and recreate search removes the weakest plate and tries to fit its pieces on the others,
// shaking parts of plates loose and refilling them until every piece fits again.

#include <chrono>
#include <limits>
#include <vector>

#include "cutting/Layout.h"
#include "cutting/Optimize.h"
#include "cutting/Random.h"

namespace engine::detail {

class Search {
public:
    Search(const Instance& instance, const Parameters& parameters);
    Output run();

private:
    struct State {
        std::vector<Bin> bins;
        std::vector<int> unplaced;   // item type per piece not on a plate
        std::vector<int> stockUsed;  // per plate type
        double binCost = 0.0;
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
    void buildGreedy(State& s, int order);
    void sortPieces(std::vector<int>& pieces, int order);
    void findMove(const State& s, int item, double budget, Move& best);
    void evalBin(const Bin& b, int binIndex, int item, bool rotated, Length w, Length h, bool reframe,
                 Move& best) const;
    bool validAfter(const Bin& b, const Move& m, Length w, Length h) const;
    void apply(State& s, int item, const Move& m);
    void removePiece(State& s, int bin, int strip, int stack, int index);
    void repair(State& s, int bin);
    void dropEmptyBins(State& s);

    // Ruin and recreate.
    void touch(State& s, int bin);
    void ruin(State& s);
    void recreate(State& s, double budget);
    void restore(State& s);
    bool iterate(State& s, double budget);
    void dissolveBin(State& s);
    void gatherLeftovers(State& s);

    bool better(const State& a, const State& b) const;
    static double costTolerance(double cost);
    Solution toSolution(const State& s) const;
    bool timeUp();
    void publish(const State& s);

    const Instance& inst_;
    const Parameters& params_;
    Geometry geo_;
    mutable Random rng_;
    std::vector<double> itemCost_;
    std::vector<double> binCostOf_;
    std::chrono::steady_clock::time_point start_;
    double secondsToBest_ = 0.0;
    int64_t iterations_ = 0;
    int64_t bound_ = 0;
    bool stopped_ = false;

    // Undo record of the current iteration.
    std::vector<int> touchedBins_;
    std::vector<Bin> savedBins_;
    std::vector<int> filledScratch_;
    std::vector<char> touchedFlag_;
    size_t savedBinCount_ = 0;
    std::vector<int> savedUnplaced_;
    std::vector<int> savedStock_;
    double savedBinCost_ = 0.0;
    double savedUnplacedCost_ = 0.0;

    State best_;
    bool haveBest_ = false;
};

}  // namespace engine::detail
