// A headless player for long random games: survival-seeking with a dose of chance.
#pragma once

#include "core/Game.h"
#include "core/Random.h"

#include <vector>

namespace kestrum::test {

class Bot {
public:
    // randomness: the share of ticks on which the bot presses a random key.
    Bot(uint64_t seed, double randomness) : random_(seed), randomness_(randomness) {}
    // The key to press before the next tick; 0 for none.
    uint16_t choose(const GameState& s);

private:
    int openSpace(const GameState& s, TCellPos from, int limit);
    void markBlocked(const GameState& s);
    bool blocked(TCellPos c) const;

    SeededRandom random_;
    double randomness_;
    int size_ = 0;
    std::vector<uint8_t> grid_;
};

}  // namespace kestrum::test
