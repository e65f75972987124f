#pragma once

#include <cmath>
#include <cstdint>

namespace velmora::demo {

// A small deterministic number generator (SplitMix64). The standard library's
// distributions differ between implementations; this one gives the same fleet on every
// build, so the demo files and the benchmark fleet are reproducible.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A number in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double uniform(double lo, double hi) { return lo + (hi - lo) * unit(); }
    // A whole number from lo to hi, both included.
    int between(int lo, int hi) {
        return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool chance(double p) { return unit() < p; }

  private:
    std::uint64_t state_;
};

inline double roundTo(double v, int decimals) {
    const double f = std::pow(10.0, decimals);
    return std::round(v * f) / f;
}

}  // namespace velmora::demo
