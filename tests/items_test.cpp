// Items: schedules, free cells, eating, the exit and the mushroom.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace kestrum::test {
namespace {

// Moves the snake far off the field, heading away from it: nothing there is ever hit or
// eaten, so the item schedules can run for hundreds of ticks undisturbed.
void parkSnakeOffField(GameState& st)
{
    st.SnakeLast = 2;
    for (int i = 0; i <= 3; ++i) {
        st.SnakeBody[static_cast<size_t>(i)] = {-100 + i, -100};
        st.SegmentShape[static_cast<size_t>(i)] = dirLeft;
    }
    st.Direction = st.NeckShape = dirLeft;
}

struct IdleGame : TestGame {
    explicit IdleGame(uint64_t seed = 11) : TestGame(20, 10, seed) { parkSnakeOffField(s()); }
    void loopTick() { tick(); }
};

TEST(ItemSchedules, EachSpecialItemComesAndGoesInItsRanges)
{
    struct Range {
        ItemKind kind;
        int firstMin, firstMax, stayMin, stayMax, awayMin, awayMax;
    };
    const Range ranges[] = {
        {ItemKind::Death, 0, 29, 30, 59, 5, 9},
        {ItemKind::Life, 0, 14, 15, 29, 70, 139},
        {ItemKind::Shot, 10, 39, 20, 49, 80, 109},
        {ItemKind::Drug, 0, 29, 30, 59, 50, 99},
    };
    for (uint64_t seed = 1; seed <= 20; ++seed) {
        IdleGame g(seed);
        // The first appearances as the attempt start drew them, kept while the food goes.
        std::map<ItemKind, int> firstDue;
        for (const Range& r : ranges) {
            firstDue[r.kind] = g.game->item(r.kind).DueTick;
            EXPECT_GE(firstDue[r.kind], r.firstMin) << "seed " << seed;
            EXPECT_LE(firstDue[r.kind], r.firstMax) << "seed " << seed;
        }
        g.clearItems();
        for (const Range& r : ranges)
            g.game->item(r.kind).DueTick = firstDue[r.kind];
        g.s().FoodDueTick = 1 << 30;
        struct Track {
            int first = -1, lastChange = 0;
            bool present = false;
            std::vector<int> stays, aways;
        };
        std::map<ItemKind, Track> tracks;
        for (const Range& r : ranges)
            tracks[r.kind];
        for (int t = 1; t <= 600; ++t) {
            g.loopTick();
            ASSERT_EQ(g.s().Lives, 3) << "seed " << seed;
            for (const Range& r : ranges) {
                Track& tr = tracks[r.kind];
                const bool now = g.game->item(r.kind).Present;
                if (now == tr.present)
                    continue;
                if (now && tr.first < 0)
                    tr.first = t;
                else
                    (now ? tr.aways : tr.stays).push_back(t - tr.lastChange);
                tr.present = now;
                tr.lastChange = t;
            }
        }
        for (const Range& r : ranges) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " kind " << int(r.kind));
            const Track& tr = tracks[r.kind];
            if (firstDue[r.kind] == 0) {
                EXPECT_LT(tr.first, 0) << "a first DueTick of 0 never places the item";
                continue;
            }
            ASSERT_GE(tr.first, 0) << "every other first DueTick brings the item within 600 ticks";
            EXPECT_GE(tr.first, std::max(r.firstMin, 1));
            EXPECT_LE(tr.first, r.firstMax);
            ASSERT_FALSE(tr.stays.empty());
            for (int stay : tr.stays) {
                EXPECT_GE(stay, r.stayMin);
                EXPECT_LE(stay, r.stayMax);
            }
            for (int away : tr.aways) {
                EXPECT_GE(away, r.awayMin);
                EXPECT_LE(away, r.awayMax);
            }
        }
    }
}

TEST(ItemSchedules, AFirstDueTickOfZeroNeverPlacesTheItem)
{
    IdleGame g;
    g.clearItems();
    g.s().FoodDueTick = 1 << 30;
    g.s().Life.DueTick = 0;
    for (int t = 0; t < 300; ++t)
        g.loopTick();
    EXPECT_FALSE(g.s().Life.Present);
    EXPECT_EQ(g.host.soundsPlayed.count("ShowPear"), 0);
}

TEST(ItemSchedules, TwoFoodsEveryThreeNTicksWhileNoneIsEaten)
{
    IdleGame g;
    g.clearItems();
    g.s().FoodDueTick = 60;
    for (int t = 1; t <= 59; ++t)
        g.loopTick();
    EXPECT_EQ(g.s().FoodCount, 0);
    g.loopTick();
    EXPECT_EQ(g.s().FoodCount, 2);
    EXPECT_EQ(g.s().FoodDueTick, 120);
    g.host.soundsPlayed.clear();
    for (int t = 61; t <= 120; ++t)
        g.loopTick();
    EXPECT_EQ(g.s().FoodCount, 4);
    EXPECT_EQ(g.host.soundsPlayed.count("ShowApple"), 2);
}

TEST(FreeCell, NeverOnAWallSnakeFoodExitDeathOrMushroom)
{
    TestGame g(12, 10, 5);
    GameState& s = g.s();
    s.Walls[0] = {3, 3, wkBlock};
    s.Walls[1] = {4, 3, wkH};
    s.Death = {{5, 5}, true, 999};
    s.Drug = {{6, 6}, true, 999};
    s.ExitPos = {7, 7};
    s.FoodList[0] = {2, 8};
    s.FoodCount = 1;
    const std::vector<TCellPos> blocked = {{3, 3}, {4, 3}, {5, 5}, {6, 6}, {7, 7}, {8, 7}, {2, 8},
                                           s.SnakeBody[0], s.SnakeBody[1], s.SnakeBody[2]};
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < 5000; ++i) {
        TCellPos c;
        ASSERT_TRUE(g.game->FindFreeCell(false, c));
        ASSERT_GE(c.X, 1);
        ASSERT_LE(c.X, 10);
        ASSERT_GE(c.Y, 1);
        ASSERT_LE(c.Y, 10);
        for (const TCellPos& b : blocked)
            ASSERT_FALSE(c == b) << c.X << "," << c.Y;
        seen.insert({c.X, c.Y});
    }
    // Every one of the 100 inner cells but the 10 blocked ones comes up.
    EXPECT_EQ(seen.size(), 90u);
}

TEST(FreeCell, LifeAndScissorsDoNotBlockACell)
{
    TestGame g(12, 10, 5);
    GameState& s = g.s();
    s.Life = {{2, 2}, true, 999};
    s.Shot = {{3, 2}, true, 999};
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < 5000; ++i) {
        TCellPos c;
        ASSERT_TRUE(g.game->FindFreeCell(false, c));
        seen.insert({c.X, c.Y});
    }
    EXPECT_TRUE(seen.count({2, 2}));
    EXPECT_TRUE(seen.count({3, 2}));
}

TEST(FreeCell, TheExitKeepsClearOfTheHeadsRowAndColumn)
{
    TestGame g(21, 10, 9);
    GameState& s = g.s();
    s.SnakeBody[0] = {10, 10};
    s.SnakeBody[1] = {10, 11};
    s.SnakeBody[2] = {10, 12};
    g.clearItems();
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < 20000; ++i) {
        TCellPos c;
        ASSERT_TRUE(g.game->FindFreeCell(true, c));
        ASSERT_LE(c.X, 21 - 3) << "the right cell must be inner";
        ASSERT_TRUE(c.Y != 10 || c.X < 6 || c.X > 12) << c.X;
        ASSERT_TRUE(c.X != 10 || c.Y < 6 || c.Y > 12) << c.Y;
        seen.insert({c.X, c.Y});
    }
    // Just outside the windows is allowed, also with the right cell inside one.
    EXPECT_TRUE(seen.count({13, 10}));
    EXPECT_TRUE(seen.count({5, 10}));
    EXPECT_TRUE(seen.count({10, 13}));
    EXPECT_TRUE(seen.count({10, 5}));
    EXPECT_TRUE(seen.count({9, 10}) == 0);
}

TEST(FreeCell, ACrowdedFieldFallsBackToTheLastFreeCellAndAFullOneToNothing)
{
    TestGame g(10, 10, 3);
    GameState& s = g.s();
    g.clearItems();
    // Walls on every inner cell but (7, 2).
    int k = 0;
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 8; ++x)
            if (!(x == 7 && y == 2) && k < kWallRecords)
                s.Walls[static_cast<size_t>(k++)] = {x, y, wkBlock};
    TCellPos c;
    ASSERT_TRUE(g.game->FindFreeCell(false, c));
    EXPECT_EQ(c, (TCellPos{7, 2}));
    EXPECT_FALSE(g.game->FindFreeCell(true, c));  // no free pair
    s.Walls[static_cast<size_t>(k)] = {7, 2, wkBlock};
    EXPECT_FALSE(g.game->FindFreeCell(false, c));
    // With no cell left, placing adds nothing and plays nothing.
    g.host.soundsPlayed.clear();
    g.game->PlaceItem(ItemKind::Long);
    g.game->PlaceItem(ItemKind::Death);
    EXPECT_EQ(s.FoodCount, 0);
    EXPECT_FALSE(s.Death.Present);
    EXPECT_TRUE(g.host.soundsPlayed.isEmpty());
    const TCellPos exitBefore = s.ExitPos;
    g.game->OpenExit();
    EXPECT_EQ(s.ExitPos, exitBefore);
}

TEST(FreeCell, TheFoodListStopsAtFiveHundredAndNoTwoFoodsShareACell)
{
    // 3 000 placements on fields of 40 and 26 cells (576 inner cells: nearly full).
    for (const auto& [N, seed] : {std::pair{40, 3}, {40, 4}, {40, 5}, {26, 6}, {26, 7}, {26, 8}}) {
        TestGame g(N, 5, static_cast<uint64_t>(seed));
        g.clearItems();
        for (int i = 0; i < 520; ++i)
            g.game->PlaceItem(ItemKind::Long);
        const GameState& s = g.s();
        EXPECT_EQ(s.FoodCount, kFoodCells);
        std::set<std::pair<int, int>> cells;
        for (int i = 0; i < s.FoodCount; ++i)
            cells.insert({s.FoodList[static_cast<size_t>(i)].X, s.FoodList[static_cast<size_t>(i)].Y});
        EXPECT_EQ(static_cast<int>(cells.size()), s.FoodCount) << N << " cells, seed " << seed;
    }
}

// Puts one food right in front of the head (moving up) and returns its cell.
TCellPos foodAhead(TestGame& g, int distance = 1)
{
    GameState& s = g.s();
    const TCellPos f{s.SnakeBody[0].X, s.SnakeBody[0].Y - distance};
    s.FoodList[static_cast<size_t>(s.FoodCount)] = f;
    s.FoodCount += 1;
    return f;
}

TEST(Eating, FoodSetsGrowthScoresAndReplacesTheLastFood)
{
    TestGame g(20);
    g.clearItems();
    foodAhead(g);
    g.host.soundsPlayed.clear();
    g.tick();
    const GameState& s = g.s();
    EXPECT_EQ(s.EatenCount, 1);
    EXPECT_EQ(g.host.labels[PanelLabel::Eaten], "x 1");
    EXPECT_NEAR(s.Score, 5.5, 1e-9);
    EXPECT_EQ(g.host.labels[PanelLabel::Score], "6");  // 5.5 shows as 6
    EXPECT_EQ(s.PendingGrowth, 14);                    // 15, minus this tick's growth step
    EXPECT_EQ(s.FoodCount, 1);                         // a new one in place at once
    EXPECT_EQ(s.FoodDueTick, 1 + 60);
    EXPECT_TRUE(g.host.soundsPlayed.contains("EatApple"));
    EXPECT_TRUE(g.host.soundsPlayed.contains("ShowApple"));
}

TEST(Eating, TwoFoodsFiveTicksApartGrowTwentyNotThirty)
{
    TestGame g(30);
    g.clearItems();
    foodAhead(g, 1);
    foodAhead(g, 6);
    g.tick(6);
    g.s().FoodCount = 0;  // the replacement food must not lie on the path by chance
    g.tick(19);
    EXPECT_EQ(g.s().SnakeLast + 1, 3 + 20);
    EXPECT_EQ(g.s().PendingGrowth, 0);
}

TEST(Eating, ScoresFollowTheIntervalAndTheItemsFactor)
{
    struct Case {
        ItemKind kind;
        double points;
    };
    for (const Case& c : {Case{ItemKind::Life, 11}, Case{ItemKind::Shot, 11}, Case{ItemKind::Drug, 55}}) {
        TestGame g(20);
        g.clearItems();
        TItemState& it = g.game->item(c.kind);
        it = {{10, 15}, true, 999};
        g.tick();
        EXPECT_NEAR(g.s().Score, c.points, 1e-9);
        EXPECT_FALSE(it.Present);
        EXPECT_EQ(it.Pos, (TCellPos{0, 0}));
        EXPECT_EQ(it.DueTick, 999);  // kept: the next one comes when this one would have left
    }
}

TEST(Eating, TheExtraLifeAddsALifeAndSoundsLikeAnApple)
{
    TestGame g(20);
    g.clearItems();
    g.s().Life = {{10, 15}, true, 999};
    g.host.soundsPlayed.clear();
    g.tick();
    EXPECT_EQ(g.s().Lives, 4);
    EXPECT_EQ(g.host.labels[PanelLabel::Lives], "x 4");
    EXPECT_EQ(g.host.soundsPlayed, QStringList{"EatApple"});
}

TEST(Eating, ScissorsCropOnlyASnakeLongerThanFiftyOne)
{
    for (int last : {50, 51}) {
        TestGame g(60, 5);
        g.clearItems();
        GameState& s = g.s();
        // A straight snake standing up in the middle column.
        s.SnakeLast = last;
        for (int i = 0; i <= last + 1; ++i) {
            s.SnakeBody[static_cast<size_t>(i)] = {30, 4 + i};
            s.SegmentShape[static_cast<size_t>(i)] = dirUp;
        }
        s.Shot = {{30, 3}, true, 999};
        g.tick();
        EXPECT_EQ(s.PendingGrowth, last == 51 ? -29 : 0) << last;
        if (last == 51) {
            g.tick(29);
            EXPECT_EQ(s.SnakeLast, 21);
        }
    }
}

TEST(Eating, FoodDuringACropTurnsItIntoGrowth)
{
    TestGame g(70, 4);
    g.clearItems();
    GameState& s = g.s();
    s.SnakeLast = 55;
    for (int i = 0; i <= 56; ++i) {
        s.SnakeBody[static_cast<size_t>(i)] = {35, 8 + i};
        s.SegmentShape[static_cast<size_t>(i)] = dirUp;
    }
    s.Shot = {{35, 7}, true, 999};
    g.tick(5);
    EXPECT_EQ(s.SnakeLast, 50);
    foodAhead(g);
    g.tick(15);
    EXPECT_EQ(s.SnakeLast, 50 + 15);
    EXPECT_EQ(s.PendingGrowth, 0);
}

TEST(Eating, TheMushroomReversesTheKeysWithAWarningUntilItWearsOff)
{
    TestGame g(40);
    g.clearItems();
    GameState& s = g.s();
    g.game->keyDown(38);
    s.Drug = {{20, 35}, true, 999};
    g.tick();
    EXPECT_EQ(g.host.warnings, QStringList{"text77"});
    EXPECT_TRUE(g.host.gameTimer) << "the game goes on after the warning";
    EXPECT_EQ((std::array{s.KeyUp, s.KeyDown, s.KeyLeft, s.KeyRight}),
              (std::array<uint8_t, 4>{40, 38, 39, 37}));
    EXPECT_GE(s.MushroomTicks + 1, 20);
    EXPECT_LE(s.MushroomTicks + 1, 64);
    EXPECT_TRUE(g.host.mushroomIndicator);
    // Under the mushroom the left arrow turns right.
    g.game->keyDown(37);
    EXPECT_EQ(s.Direction, dirRight);
    g.game->keyDown(40);  // not this tick
    g.tick();
    g.game->keyDown(40);  // "down" now steers up
    EXPECT_EQ(s.Direction, dirUp);
    parkSnakeOffField(s);  // let the effect run out without meeting the border
    const int ticks = s.MushroomTicks;
    g.host.soundsPlayed.clear();
    for (int i = 1; i < ticks; ++i)
        g.tick();
    EXPECT_EQ(s.MushroomTicks, 1);
    EXPECT_EQ(g.host.warnings.size(), 1);
    g.tick();
    EXPECT_EQ(s.MushroomTicks, -1);
    EXPECT_FALSE(g.host.mushroomIndicator);
    EXPECT_EQ(g.host.warnings, (QStringList{"text77", "text78"}));
    EXPECT_TRUE(g.host.soundsPlayed.contains("StopMush"));
    EXPECT_EQ((std::array{s.KeyUp, s.KeyDown, s.KeyLeft, s.KeyRight}),
              (std::array<uint8_t, 4>{38, 40, 37, 39}));
}

TEST(Exit, OpensOnceTheSnakeIsLongEnoughAndMovesWithEveryFood)
{
    TestGame g(20);
    g.clearItems();
    GameState& s = g.s();
    EXPECT_EQ(s.ExitLength, 40);
    s.SnakeLast = 39;
    for (int i = 1; i <= 40; ++i)
        s.SnakeBody[static_cast<size_t>(i)] = {10, 16};  // a short body is enough here
    foodAhead(g);
    g.tick();
    EXPECT_LT(s.ExitPos.Y, 0) << "39 is not long enough";
    s.SnakeLast = 40;
    s.PendingGrowth = 0;
    foodAhead(g);
    g.host.soundsPlayed.clear();
    g.tick();
    ASSERT_GT(s.ExitPos.Y, 0);
    const TCellPos first = s.ExitPos;
    EXPECT_TRUE(g.host.soundsPlayed.contains("ShowExit"));
    s.PendingGrowth = 0;
    foodAhead(g);
    g.tick();
    EXPECT_FALSE(s.ExitPos == first);
    EXPECT_EQ(g.tileAtCell(first.X, first.Y), tile::Floor) << "the old exit is erased";
}

TEST(Exit, AnAttemptStartShowsTheExitAgainWithItsSound)
{
    TestGame g(20);
    g.s().ExitPos = {4, 4};
    g.host.soundsPlayed.clear();
    g.game->StartAttempt();
    EXPECT_EQ(g.host.soundsPlayed.mid(0, 2), (QStringList{"ShowExit", "ShowApple"}));
    for (int i = 0; i < 12; ++i)
        g.game->animationStep();
    EXPECT_EQ(g.tileAtCell(4, 4), tile::ExitLeft);
    EXPECT_EQ(g.tileAtCell(5, 4), tile::ExitRight);
}

// How each item comes and goes, from the item table: picture, animation style, steps and
// sound. A swapped picture or style shows only here.
TEST(Items, EachItemComesAndGoesWithItsPictureStyleStepsAndSound)
{
    struct Look {
        ItemKind kind;
        int picture, style, steps;
        const char* sound;
    };
    const Look looks[] = {
        {ItemKind::Long, 8, 1, 10, "ShowApple"}, {ItemKind::Death, 11, 3, 10, "ShowDeath"},
        {ItemKind::Life, 10, 1, 15, "ShowPear"}, {ItemKind::Shot, 9, 2, 15, "ShowScis"},
        {ItemKind::Drug, 12, 2, 15, "ShowMush"},
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(int(look.kind));
        TestGame g(20);
        g.clearItems();
        g.host.soundsPlayed.clear();
        g.game->PlaceItem(look.kind);
        EXPECT_EQ(g.host.soundsPlayed, QStringList{look.sound});
        const TCellAnimation& in = g.s().CellAnimations[0];
        ASSERT_TRUE(in.Active);
        EXPECT_EQ(in.Picture, look.picture);
        EXPECT_EQ(in.Style, look.style);
        EXPECT_EQ(in.Steps, look.steps);
        if (look.kind == ItemKind::Long) {
            EXPECT_EQ((TCellPos{in.X, in.Y}), g.s().FoodList[0]);
            continue;
        }
        const TCellPos at = g.game->item(look.kind).Pos;
        EXPECT_EQ((TCellPos{in.X, in.Y}), at);
        // Taken away at its time: shrinks to the centre over 8 steps with its own picture.
        g.game->RemoveItem(look.kind, false);
        const TCellAnimation& out = g.s().CellAnimations[1];
        ASSERT_TRUE(out.Active);
        EXPECT_EQ((TCellPos{out.X, out.Y}), at);
        EXPECT_EQ(out.Picture, look.picture);
        EXPECT_EQ(out.Style, 0);
        EXPECT_EQ(out.Steps, 8);
        EXPECT_EQ(g.game->item(look.kind).Pos, (TCellPos{0, 0}));
        // Eaten: no animation, the head is already drawn there.
        g.game->PlaceItem(look.kind);
        const int before = g.s().ActiveAnimations;
        g.game->RemoveItem(look.kind, true);
        EXPECT_EQ(g.s().ActiveAnimations, before);
    }
    // The exit: its left half opens leftward from the right edge, its right half rightward
    // from the left edge, ten steps each, to the sound of "ShowExit".
    TestGame g(20);
    g.clearItems();
    g.host.soundsPlayed.clear();
    g.game->OpenExit();
    EXPECT_EQ(g.host.soundsPlayed, QStringList{"ShowExit"});
    const auto& a = g.s().CellAnimations;
    EXPECT_EQ((std::array{a[0].X, a[0].Y, a[0].Picture, int(a[0].Style), a[0].Steps}),
              (std::array{g.s().ExitPos.X, g.s().ExitPos.Y, 29, 5, 10}));
    EXPECT_EQ((std::array{a[1].X, a[1].Y, a[1].Picture, int(a[1].Style), a[1].Steps}),
              (std::array{g.s().ExitPos.X + 1, g.s().ExitPos.Y, 30, 4, 10}));
}

TEST(Exit, WithNoFreePairTheOldExitStaysAndStaysDrawn)
{
    TestGame g(20);
    g.clearItems();
    GameState& s = g.s();
    s.ExitPos = {4, 4};
    g.game->StartAttempt();
    for (int i = 0; i < 12; ++i)
        g.game->animationStep();
    ASSERT_EQ(g.tileAtCell(4, 4), tile::ExitLeft);
    // Every other inner cell walled: no pair is free.
    int n = 0;
    for (int y = 1; y <= 18 && n < kWallRecords; ++y)
        for (int x = 1; x <= 18 && n < kWallRecords; ++x)
            if (!(y == 4 && (x == 4 || x == 5)) && (x + y) % 2 == 0)
                s.Walls[static_cast<size_t>(n++)] = {x, y, wkBlock};
    g.host.soundsPlayed.clear();
    g.game->OpenExit();
    EXPECT_EQ(s.ExitPos, (TCellPos{4, 4}));
    EXPECT_TRUE(g.host.soundsPlayed.isEmpty());
    EXPECT_EQ(g.tileAtCell(4, 4), tile::ExitLeft);
    EXPECT_EQ(g.tileAtCell(5, 4), tile::ExitRight);
}

TEST(Items, WhatLeavesACellUncoversWhatStillStandsThere)
{
    TestGame g(20);
    g.clearItems();
    GameState& s = g.s();
    const auto settle = [&] {
        for (int i = 0; i < 20; ++i)
            g.game->animationStep();
    };
    // The pear at (6, 6) and the scissors at (9, 9); the exit opens on the pear's cell and
    // a food lands on the scissors' (neither blocks a free cell).
    s.Life = {{6, 6}, true, 100};
    s.Shot = {{9, 9}, true, 100};
    g.game->StartCellAnimation(6, 6, tile::Pear, 1, 15);
    g.game->StartCellAnimation(9, 9, tile::Scissors, 2, 15);
    settle();
    s.ExitPos = {6, 6};
    g.game->StartCellAnimation(6, 6, tile::ExitLeft, 5, 10);
    g.game->StartCellAnimation(7, 6, tile::ExitRight, 4, 10);
    s.FoodList[0] = {9, 9};
    s.FoodCount = 1;
    g.game->StartCellAnimation(9, 9, tile::Food, 1, 10);
    settle();
    // Both leave on schedule: their cells show the exit's half and the food, not the floor.
    g.game->RemoveItem(ItemKind::Life, false);
    g.game->RemoveItem(ItemKind::Shot, false);
    settle();
    EXPECT_EQ(g.tileAtCell(6, 6), tile::ExitLeft);
    EXPECT_EQ(g.tileAtCell(7, 6), tile::ExitRight);
    EXPECT_EQ(g.tileAtCell(9, 9), tile::Food);
    // The exit moving on leaves the floor behind, and so does the exit at the end of a level.
    g.game->OpenExit();
    ASSERT_NE(s.ExitPos, (TCellPos{6, 6}));
    EXPECT_EQ(g.tileAtCell(6, 6), tile::Floor);
    EXPECT_EQ(g.tileAtCell(7, 6), tile::Floor);

    // An open exit on the head's start cell, kept across a lost life: once the new attempt's
    // snake has moved off it, the exit shows again.
    TestGame h(20);
    h.clearItems();
    const TCellPos start = h.s().SnakeBody[0];
    h.s().ExitPos = start;
    h.game->StartAttempt();
    h.game->keyDown(37);  // left, off the column the snake started in
    for (int i = 0; i < 6; ++i)
        h.tick();
    for (int i = 0; i < 20; ++i)
        h.game->animationStep();
    ASSERT_NE(h.s().Seq, Sequence::animExit) << "the snake did not go into the exit";
    EXPECT_EQ(h.tileAtCell(start.X, start.Y), tile::ExitLeft);
    EXPECT_EQ(h.tileAtCell(start.X + 1, start.Y), tile::ExitRight);
}

TEST(Items, NoSoundIsAskedForWhileSoundsAreOff)
{
    TestGame g(20);
    g.host.sounds = false;
    g.host.soundsPlayed.clear();
    g.clearItems();
    foodAhead(g);
    g.tick();
    g.game->StartAttempt();
    EXPECT_TRUE(g.host.soundsPlayed.isEmpty());
}

}  // namespace
}  // namespace kestrum::test
