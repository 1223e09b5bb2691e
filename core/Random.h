// The one pseudo-random generator of the game; the attempt start reseeds it.
// Header-only, so the levels and the core share it without linking each other.
#pragma once

#include <chrono>
#include <cstdint>

namespace kestrum {

// Play randomness: item schedules, free cells, random levels. Cosmetic randomness
// (artwork) never draws from it, so a seeded game replays exactly.
class Random {
public:
    virtual ~Random() = default;
    // Called at program start and by every attempt start.
    virtual void reseed() = 0;

    // A uniform integer in 0 .. n - 1; 0 when n <= 0.
    int next(int n)
    {
        if (n <= 0)
            return 0;
        // Rejection keeps the draw uniform for every n.
        const uint64_t range = static_cast<uint64_t>(n);
        const uint64_t limit = UINT64_MAX - UINT64_MAX % range;
        uint64_t r;
        do {
            r = nextRaw();
        } while (r >= limit);
        return static_cast<int>(r % range);
    }
    void setSeed(uint64_t seed) { state_ = seed; }
    uint64_t seed() const { return state_; }

protected:
    // SplitMix64: small, fast and good enough for a game; the state is the seed.
    uint64_t nextRaw()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

// Reseeds from the clock, as the game does for players.
class ClockRandom final : public Random {
public:
    ClockRandom() { reseed(); }
    void reseed() override
    {
        const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
        const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
        setSeed(static_cast<uint64_t>(steady) * 0x2545F4914F6CDD1Dull ^ static_cast<uint64_t>(wall));
    }
};

// Reseeds deterministically from its own stream, so tests replay whole games.
class SeededRandom final : public Random {
public:
    explicit SeededRandom(uint64_t seed) { setSeed(seed); }
    void reseed() override { setSeed(nextRaw()); }
};

}  // namespace kestrum
