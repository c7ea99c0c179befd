#pragma once

#include <cstdint>

// SplitMix64: small, fast and the same on every platform and standard library, so a seed
// always gives the same data set.
class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A whole number in [0, bound); bound must be positive.
    std::uint64_t below(std::uint64_t bound) { return next() % bound; }
    int between(int lowest, int highest) {
        return lowest + static_cast<int>(below(static_cast<std::uint64_t>(highest - lowest) + 1));
    }
    // True with the given chance in percent.
    bool percent(int chance) { return below(100) < static_cast<std::uint64_t>(chance); }
    // A fraction in [0, 1).
    double fraction() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t m_state;
};
