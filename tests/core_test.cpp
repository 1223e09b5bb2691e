// The game core driven headless: attempt start, steering, movement, drawing, growth and
// collisions, checked against the field picture of the solid-colour test skin.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kestrum::test {
namespace {

constexpr uint16_t kUp = 38, kDown = 40, kLeft = 37, kRight = 39, kLetterA = 65;

TEST(AttemptStart, PutsTheSnakeUprightInTheMiddleColumn)
{
    struct Case {
        int field, level, column;
    };
    const Case cases[] = {{20, 0, 10}, {20, 4, 11}, {20, 7, 11}, {20, 8, 11}, {20, 10, 11},
                          {20, 3, 10}, {21, 0, 10}, {21, 4, 11}, {21, 10, 11}, {21, 9, 10}};
    for (const Case& c : cases) {
        TestGame g(c.field, 10, 7, c.level);
        SCOPED_TRACE(testing::Message() << "field " << c.field << " level " << c.level);
        const GameState& s = g.s();
        EXPECT_EQ(s.SnakeLast, 2);
        EXPECT_EQ(s.SnakeBody[0], (TCellPos{c.column, c.field - 4}));
        EXPECT_EQ(s.SnakeBody[1], (TCellPos{c.column, c.field - 3}));
        EXPECT_EQ(s.SnakeBody[2], (TCellPos{c.column, c.field - 2}));
        EXPECT_EQ(s.SnakeBody[3], s.SnakeBody[2]);
        EXPECT_EQ(s.Direction, dirUp);
        EXPECT_EQ(g.tileAtCell(c.column, c.field - 4), tile::HeadBase + dirUp);
        EXPECT_EQ(g.tileAtCell(c.column, c.field - 3), tile::BodyBase + dirUp);
        EXPECT_EQ(g.tileAtCell(c.column, c.field - 2), tile::TailBase + dirUp);
    }
}

TEST(AttemptStart, ResetsCountersItemsAndKeysAndWaitsForAKey)
{
    TestGame g(20);
    GameState& s = g.s();
    s.KeyUp = 40;
    s.MushroomTicks = 12;
    s.TickCount = 99;
    g.host.mushroomIndicator = true;
    g.game->StartAttempt();
    EXPECT_EQ(s.TickCount, 0);
    EXPECT_EQ(s.MushroomTicks, -1);
    EXPECT_FALSE(g.host.mushroomIndicator);
    EXPECT_TRUE(s.ResumeOnKey);
    EXPECT_FALSE(g.host.gameTimer);
    EXPECT_EQ(s.FoodDueTick, 60);
    EXPECT_EQ(s.PendingGrowth, 0);
    EXPECT_EQ(s.FoodCount, 1);
    EXPECT_EQ((std::array{s.KeyUp, s.KeyDown, s.KeyLeft, s.KeyRight}),
              (std::array<uint8_t, 4>{38, 40, 37, 39}));
    EXPECT_EQ(g.host.labels[PanelLabel::Length], "3");
    // Special items start absent with their first appearance drawn in range.
    EXPECT_FALSE(s.Death.Present);
    EXPECT_EQ(s.Death.Pos, (TCellPos{0, 0}));
    EXPECT_LT(s.Death.DueTick, 30);
    EXPECT_LT(s.Life.DueTick, 15);
    EXPECT_GE(s.Shot.DueTick, 10);
    EXPECT_LT(s.Shot.DueTick, 40);
    EXPECT_LT(s.Drug.DueTick, 30);
    EXPECT_DOUBLE_EQ(s.Slope, -0.09);
    EXPECT_DOUBLE_EQ(s.Base, 14.5);
}

// Drives the snake with one key per tick; 0 means no key.
void drive(TestGame& g, std::initializer_list<uint16_t> keys)
{
    for (uint16_t k : keys) {
        if (k)
            g.game->keyDown(k);
        g.tick();
    }
}

TEST(Steering, EveryTurnDrawsItsCornerAndHead)
{
    struct Case {
        const char* name;
        std::vector<uint16_t> setup;  // keys that bring the snake to its first direction
        uint16_t turn;
        int cornerTile;
        uint8_t newDirection;
    };
    const Case cases[] = {
        {"up to left", {}, kLeft, 26, dirLeft},
        {"up to right", {}, kRight, 25, dirRight},
        {"left to up", {kLeft, 0}, kUp, 27, dirUp},
        {"left to down", {kLeft, 0}, kDown, 25, dirDown},
        {"right to up", {kRight, 0}, kUp, 28, dirUp},
        {"right to down", {kRight, 0}, kDown, 26, dirDown},
        {"down to left", {0, 0, 0, kLeft, kDown, 0, 0}, kLeft, 28, dirLeft},
        {"down to right", {0, 0, 0, kLeft, kDown, 0, 0}, kRight, 27, dirRight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestGame g(24);
        g.clearItems();
        for (uint16_t k : c.setup) {
            if (k)
                g.game->keyDown(k);
            g.tick();
        }
        const TCellPos turnCell = g.s().SnakeBody[0];
        g.game->keyDown(c.turn);
        g.tick();
        const GameState& s = g.s();
        ASSERT_EQ(s.Direction, c.newDirection);
        EXPECT_EQ(s.SnakeBody[1], turnCell);
        EXPECT_EQ(g.tileAtCell(turnCell.X, turnCell.Y), c.cornerTile);
        EXPECT_EQ(g.tileAtCell(s.SnakeBody[0].X, s.SnakeBody[0].Y), tile::HeadBase + c.newDirection);
        // One tick later the corner is the tail's cell, and the tail points the new way.
        g.tick();
        EXPECT_EQ(s.SnakeBody[2], turnCell);
        EXPECT_EQ(g.tileAtCell(turnCell.X, turnCell.Y), tile::TailBase + c.newDirection);
        EXPECT_EQ(g.tileAtCell(s.SnakeBody[1].X, s.SnakeBody[1].Y), tile::BodyBase + c.newDirection);
    }
}

TEST(Steering, FirstKeyStartsTheTimerAndSteers)
{
    TestGame g(20);
    EXPECT_TRUE(g.s().ResumeOnKey);
    g.game->keyDown(kLeft);
    EXPECT_TRUE(g.host.gameTimer);
    EXPECT_FALSE(g.s().ResumeOnKey);
    EXPECT_EQ(g.s().Direction, dirLeft);
    g.tick();
    EXPECT_EQ(g.s().SnakeBody[0], (TCellPos{9, 16}));
}

TEST(Steering, AKeyDoesNotStartTheGameWhileASequenceRuns)
{
    TestGame g(20);
    g.host.sequenceTimer = true;
    g.game->keyDown(kLeft);
    EXPECT_FALSE(g.host.gameTimer);
    EXPECT_TRUE(g.s().ResumeOnKey);
}

TEST(Steering, OneTurnPerTick)
{
    TestGame g(20);
    g.clearItems();
    g.game->keyDown(kLeft);
    g.game->keyDown(kDown);  // second key of the same tick: ignored
    EXPECT_EQ(g.s().Direction, dirLeft);
    g.tick();
    g.game->keyDown(kDown);
    EXPECT_EQ(g.s().Direction, dirDown);
}

TEST(Steering, ReversedAndRepeatedArrowsChangeNothingButUseTheTurn)
{
    for (uint16_t wasted : {kDown, kUp, kLetterA}) {
        SCOPED_TRACE(wasted);
        TestGame g(20);
        g.clearItems();
        g.game->keyDown(wasted);
        EXPECT_EQ(g.s().Direction, dirUp);
        EXPECT_EQ(g.s().NeckShape, dirUp);
        EXPECT_FALSE(g.s().TurnAllowed);
        g.game->keyDown(kLeft);  // blocked until the next tick
        EXPECT_EQ(g.s().Direction, dirUp);
        g.tick();
        EXPECT_TRUE(g.s().TurnAllowed);
        g.game->keyDown(kLeft);
        EXPECT_EQ(g.s().Direction, dirLeft);
    }
}

TEST(Steering, ExchangedBindingsSteerTheOtherWay)
{
    TestGame g(20);
    GameState& s = g.s();
    s.KeyUp = 40;
    s.KeyDown = 38;
    s.KeyLeft = 39;
    s.KeyRight = 37;
    g.game->keyDown(kLeft);  // now bound to "right"
    EXPECT_EQ(s.Direction, dirRight);
    EXPECT_EQ(s.NeckShape, shCornerRightBottom);
}

TEST(Steering, QuickTurnsKeepOneKeyForTheNextStepAndOnlyWhenSwitchedOn)
{
    // Up, then Left and Down within one step: a U-turn over two steps with quick turns,
    // Left alone without them.
    for (const bool quick : {false, true}) {
        SCOPED_TRACE(quick);
        TestGame g(20);
        g.clearItems();
        g.game->setQuickTurns(quick);
        GameState& s = g.s();
        g.game->keyDown(kUp);
        g.tick();
        const TCellPos start = s.SnakeBody[0];
        g.game->keyDown(kLeft);
        g.game->keyDown(kDown);
        g.game->keyDown(kRight);  // a third key: at most one is kept
        g.tick();
        EXPECT_EQ(s.SnakeBody[0], (TCellPos{start.X - 1, start.Y}));
        EXPECT_EQ(s.Direction, quick ? dirDown : dirLeft);
        EXPECT_FALSE(s.TurnAllowed && quick) << "the kept key used the new step's turn";
        g.tick();
        const TCellPos expected = quick ? TCellPos{start.X - 1, start.Y + 1} : TCellPos{start.X - 2, start.Y};
        EXPECT_EQ(s.SnakeBody[0], expected);
        g.tick();
        EXPECT_EQ(s.Direction, quick ? dirDown : dirLeft) << "the third key was dropped";
    }
}

TEST(Steering, AKeptTurnThatChangesNothingLeavesTheTurnFreeAndAPauseDropsIt)
{
    TestGame g(20);
    g.clearItems();
    g.game->setQuickTurns(true);
    GameState& s = g.s();
    g.game->keyDown(kLeft);
    g.game->keyDown(kLeft);  // a repeat of the key: kept, but it turns nothing
    g.tick();
    EXPECT_TRUE(s.TurnAllowed);
    g.game->keyDown(kDown);
    g.game->keyDown(kRight);
    g.game->togglePause();  // the kept Right goes with the pause
    g.game->togglePause();
    g.tick();
    EXPECT_EQ(s.Direction, dirDown);
    EXPECT_TRUE(s.TurnAllowed);
}

TEST(Steering, ExchangedBindingsTurnTheKeptKeyAsTheyStoodWhenItWasPressed)
{
    TestGame g(20);
    g.clearItems();
    g.game->setQuickTurns(true);
    GameState& s = g.s();
    g.game->keyDown(kLeft);
    g.game->keyDown(kUp);  // kept as "up"
    // A toadstool's exchange before the next step does not turn it into "down".
    s.KeyUp = 40;
    s.KeyDown = 38;
    g.tick();
    EXPECT_EQ(s.Direction, dirUp);
}

TEST(ExitProgress, TheLengthFoodMustFindAndWhetherTheExitIsOpen)
{
    // 20 cells: ExitLength 40, so food opens the exit at a length of 41.
    TestGame g(20);
    g.clearItems();
    GameState& s = g.s();
    ASSERT_FALSE(g.host.exitProgress.empty());
    EXPECT_EQ(g.host.exitProgress.back(), (ExitProgress{3, 41, false}));
    s.PendingGrowth = 2;
    g.game->keyDown(kUp);
    g.tick(2);
    EXPECT_EQ(g.host.exitProgress.back(), (ExitProgress{5, 41, false}));
    // Length 41: the next apple opens the exit.
    s.SnakeLast = 40;
    s.FoodList[0] = {s.SnakeBody[0].X, s.SnakeBody[0].Y - 1};
    s.FoodCount = 1;
    g.tick();
    EXPECT_TRUE(g.host.exitProgress.back().open);
    EXPECT_EQ(g.game->exitProgress().length, 41 + (s.SnakeLast - 40));
    // Every change is told once: no two alike in a row.
    for (size_t i = 1; i < g.host.exitProgress.size(); ++i)
        EXPECT_FALSE(g.host.exitProgress[i] == g.host.exitProgress[i - 1]) << i;
    // Eaten short of it, the exit stays shut.
    TestGame h(20);
    h.clearItems();
    h.s().SnakeLast = 38;
    h.game->keyDown(kUp);
    h.s().FoodList[0] = {h.s().SnakeBody[0].X, h.s().SnakeBody[0].Y - 1};
    h.s().FoodCount = 1;
    h.tick();
    EXPECT_FALSE(h.game->exitProgress().open);
    EXPECT_EQ(h.game->exitProgress().needed, 41);
}

TEST(Growth, FifteenTicksWithTheVisibleTailStandingStill)
{
    TestGame g(30);
    g.clearItems();
    GameState& s = g.s();
    const TCellPos lastCell = s.SnakeBody[2];  // (15, 28)
    s.PendingGrowth = 15;
    QStringList lengths;
    for (int i = 0; i < 15; ++i) {
        g.tick();
        lengths << g.host.labels[PanelLabel::Length];
        // The tail picture stays one row above the old last cell, which shows the floor.
        EXPECT_EQ(s.SnakeBody[static_cast<size_t>(s.SnakeLast)], lastCell);
        EXPECT_EQ(g.tileAtCell(lastCell.X, lastCell.Y - 1), tile::TailBase + dirUp);
        EXPECT_EQ(g.tileAtCell(lastCell.X, lastCell.Y), tile::Floor);
    }
    EXPECT_EQ(lengths.join(' '), "4 5 6 7 8 9 10 11 12 13 14 15 16 17 18");
    EXPECT_EQ(s.PendingGrowth, 0);
    // Growth over, the tail picture moves on with the snake.
    g.tick(2);
    EXPECT_EQ(s.SnakeLast, 17);
    EXPECT_EQ(g.tileAtCell(lastCell.X, lastCell.Y - 1), tile::Floor);
    EXPECT_EQ(g.tileAtCell(lastCell.X, lastCell.Y - 2), tile::TailBase + dirUp);
}

TEST(Growth, ShrinkingDropsOneTailCellPerTick)
{
    TestGame g(40);
    g.clearItems();
    GameState& s = g.s();
    s.PendingGrowth = 15;
    g.tick(15);
    ASSERT_EQ(s.SnakeLast, 17);
    s.PendingGrowth = -5;
    for (int i = 1; i <= 5; ++i) {
        const TCellPos tailBefore = s.SnakeBody[static_cast<size_t>(s.SnakeLast)];
        g.tick();
        EXPECT_EQ(s.SnakeLast, 17 - i);
        EXPECT_EQ(g.tileAtCell(tailBefore.X, tailBefore.Y - 1), tile::Floor);
    }
    // The shortened end shows a body piece until the next tick draws the tail there.
    TCellPos tail = s.SnakeBody[static_cast<size_t>(s.SnakeLast)];
    EXPECT_EQ(g.tileAtCell(tail.X, tail.Y), tile::BodyBase + dirUp);
    g.tick();
    tail = s.SnakeBody[static_cast<size_t>(s.SnakeLast)];
    EXPECT_EQ(g.tileAtCell(tail.X, tail.Y), tile::TailBase + dirUp);
    EXPECT_EQ(g.host.labels[PanelLabel::Length], "13");
}

TEST(Growth, StopsWhereTheTablesEnd)
{
    TestGame g(130, 4);
    g.clearItems();
    GameState& s = g.s();
    // A long snake coiled in the field's rows, its head about to move on.
    s.SnakeLast = kMaxSnakeLast - 1;
    s.PendingGrowth = 15;
    for (int i = 0; i <= s.SnakeLast + 1; ++i) {
        const int row = 2 + i / 120;
        const int col = (row % 2 == 0) ? 125 - i % 120 : 6 + i % 120;
        s.SnakeBody[static_cast<size_t>(i)] = {col, row};
        s.SegmentShape[static_cast<size_t>(i)] = dirLeft;
    }
    s.Direction = s.NeckShape = dirDown;
    s.SnakeBody[0] = {125, 60};
    g.tick(5);
    EXPECT_EQ(s.SnakeLast, kMaxSnakeLast);
    EXPECT_EQ(s.PendingGrowth, 10);
}

TEST(Collisions, BorderCostsOneLifeAndStopsTheGame)
{
    TestGame g(20);
    g.clearItems();
    g.game->keyDown(kUp);
    for (int i = 0; i < 15; ++i)
        g.tick();
    EXPECT_EQ(g.s().Lives, 3);
    g.tick();  // head on row 0
    EXPECT_EQ(g.s().SnakeBody[0], (TCellPos{10, 0}));
    EXPECT_EQ(g.s().Lives, 2);
    EXPECT_FALSE(g.host.gameTimer);
    EXPECT_TRUE(g.host.sequenceTimer);
    EXPECT_TRUE(g.s().ResumeOnKey);
    EXPECT_EQ(g.s().Seq, Sequence::animDeath);
    EXPECT_EQ(g.host.labels[PanelLabel::Lives], "x 2");
    EXPECT_EQ(g.host.soundsPlayed.last(), "Death");
}

TEST(Collisions, OwnBodyWallAndDeathItemEachCostOneLife)
{
    {
        SCOPED_TRACE("own body");
        TestGame g(20);
        g.clearItems();
        g.s().PendingGrowth = 3;
        drive(g, {0, 0, 0, kLeft, kDown});
        EXPECT_EQ(g.s().Lives, 3);
        drive(g, {kRight});
        EXPECT_EQ(g.s().Lives, 2);
    }
    {
        SCOPED_TRACE("wall record, also doubled");
        TestGame g(20);
        g.clearItems();
        g.s().Walls[7] = {10, 14, wkV};
        g.s().Walls[8] = {10, 14, wkBlock};
        g.game->DrawWalls();
        drive(g, {0, 0});
        EXPECT_EQ(g.s().Lives, 2);
        // The head is drawn on the wall's cell before the death sequence starts.
        EXPECT_EQ(g.tileAtCell(10, 14), tile::HeadBase + dirUp);
    }
    {
        SCOPED_TRACE("death item");
        TestGame g(20);
        g.clearItems();
        g.s().Death = {{10, 15}, true, 1000};
        drive(g, {0});
        EXPECT_EQ(g.s().Lives, 2);
        EXPECT_FALSE(g.s().Death.Present);
        EXPECT_EQ(g.s().Death.Pos, (TCellPos{10, 15}));
    }
}

TEST(Collisions, TheCellTheTailJustLeftIsFree)
{
    for (int growth : {0, 4}) {
        SCOPED_TRACE(growth);
        TestGame g(20);
        g.clearItems();
        GameState& s = g.s();
        // A four-cell snake in a square, its head next to its tail.
        s.SnakeLast = 3;
        s.SnakeBody[0] = {5, 5};
        s.SnakeBody[1] = {6, 5};
        s.SnakeBody[2] = {6, 6};
        s.SnakeBody[3] = {5, 6};
        s.SegmentShape = {};
        s.Direction = s.NeckShape = dirDown;
        s.PendingGrowth = growth;
        g.tick();
        EXPECT_EQ(s.SnakeBody[0], (TCellPos{5, 6}));
        EXPECT_EQ(s.Lives, 3);
        EXPECT_EQ(s.Seq, Sequence::None);
    }
}

TEST(Collisions, ParkedWallsAreNeverHit)
{
    // Level 0 parks every record; a head on any inner cell of any field size lives.
    for (const int N : {10, 11, 20, 37}) {
        TestGame g(N);
        g.clearItems();
        GameState& s = g.s();
        for (int y = 1; y <= N - 2; ++y)
            for (int x = 1; x <= N - 2; ++x) {
                s.SnakeBody[0] = {x, y};
                s.SnakeBody[1] = {x == 1 ? 2 : x - 1, y};  // a body beside, never under it
                s.SnakeLast = 1;
                g.game->CheckCollisions();
                ASSERT_EQ(s.Seq, Sequence::None) << "died at (" << x << ", " << y << ") on " << N;
            }
        // The same check sees a real wall: one record moved onto a cell kills there.
        s.Walls[0] = {3, 3, wkBlock};
        s.SnakeBody[0] = {3, 3};
        g.game->CheckCollisions();
        EXPECT_NE(s.Seq, Sequence::None);
    }
}

TEST(StepSnake, ShapesMoveWithTheirCells)
{
    TestGame g(20);
    GameState& s = g.s();
    s.SnakeLast = 5;
    s.SegmentShape = {};
    const uint8_t before[] = {dirUp, shCornerLeftTop, dirLeft, dirLeft, shCornerRightBottom, dirDown};
    std::copy(std::begin(before), std::end(before), s.SegmentShape.begin());
    s.NeckShape = dirUp;
    g.game->StepSnake();
    // The tail keeps its code unless the piece ahead of it was a corner; the slot behind it
    // takes the code two ahead.
    const uint8_t after[] = {dirUp, dirUp, shCornerLeftTop, dirLeft, dirLeft, dirLeft, dirLeft};
    for (size_t i = 0; i < std::size(after); ++i)
        EXPECT_EQ(s.SegmentShape[i], after[i]) << "segment " << i;
}

TEST(Score, FoodValueFollowsTheInterval)
{
    const std::pair<int, double> cases[] = {{20, 12.7}, {50, 10.0}, {100, 5.5}, {150, 1.0},
                                            {161, 0.01}, {162, -0.08}, {300, -12.5}};
    TestGame g(20);
    for (const auto& [ms, value] : cases) {
        g.host.interval = ms;
        EXPECT_NEAR(g.game->FoodValue(), value, 1e-9) << ms << " ms";
    }
}

TEST(Score, ShownRoundedHalfToEven)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0"},     {2.5, "2"},   {3.5, "4"},    {2.4999, "2"}, {2.51, "3"},
        {-2.5, "-2"}, {-3.5, "-4"}, {-12.5, "-12"}, {-0.4, "0"},  {1234.5, "1234"}};
    for (const auto& [score, text] : cases)
        EXPECT_EQ(scoreText(score), text) << score;
    EXPECT_EQ(countText(3), "x 3");
}

TEST(Random, SeededStreamsReplayAndStayInRange)
{
    SeededRandom a(42), b(42);
    for (int i = 0; i < 1000; ++i) {
        const int n = 1 + i % 37;
        const int x = a.next(n);
        ASSERT_EQ(x, b.next(n));
        ASSERT_GE(x, 0);
        ASSERT_LT(x, n);
    }
    a.reseed();
    b.reseed();
    EXPECT_EQ(a.next(1000000), b.next(1000000));
    EXPECT_EQ(a.next(0), 0);
    EXPECT_EQ(a.next(-5), 0);
}

}  // namespace
}  // namespace kestrum::test
