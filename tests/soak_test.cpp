// Long seeded games played by the bot, checking the game's invariants after every step.
#include "Bot.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <iostream>
#include <set>

namespace kestrum::test {
namespace {

struct Totals {
    long long ticks = 0, sequenceSteps = 0, deaths = 0, exits = 0, gameOvers = 0, eaten = 0,
              mushrooms = 0, news = 0;
    int longest = 0;
};

bool inner(const GameState& s, TCellPos c)
{
    return c.X >= 1 && c.Y >= 1 && c.X <= s.FieldSize - 2 && c.Y <= s.FieldSize - 2;
}

bool onWall(const GameState& s, TCellPos c)
{
    for (const TWall& w : s.Walls)
        if (w.X == c.X && w.Y == c.Y)
            return true;
    return false;
}

// Everything that must hold between two handlers of the window.
void checkInvariants(const TestGame& g, const GameState& s)
{
    ASSERT_GE(s.SnakeLast, 2);
    ASSERT_LE(s.SnakeLast, kMaxSnakeLast);
    ASSERT_GE(s.FoodCount, 0);
    ASSERT_LE(s.FoodCount, kFoodCells);
    int active = 0;
    for (const TCellAnimation& a : s.CellAnimations)
        active += a.Active;
    ASSERT_EQ(active, s.ActiveAnimations);
    ASSERT_EQ(g.host.animator, active > 0);
    std::set<std::pair<int, int>> foods;
    for (int i = 0; i < s.FoodCount; ++i) {
        const TCellPos f = s.FoodList[static_cast<size_t>(i)];
        ASSERT_TRUE(inner(s, f)) << f.X << "," << f.Y;
        ASSERT_FALSE(onWall(s, f));
        ASSERT_TRUE(foods.insert({f.X, f.Y}).second) << "two foods on one cell";
    }
    for (const TItemState* it : {&s.Death, &s.Life, &s.Shot, &s.Drug}) {
        if (it->Present) {
            ASSERT_TRUE(inner(s, it->Pos));
            ASSERT_FALSE(onWall(s, it->Pos));
        } else if (!(it == &s.Death && g.host.timer2)) {
            // Only the death item that just killed keeps its cell, until the restart.
            ASSERT_EQ(it->Pos, (TCellPos{0, 0}));
        }
    }
    if (s.ExitPos.Y >= 0) {
        ASSERT_TRUE(inner(s, s.ExitPos));
        ASSERT_TRUE(inner(s, {s.ExitPos.X + 1, s.ExitPos.Y}));
    }
    ASSERT_GE(s.MushroomTicks, -1);
    ASSERT_LE(s.MushroomTicks, 64);
    ASSERT_FALSE(g.host.timer1 && g.host.timer2) << "never both game timers";
    if (!g.host.timer2 && s.Seq != Sequence::animExit) {
        const bool exchanged = s.KeyUp == 40;
        ASSERT_EQ(exchanged, s.MushroomTicks > 0);
    }
}

void playOneGame(uint64_t seed, int ticks, Totals& totals)
{
    SeededRandom setup(seed);
    const int field = 10 + setup.next(31);
    const int intervals[] = {20, 50, 100, 150, 300};
    TestGame g(field, 4 + setup.next(4), seed, setup.next(13));
    g.host.interval = intervals[setup.next(5)];
    g.host.sounds = setup.next(2) == 0;
    Bot bot(seed * 7919 + 1, 0.05 + setup.next(20) / 100.0);
    GameState& s = g.s();
    long long handled = 0;
    while (handled < ticks) {
        ++handled;
        if (g.host.timer2) {
            const Sequence seq = s.Seq;
            g.game->Timer2Timer();
            ++totals.sequenceSteps;
            if (!g.host.timer2 && seq == Sequence::animExit)
                ++totals.exits;
            if (!g.host.timer2 && seq == Sequence::animDeath3)
                ++totals.gameOvers;
            ASSERT_NO_FATAL_FAILURE(checkInvariants(g, s)) << "seed " << seed;
            continue;
        }
        if (setup.next(20000) == 0) {
            g.game->N9Click();
            ++totals.news;
        }
        if (setup.next(5000) == 0) {
            g.game->N10Click();
            g.game->N10Click();
        }
        const uint16_t key = bot.choose(s);
        if (key || !g.host.timer1)
            g.game->FormKeyDown(key ? key : 38);
        if (!g.host.timer1)
            continue;
        const int lives = s.Lives;
        const int eaten = s.EatenCount;
        const int warnings = static_cast<int>(g.host.warnings.size());
        g.game->Timer1Timer();
        for (int a = 0; a < g.host.interval / 10; ++a)
            g.game->TimerAnimatorTimer();
        ++totals.ticks;
        totals.deaths += s.Lives < lives;
        totals.eaten += std::max(0, s.EatenCount - eaten);
        totals.mushrooms += static_cast<int>(g.host.warnings.size()) > warnings && s.MushroomTicks > 0;
        totals.longest = std::max(totals.longest, s.SnakeLast + 1);
        ASSERT_NO_FATAL_FAILURE(checkInvariants(g, s)) << "seed " << seed << " tick " << s.TickCount;
    }
}

TEST(RandomPlay, ManySeededGamesKeepEveryInvariant)
{
    Totals totals;
    const int games = 200;
    for (uint64_t seed = 1; seed <= games; ++seed) {
        ASSERT_NO_FATAL_FAILURE(playOneGame(seed, 1500, totals));
    }
    std::cout << "random play: " << games << " games, " << totals.ticks << " ticks, "
              << totals.sequenceSteps << " sequence steps, " << totals.deaths << " deaths, "
              << totals.gameOvers << " game overs, " << totals.exits << " exits, "
              << totals.eaten << " foods eaten, " << totals.mushrooms << " mushrooms, "
              << totals.news << " new games, longest snake " << totals.longest << "\n";
    RecordProperty("ticks", static_cast<int>(totals.ticks));
    EXPECT_GE(totals.ticks, 100000);
    // The bot must really play: eat, die, leave levels and lose whole games.
    EXPECT_GT(totals.eaten, 1000);
    EXPECT_GT(totals.deaths, 50);
    EXPECT_GT(totals.exits, 5);
    EXPECT_GT(totals.gameOvers, 5);
    EXPECT_GT(totals.mushrooms, 10);
}

}  // namespace
}  // namespace kestrum::test
