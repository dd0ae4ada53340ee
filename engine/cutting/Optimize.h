#pragma once
// The one call that turns an Instance into a cutting plan.

#include <atomic>
#include <cstdint>
#include <functional>

#include "cutting/Instance.h"
#include "cutting/Solution.h"

namespace engine {

struct Parameters {
    double timeLimit = 2.0;       // seconds; the best plan so far is returned when it runs out
    int64_t iterationLimit = -1;  // improvement steps; -1 for no limit. With a limit and no time
                                  // pressure the result depends on the seed alone.
    uint64_t seed = 0;
    // Stop as soon as a complete plan uses at most this many plates (-1: never).
    int64_t targetPlates = -1;
    // Called with every better complete plan, from the optimising thread.
    std::function<void(const Solution&)> onNewSolution;
    // Set by another thread (a stop button) to end the search; the best plan is kept.
    const std::atomic<bool>* stop = nullptr;
    // Independent searches run side by side, each on a core of its own and from a seed of its
    // own, and the best plan of them all is kept. 0: one per core of the machine. With an
    // iteration limit every search runs to its own end, so the result depends on the seed and
    // the count alone; without one, a search that reaches the lower bound ends the others.
    int threads = 1;
};

// Why a plan leaves pieces without a plate, as data for the caller's messages.
struct Shortfall {
    int itemTooLarge = -1;   // index of the first piece type that fits no usable plate type, or -1
    int64_t piecesLeft = 0;  // pieces the plan leaves without a plate
    Area pieceAreaLeft = 0;  // their finished area
    // Usable plate area the stock lacks: the cut area of the pieces left over the usable area of
    // the stock left unused that could take one of them, and never less than the cut area of
    // every piece over the usable area of the whole stock. 0 when no area is missing, only room
    // of the right shape (or when the plan is complete).
    Area plateAreaLacking = 0;
};

// The shortfall of a plan (all zero and -1 for a complete one).
Shortfall ExplainShortfall(const Solution& solution);

struct Output {
    Solution solution;       // best plan found; complete() tells whether every piece is on it
    Shortfall shortfall;     // why it is not complete, when it is not
    bool feasible = false;   // every piece fits on some available plate type
    int64_t plateBound = 0;  // lower bound on the number of plates (one plate type only), else 0
    bool stopped = false;    // the stop flag ended the search
    double seconds = 0.0;    // time until the search ended
    double secondsToBest = 0.0;
    int64_t iterations = 0;  // improvement steps of all searches together
    int searches = 1;        // searches run side by side
};

Output Optimize(const Instance& instance, const Parameters& parameters = {});

// True when plan `a` is better than plan `b` by the optimiser's own measure: fewer pieces left
// off, then less plate area of the least preferred level used, and so on up the levels.
bool PlanBetter(const Solution& a, const Solution& b);

// The searches Optimize runs for `threads` (0: the machine's cores, at least 1).
int SearchCount(int threads);

// Lower bounds on the number of plates when the stock holds a single plate type (0 otherwise):
// the pieces' area over the usable area, and that bound raised when pieces too large to share
// a plate exist. The second bound tries many thresholds; when `expired` is given and turns true
// it returns the best bound found so far, which is still a bound.
int64_t AreaPlateBound(const Instance& instance);
int64_t PlateLowerBound(const Instance& instance, const std::function<bool()>& expired = nullptr);

}  // namespace engine
