#pragma once
// A small, fast generator with a fixed algorithm, so a seed gives the same plan on every
// platform and with every standard library.

#include <cstdint>

namespace engine::detail {

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed ^ 0x9E3779B97F4A7C15ull) {}

    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n); n > 0.
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return uniform() < p; }

private:
    uint64_t state_;
};

}  // namespace engine::detail
