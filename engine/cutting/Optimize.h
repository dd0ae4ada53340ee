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
};

struct Output {
    Solution solution;       // best plan found; complete() tells whether every piece is on it
    bool feasible = false;   // every piece fits on some available plate type
    int64_t plateBound = 0;  // lower bound on the number of plates (one plate type only), else 0
    double seconds = 0.0;    // time until the search ended
    double secondsToBest = 0.0;
    int64_t iterations = 0;
};

Output Optimize(const Instance& instance, const Parameters& parameters = {});

// Lower bounds on the number of plates when the stock holds a single plate type (0 otherwise):
// the pieces' area over the usable area, and that bound raised when pieces too large to share
// a plate exist.
int64_t AreaPlateBound(const Instance& instance);
int64_t PlateLowerBound(const Instance& instance);

}  // namespace engine
