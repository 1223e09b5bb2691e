// Long seeded games played by the bot, checking the game's invariants after every step.
#include "Bot.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <iostream>
#include <set>

namespace kestrum::test {
namespace {

struct Totals {
    long long ticks = 0, sequenceSteps = 0, deaths = 0, exits = 0, gameOvers = 0, eaten = 0,
              mushrooms = 0, news = 0, packs = 0;
    std::set<int> fields, levels;
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
        } else if (!(it == &s.Death && g.host.sequenceTimer)) {
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
    ASSERT_FALSE(g.host.gameTimer && g.host.sequenceTimer) << "never both game timers";
    if (!g.host.sequenceTimer && s.Seq != Sequence::animExit) {
        const bool exchanged = s.KeyUp == 40;
        ASSERT_EQ(exchanged, s.MushroomTicks > 0);
    }
}

// wide: every field size from 10 to 130 and levels up to 80, with speed changes and level
// packs opened along the way; otherwise the small fields of the quick run.
void playOneGame(uint64_t seed, long long ticks, Totals& totals, bool wide = false)
{
    SeededRandom setup(seed);
    // The long run walks through every field size and every level in turn.
    const int field = wide ? 10 + static_cast<int>(seed % 121) : 10 + setup.next(31);
    const int level = wide ? static_cast<int>(seed % 81) : setup.next(13);
    const int intervals[] = {20, 50, 100, 150, 300};
    TestGame g(field, wide ? 4 : 4 + setup.next(4), seed, level);
    g.host.interval = intervals[setup.next(5)];
    g.host.sounds = setup.next(2) == 0;
    Bot bot(seed * 7919 + 1, 0.05 + setup.next(20) / 100.0);
    GameState& s = g.s();
    long long handled = 0;
    while (handled < ticks) {
        ++handled;
        if (g.host.sequenceTimer) {
            const Sequence seq = s.Seq;
            g.game->sequenceStep();
            ++totals.sequenceSteps;
            if (!g.host.sequenceTimer && seq == Sequence::animExit)
                ++totals.exits;
            if (!g.host.sequenceTimer && seq == Sequence::animDeath3)
                ++totals.gameOvers;
            ASSERT_NO_FATAL_FAILURE(checkInvariants(g, s)) << "seed " << seed;
            continue;
        }
        if (setup.next(20000) == 0) {
            g.game->newGame();
            ++totals.news;
        }
        if (setup.next(5000) == 0) {
            g.game->togglePause();
            g.game->togglePause();
        }
        if (wide && setup.next(20000) == 0) {
            // A speed change ends the game, as the Speed menu does.
            g.host.interval = intervals[setup.next(5)];
            s.Lives = 1;
            g.game->KillSnake();
            continue;
        }
        if (wide && setup.next(30000) == 0) {
            g.game->OpenLevelPack(setup.next(2) ? QStringLiteral(KESTRUM_DATA_DIR "/levels/garden.lev")
                                                : QStringLiteral(KESTRUM_DATA_DIR "/levels/fortress.lev"));
            ++totals.packs;
        }
        if (wide && setup.next(40000) == 0)
            g.game->chooseLevel(setup.next(12));
        const uint16_t key = bot.choose(s);
        if (key || !g.host.gameTimer)
            g.game->keyDown(key ? key : 38);
        if (!g.host.gameTimer)
            continue;
        const int lives = s.Lives;
        const int eaten = s.EatenCount;
        const int warnings = static_cast<int>(g.host.warnings.size());
        g.game->tick();
        for (int a = 0; a < g.host.interval / 10; ++a)
            g.game->animationStep();
        ++totals.ticks;
        totals.deaths += s.Lives < lives;
        totals.eaten += std::max(0, s.EatenCount - eaten);
        totals.mushrooms += static_cast<int>(g.host.warnings.size()) > warnings && s.MushroomTicks > 0;
        totals.longest = std::max(totals.longest, s.SnakeLast + 1);
        totals.fields.insert(s.FieldSize);
        totals.levels.insert(s.Level);
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

// The long run: `make soak` (10 million ticks) and `make soak-short` in CI.
TEST(Soak, EveryLevelAndFieldSizeForMillionsOfTicks)
{
    const QByteArray budget = qgetenv("KESTRUM_SOAK_TICKS");
    if (budget.isEmpty())
        GTEST_SKIP() << "set KESTRUM_SOAK_TICKS to play";
    const long long target = budget.toLongLong();
    Totals totals;
    uint64_t seed = 1000;
    QElapsedTimer clock;
    clock.start();
    while (totals.ticks < target) {
        ASSERT_NO_FATAL_FAILURE(playOneGame(seed, 20000, totals, true)) << "seed " << seed;
        ++seed;
    }
    std::cout << "soak: " << (seed - 1000) << " games, " << totals.ticks << " ticks, "
              << totals.sequenceSteps << " sequence steps in " << clock.elapsed() / 1000 << " s; "
              << totals.deaths << " deaths, " << totals.gameOvers << " game overs, " << totals.exits
              << " exits, " << totals.eaten << " foods, " << totals.mushrooms << " mushrooms, "
              << totals.packs << " packs opened, " << totals.fields.size() << " field sizes ("
              << *totals.fields.begin() << " .. " << *totals.fields.rbegin() << "), "
              << totals.levels.size() << " levels (" << *totals.levels.begin() << " .. "
              << *totals.levels.rbegin() << "), longest snake " << totals.longest
              << "; crashes, hangs and broken invariants: none\n";
    EXPECT_EQ(totals.fields.size(), seed - 1000 >= 121 ? 121u : totals.fields.size());
}

}  // namespace
}  // namespace kestrum::test
