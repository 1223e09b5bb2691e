// Lives, deaths, the exit sequence, game over, New and Pause.
#include "TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace kestrum::test {
namespace {

// Runs the sequencing timer until it stops; returns the number of steps.
int runSequence(TestGame& g, int limit = 1000)
{
    int steps = 0;
    while (g.host.sequenceTimer && steps < limit) {
        g.game->sequenceStep();
        ++steps;
    }
    return steps;
}

// Starts the snake upward and lets it run into the top border.
void dieOnTheBorder(TestGame& g)
{
    g.clearItems();
    g.game->keyDown(38);
    const int lives = g.s().Lives;
    for (int i = 0; i < 100 && g.s().Lives == lives; ++i)
        g.tick();
}

TEST(Death, ThreeDeathsEndTheGame)
{
    TestGame g(20);
    const Sequence expected[] = {Sequence::animDeath, Sequence::animDeath, Sequence::animDeath3};
    const char* sounds[] = {"Death", "Death", "GameOver"};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        g.host.soundsPlayed.clear();
        dieOnTheBorder(g);
        EXPECT_EQ(g.s().Seq, expected[k]);
        EXPECT_EQ(g.s().Lives, 2 - k);
        EXPECT_TRUE(g.host.soundsPlayed.contains(sounds[k]));
        EXPECT_EQ(g.host.soundsPlayed.contains("GameOver"), k == 2);
        runSequence(g);
        EXPECT_FALSE(g.host.sequenceTimer);
        // Back at the start, waiting for a key.
        EXPECT_EQ(g.s().SnakeBody[0], (TCellPos{10, 16}));
        EXPECT_TRUE(g.s().ResumeOnKey);
    }
    EXPECT_EQ(g.s().Lives, 3);
    EXPECT_EQ(g.host.labels[PanelLabel::Lives], "x 3");
    EXPECT_EQ(g.host.waits, (std::vector<int>{300, 300, 800}));
}

TEST(Death, TheSnakeShrinksFromTheHeadThenTheLevelRestartsAfter300ms)
{
    TestGame g(20);
    g.s().Score = 7;
    dieOnTheBorder(g);
    ASSERT_EQ(g.s().Seq, Sequence::animDeath);
    const GameState& s = g.s();
    const TCellPos head = s.SnakeBody[0];
    const TCellPos tail = s.SnakeBody[2];
    // First frame (D = 1 of L = 2): the head half-size is 1 * 10 / 8 = 1 pixel, the tail
    // is still whole.
    g.game->sequenceStep();
    EXPECT_EQ(s.DeathCountdown, 1);
    const QImage& img = g.game->canvas().image();
    const QPoint headCentre = g.game->canvas().cellOrigin(head.X, head.Y) + QPoint(5, 5);
    EXPECT_EQ(tileAt(img, headCentre), tile::HeadBase + dirUp);
    EXPECT_EQ(tileAt(img, headCentre + QPoint(-2, 0)), tile::WallH)
        << "each frame first clears the cells to what lies under the snake: here the top border";
    EXPECT_EQ(g.tileAtCell(tail.X, tail.Y), tile::TailBase + dirUp);
    EXPECT_EQ(tileAt(img, g.game->canvas().cellOrigin(tail.X, tail.Y)), tile::TailBase + dirUp);
    g.host.onWait = [&](int) {
        // The last frame left every segment at size 0, showing the floor.
        EXPECT_EQ(g.tileAtCell(tail.X, tail.Y), tile::Floor);
        // A key pressed during the wait does not start the game.
        g.game->keyDown(37);
        EXPECT_FALSE(g.host.gameTimer);
        g.game->togglePause();
        EXPECT_FALSE(g.host.gameTimer);
    };
    EXPECT_EQ(runSequence(g), 2);
    EXPECT_EQ(g.host.waits, std::vector<int>{300});
    EXPECT_EQ(s.Lives, 2);
    EXPECT_EQ(s.Score, 7) << "the score carries over";
    EXPECT_EQ(s.SnakeBody[0], (TCellPos{10, 16}));
}

TEST(Death, EndsTheMushroomWithoutAWarning)
{
    TestGame g(20);
    g.s().MushroomTicks = 30;
    g.s().KeyUp = 40;
    g.host.mushroomIndicator = true;
    g.game->KillSnake();
    EXPECT_EQ(g.s().MushroomTicks, -1);
    EXPECT_FALSE(g.host.mushroomIndicator);
    EXPECT_TRUE(g.host.warnings.isEmpty());
    runSequence(g);
    EXPECT_EQ(g.s().KeyUp, 38) << "the attempt start brings the keys back";
}

TEST(Death, AnOpenExitStaysOpenAcrossALostLife)
{
    TestGame g(20);
    g.s().ExitPos = {3, 5};
    dieOnTheBorder(g);
    runSequence(g);
    EXPECT_EQ(g.s().ExitPos, (TCellPos{3, 5}));
    for (int i = 0; i < 12; ++i)
        g.game->animationStep();
    EXPECT_EQ(g.tileAtCell(3, 5), tile::ExitLeft);
}

TEST(GameOver, ScrollsShowsTheTextAndResetsTheGame)
{
    TestGame g(20);
    GameState& s = g.s();
    s.Lives = 1;
    s.Level = 3;
    s.Score = 10.4;
    s.EatenCount = 4;
    s.ExitPos = {3, 5};
    dieOnTheBorder(g);
    ASSERT_EQ(s.Seq, Sequence::animDeath3);
    bool textShown = false;
    g.host.onWait = [&](int ms) {
        EXPECT_EQ(ms, 800);
        // The game-over text stays on screen during the wait: the lime face is drawn last.
        const QImage& img = g.game->canvas().image();
        for (int y = 0; y < img.height() && !textShown; ++y)
            for (int x = 0; x < img.width() && !textShown; ++x)
                textShown = img.pixel(x, y) == qRgb(0, 255, 0);
        EXPECT_EQ(s.Level, 0);
        EXPECT_EQ(g.host.labels[PanelLabel::Level], "0 text39");
        EXPECT_EQ(g.host.checkedLevel, 0);
    };
    // Three death frames, the third with the first of 26 scroll steps.
    EXPECT_EQ(runSequence(g), 3 + 25);
    EXPECT_TRUE(textShown);
    EXPECT_EQ(s.Lives, 3);
    EXPECT_EQ(s.Score, 0);
    EXPECT_EQ(s.EatenCount, 0);
    EXPECT_EQ(s.Level, 0);
    EXPECT_EQ(s.ExitPos, (TCellPos{-1, -2}));
    EXPECT_EQ(g.host.labels[PanelLabel::Score], "0");
    EXPECT_EQ(g.host.labels[PanelLabel::Eaten], "x 0");
    EXPECT_EQ(g.host.handOvers, (std::vector<std::pair<int, bool>>{{10, true}}));
}

TEST(GameOver, EachScrollStepMovesTheFieldDownByAFifthOfATwentyFifth)
{
    TestGame g(25, 10);  // a 250-pixel image: 10 pixels per step
    g.s().Lives = 1;
    dieOnTheBorder(g);
    // Run the death frames; the last one also makes the first scroll step.
    for (int i = 0; i < 3; ++i)
        g.game->sequenceStep();
    ASSERT_EQ(g.s().ScrollCountdown, 24);
    const QImage before = g.game->canvas().image().copy();
    g.game->sequenceStep();
    const QImage& after = g.game->canvas().image();
    EXPECT_EQ(after.pixel(20, 5), qRgb(0, 0, 0));
    for (int y : {10, 50, 200})
        EXPECT_EQ(after.pixel(30, y + 10), before.pixel(30, y)) << y;
}

TEST(GameOver, AZeroScoreOffersNoHallOfFame)
{
    for (double score : {0.0, 0.5, -3.0}) {
        TestGame g(20);
        g.s().Lives = 1;
        g.s().Score = score;
        dieOnTheBorder(g);
        runSequence(g);
        EXPECT_TRUE(g.host.handOvers.empty()) << score;
    }
}

TEST(GameOver, ClosingTheWindowDuringTheWaitStopsCleanly)
{
    TestGame g(20);
    g.s().Lives = 1;
    g.s().Score = 50;
    dieOnTheBorder(g);
    g.host.onWait = [&](int) { g.host.isClosing = true; };
    runSequence(g);
    EXPECT_TRUE(g.host.handOvers.empty());
    EXPECT_FALSE(g.host.gameTimer);
    EXPECT_FALSE(g.host.sequenceTimer);
}

// A level pack whose level 0 has no walls, in dir; empty when it cannot be written.
QString writeEmptyPack(const QTemporaryDir& dir)
{
    QFile f(dir.filePath("p.lev"));
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write("[Level0]\nNumBase=0\nNumLine=0\n");
    return f.fileName();
}

// Puts the exit right in front of the head of a straight snake standing upward.
void exitAhead(TestGame& g, int snakeLast, int level)
{
    GameState& s = g.s();
    g.clearItems();
    s.Level = level;
    s.SnakeLast = snakeLast;
    const int x = s.FieldSize / 2;
    for (int i = 0; i <= snakeLast + 1; ++i) {
        s.SnakeBody[static_cast<size_t>(i)] = {x, s.FieldSize - 2 - snakeLast + i};
        s.SegmentShape[static_cast<size_t>(i)] = dirUp;
    }
    s.ExitPos = {x - 1, s.SnakeBody[0].Y - 1};
}

TEST(ExitSequence, StepsAndScoreFollowTheLengthAndTheLevel)
{
    struct Case {
        int snakeLast, level, steps;
        double gain;
    };
    for (const Case& c : {Case{2, 5, 2, 3.0}, Case{41, 0, 21, 0.0}, Case{41, 2, 21, 12.6}}) {
        SCOPED_TRACE(c.snakeLast);
        TestGame g(60, 5);
        exitAhead(g, c.snakeLast, c.level);
        g.tick();
        const GameState& s = g.s();
        ASSERT_EQ(s.Seq, Sequence::animExit);
        EXPECT_EQ(g.host.panelAnimations, 1);
        EXPECT_TRUE(g.host.soundsPlayed.contains("NextLevel"));
        EXPECT_EQ(g.tileAtCell(s.ExitPos.X + 1, s.ExitPos.Y), tile::ExitRight) << "drawn over the head";
        const double before = s.Score;
        EXPECT_EQ(runSequence(g), c.steps);
        EXPECT_NEAR(s.Score - before, c.gain, 1e-9);
        EXPECT_EQ(s.Level, c.level + 1);
        EXPECT_EQ(g.host.labels[PanelLabel::Level], QString::number(c.level + 1) + " text39");
        EXPECT_EQ(g.host.checkedLevel, c.level + 1);
        EXPECT_EQ(s.ExitPos, (TCellPos{-1, -2}));
        EXPECT_EQ(s.SnakeLast, 2);
        EXPECT_TRUE(s.ResumeOnKey);
        EXPECT_FALSE(g.host.gameTimer);
    }
}

TEST(ExitSequence, ThroughTheLeftCellTheSnakeGoesInAndIsNotDrawnPastTheExit)
{
    TestGame g(20, 10);
    exitAhead(g, 5, 2);
    GameState& s = g.s();
    const int x = s.SnakeBody[0].X, y0 = s.SnakeBody[0].Y;
    s.ExitPos = {x, y0 - 1};  // the head enters the exit's left cell
    g.tick();
    ASSERT_EQ(s.Seq, Sequence::animExit);
    EXPECT_EQ(s.ExitCountdown, 5);
    EXPECT_EQ(g.tileAtCell(x, y0 - 1), tile::ExitLeft) << "the exit is drawn over the head";
    EXPECT_EQ(g.tileAtCell(x + 1, y0 - 1), tile::ExitRight);
    EXPECT_EQ(g.tileAtCell(x, y0), tile::BodyBase + dirUp);
    EXPECT_EQ(g.tileAtCell(x, y0 + 4), tile::TailBase + dirUp);

    // Each step moves the snake on by one and leaves two more front segments undrawn: the
    // tail follows the body in, and nothing is drawn beyond the exit.
    g.game->sequenceStep();
    EXPECT_EQ(s.ExitCountdown, 3);
    EXPECT_EQ(g.tileAtCell(x, y0 - 2), tile::Floor) << "the head is not drawn past the exit";
    EXPECT_EQ(g.tileAtCell(x, y0 - 1), tile::ExitLeft);
    EXPECT_EQ(g.tileAtCell(x, y0 + 3), tile::TailBase + dirUp);
    EXPECT_EQ(g.tileAtCell(x, y0 + 4), tile::Floor);
    g.game->sequenceStep();
    EXPECT_EQ(g.tileAtCell(x, y0 + 2), tile::TailBase + dirUp);
    EXPECT_EQ(g.tileAtCell(x, y0 + 3), tile::Floor);
    EXPECT_EQ(g.tileAtCell(x, y0 - 1), tile::ExitLeft);
    g.game->sequenceStep();
    EXPECT_FALSE(g.host.sequenceTimer);
    EXPECT_EQ(s.Level, 3);
    EXPECT_EQ(g.tileAtCell(x, y0 - 1), tile::Floor) << "the next level has no exit";
}

// New and every level change end the exit sequence; left running, it would finish the old
// exit and add one more level to the one chosen.
TEST(ExitSequence, NewOrALevelChangeEndsIt)
{
    struct Case {
        const char* what;
        std::function<void(Game&)> change;
        int level;
    };
    QTemporaryDir dir;
    const QString pack = writeEmptyPack(dir);
    ASSERT_FALSE(pack.isEmpty());
    const Case cases[] = {
        {"New", [](Game& game) { game.newGame(); }, 0},
        {"Next level", [](Game& game) { game.chooseLevel(11); }, 4},
        {"the lives label", [](Game& game) { game.nextLevel(); }, 4},
        {"the eaten label", [](Game& game) { game.previousLevel(); }, 2},
        {"a level pack", [&](Game& game) { game.OpenLevelPack(pack); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestGame g(30, 5);
        exitAhead(g, 20, 3);
        g.tick();
        ASSERT_EQ(g.s().Seq, Sequence::animExit);
        g.game->sequenceStep();
        c.change(*g.game);
        EXPECT_FALSE(g.host.sequenceTimer);
        EXPECT_EQ(runSequence(g), 0);
        EXPECT_EQ(g.s().Level, c.level);
        EXPECT_EQ(g.s().SnakeLast, 2);
        EXPECT_EQ(g.s().SnakeBody[0].Y, 26) << "a new attempt waits at the start";
    }
}

TEST(ExitSequence, AChosenLevelStillPlaysTheDeathSequence)
{
    TestGame g(30, 5);
    exitAhead(g, 20, 3);
    g.tick();
    g.game->sequenceStep();
    g.game->chooseLevel(7);
    EXPECT_EQ(g.s().Seq, Sequence::animDeath);
    runSequence(g);
    EXPECT_EQ(g.s().Level, 7);
    EXPECT_EQ(g.s().Lives, 3);
}

TEST(Walls, AWallUnderTheStartingSnakeShowsOnceTheSnakeMovesOff)
{
    TestGame g(20, 10);
    g.clearItems();
    GameState& s = g.s();
    // A pack may put walls anywhere, the snake's start cells included.
    s.Walls[0] = {10, 17, wkBlock};
    s.Walls[1] = {10, 18, wkH};
    g.game->DrawWalls();
    g.game->DrawSnake(0);
    EXPECT_EQ(g.tileAtCell(10, 17), tile::BodyBase + dirUp) << "the snake is drawn over it";
    g.game->keyDown(37);
    g.tick(3);
    EXPECT_EQ(s.Lives, 3) << "only the head collides";
    EXPECT_EQ(g.tileAtCell(10, 17), tile::Block);
    EXPECT_EQ(g.tileAtCell(10, 18), tile::WallH);
    EXPECT_EQ(g.tileAtCell(10, 16), tile::Floor);
}

TEST(Walls, TheDeadSnakeShrinksBackToTheBorderItHit)
{
    TestGame g(20, 10);
    dieOnTheBorder(g);
    const TCellPos head = g.s().SnakeBody[0];
    ASSERT_EQ(head.Y, 0);
    int checked = 0;
    // The last frame has drawn every segment at size 0; the restart has not yet redrawn.
    g.host.onWait = [&](int) {
        EXPECT_EQ(g.tileAtCell(head.X, head.Y), tile::WallH);
        EXPECT_EQ(g.tileAtCell(head.X, 1), tile::Floor);
        ++checked;
    };
    runSequence(g);
    EXPECT_EQ(checked, 1);
}

// Played, not read off the wall table: a snake that starts upward lives through its first
// two steps on every level and field, built-in or random.
TEST(Walls, EveryLevelLetsTheSnakeTakeItsFirstTwoStepsUp)
{
    for (const int N : {10, 11, 20, 32})
        for (int level = 0; level <= 60; ++level)
            for (uint64_t seed = 1; seed <= (level > 10 ? 40u : 1u); ++seed) {
                TestGame g(N, 4, seed, level);
                g.clearItems();
                g.game->keyDown(38);
                g.tick(2);
                ASSERT_EQ(g.s().Lives, 3) << "level " << level << " on " << N << " cells, seed " << seed;
            }
}

TEST(Walls, ARandomLevelRestartNeverWallsTheOpenExitOrTheSnakesRoom)
{
    // At level 40 each restart scatters 185 blocks over 900 cells.
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        TestGame g(32, 5, seed, 40);
        g.s().ExitPos = {15, 27};
        g.game->KillSnake();
        runSequence(g);
        for (const TWall& w : g.s().Walls) {
            ASSERT_FALSE((w.X == 15 || w.X == 16) && w.Y == 27) << "seed " << seed;
            ASSERT_FALSE(w.X == 16 && w.Y >= 27 && w.Y <= 30) << "seed " << seed;
        }
        EXPECT_EQ(g.s().ExitPos, (TCellPos{15, 27}));
    }
}

TEST(ExitLength, TwiceTheFieldButNeverMoreThanTheSnakeCanGrow)
{
    EXPECT_EQ(TestGame(20, 10).s().ExitLength, 40);
    EXPECT_EQ(TestGame(130, 4).s().ExitLength, 260);
    EXPECT_EQ(TestGame(249, 4).s().ExitLength, 498);
    // 2 x 260 = 520 is out of reach: the snake stops growing at 500 segments.
    TestGame g(260, 4);
    EXPECT_EQ(g.s().ExitLength, 499);
    GameState& s = g.s();
    g.clearItems();
    s.SnakeLast = 499;
    for (int i = 0; i <= 500; ++i)
        s.SnakeBody[static_cast<size_t>(i)] = {130, 200};  // stacked: only the count matters
    s.SnakeBody[0] = {130, 100};
    s.FoodList[0] = {130, 99};
    s.FoodCount = 1;
    g.tick();
    EXPECT_GT(s.ExitPos.Y, 0) << "the longest snake opens the exit";
}

TEST(NewGame, StartsOverAtLevelZeroAndHandsTheScoreOver)
{
    TestGame g(20);
    GameState& s = g.s();
    g.host.gameTimer = true;
    s.Score = 20.5;
    s.Lives = 1;
    s.EatenCount = 9;
    s.Level = 7;
    s.ExitPos = {4, 4};
    g.game->newGame();
    EXPECT_FALSE(g.host.gameTimer);
    EXPECT_TRUE(s.ResumeOnKey);
    EXPECT_EQ(g.host.handOvers, (std::vector<std::pair<int, bool>>{{20, false}}));
    EXPECT_EQ(s.Score, 0);
    EXPECT_EQ(s.Lives, 3);
    EXPECT_EQ(s.EatenCount, 0);
    EXPECT_EQ(s.Level, 0);
    EXPECT_EQ(s.ExitPos, (TCellPos{0, -2}));
    EXPECT_EQ(g.host.labels[PanelLabel::Level], "0 text39");
    EXPECT_EQ(g.host.labels[PanelLabel::Length], "3");
    EXPECT_EQ(g.host.checkedLevel, 0);
    EXPECT_EQ(s.SnakeBody[0], (TCellPos{10, 16}));
}

TEST(Pause, TogglesTheGameTimerButNotDuringASequence)
{
    TestGame g(20);
    g.game->togglePause();
    EXPECT_TRUE(g.host.gameTimer);
    EXPECT_FALSE(g.s().ResumeOnKey);
    g.game->togglePause();
    EXPECT_FALSE(g.host.gameTimer);
    EXPECT_TRUE(g.s().ResumeOnKey);
    g.game->keyDown(65);  // any key ends a pause
    EXPECT_TRUE(g.host.gameTimer);
    dieOnTheBorder(g);
    ASSERT_TRUE(g.host.sequenceTimer);
    g.game->togglePause();
    EXPECT_FALSE(g.host.gameTimer);
}

TEST(ScoreDoubleClick, PlaysTheShowAndChangesNothingElse)
{
    TestGame g(20);
    g.s().Score = 12;
    g.host.soundsPlayed.clear();
    g.game->scoreDoubleClicked();
    EXPECT_EQ(g.host.soundsPlayed, QStringList{"NextLevel"});
    EXPECT_EQ(g.host.panelAnimations, 1);
    EXPECT_EQ(g.s().Score, 12);
    EXPECT_EQ(g.s().Level, 0);
    g.host.sounds = false;
    g.game->scoreDoubleClicked();
    EXPECT_EQ(g.host.soundsPlayed.size(), 1);
    EXPECT_EQ(g.host.panelAnimations, 2);
}

// --- The game waits for the player ----------------------------------------------------

// Runs the game-over sequence of a game with `score` up to the moment `when`: a number of
// sequencing steps, or -1 for the 800 ms wait after the text; then `act` runs there.
void actDuringGameOver(TestGame& g, double score, int when, const std::function<void()>& act)
{
    g.s().Lives = 1;
    g.s().Score = score;
    g.s().EatenCount = 6;
    dieOnTheBorder(g);
    ASSERT_EQ(g.s().Seq, Sequence::animDeath3);
    if (when < 0) {
        g.host.onWait = [&g, act](int) {
            const std::function<void()> once = act;  // the lambda goes with the line below
            g.host.onWait = nullptr;
            once();
        };
        runSequence(g);
        return;
    }
    for (int i = 0; i < when; ++i)
        g.game->sequenceStep();
    act();
    runSequence(g);
}

TEST(GameOver, NewDuringTheSequenceEndsTheOldGameFirstWithItsScore)
{
    // In the death frames, in the scroll, and in the wait with the text on the field.
    for (int when : {1, 10, -1}) {
        SCOPED_TRACE(when);
        TestGame g(20);
        actDuringGameOver(g, 30.4, when, [&] { g.game->newGame(); });
        // Handed over once, as at the sequence's end, and nothing of the old game follows.
        EXPECT_EQ(g.host.handOvers, (std::vector<std::pair<int, bool>>{{30, true}}));
        EXPECT_EQ(g.host.waits, (when < 0 ? std::vector<int>{800} : std::vector<int>{}));
        EXPECT_FALSE(g.host.sequenceTimer);
        EXPECT_EQ(g.s().Seq, Sequence::None);
        EXPECT_EQ(g.s().Lives, 3);
        EXPECT_EQ(g.s().Score, 0);
        EXPECT_EQ(g.s().EatenCount, 0);
        EXPECT_EQ(g.s().Level, 0);
        // The new game's snake stands at its start: no scroll has moved it since.
        EXPECT_EQ(g.tileAtCell(10, 16), tile::HeadBase + dirUp);
        EXPECT_EQ(g.tileAtCell(10, 18), tile::TailBase + dirUp);
        EXPECT_TRUE(g.s().ResumeOnKey);
    }
}

TEST(GameOver, ANumberedLevelDuringTheSequenceEndsTheOldGameFirstWithItsScore)
{
    for (int when : {2, -1}) {
        SCOPED_TRACE(when);
        TestGame g(20);
        actDuringGameOver(g, 30.4, when, [&] { g.game->chooseLevel(5); });
        EXPECT_EQ(g.host.handOvers, (std::vector<std::pair<int, bool>>{{30, true}}));
        EXPECT_EQ(g.s().Level, 5);
        EXPECT_EQ(g.s().Lives, 3);
        EXPECT_EQ(g.s().Score, 0);
        EXPECT_EQ(g.s().EatenCount, 0);
        EXPECT_FALSE(g.host.sequenceTimer);
        EXPECT_FALSE(g.host.gameTimer);
    }
}

TEST(LevelChanges, EveryChangeInPlayLeavesTheNewLevelWaitingForAKey)
{
    QTemporaryDir dir;
    const QString pack = writeEmptyPack(dir);
    ASSERT_FALSE(pack.isEmpty());
    const std::pair<const char*, std::function<void(Game&)>> changes[] = {
        {"Next level", [](Game& game) { game.chooseLevel(11); }},
        {"the lives label", [](Game& game) { game.nextLevel(); }},
        {"the eaten label", [](Game& game) { game.previousLevel(); }},
        {"a level pack", [&](Game& game) { game.OpenLevelPack(pack); }},
        {"a numbered level", [](Game& game) { game.chooseLevel(6); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        TestGame g(20);
        g.s().Level = 3;
        g.game->keyDown(38);
        g.tick(2);
        ASSERT_TRUE(g.host.gameTimer);
        change(*g.game);
        runSequence(g);
        EXPECT_FALSE(g.host.gameTimer);
        EXPECT_TRUE(g.s().ResumeOnKey);
        EXPECT_EQ(g.s().SnakeBody[0].Y, 16) << "the new attempt stands at its start";
        g.game->keyDown(38);
        EXPECT_TRUE(g.host.gameTimer) << "a key starts it";
    }
}

TEST(MushroomWarning, WornOffAsTheSnakeEntersTheExitTheNextLevelWaitsForAKey)
{
    TestGame g(30, 5);
    exitAhead(g, 6, 3);
    g.s().MushroomTicks = 1;  // wears off in this tick
    g.host.gameTimer = true;
    g.s().ResumeOnKey = false;
    // The exit sequence runs to its end behind the warning's three seconds.
    g.host.onWarning = [&] { runSequence(g); };
    g.tick();
    EXPECT_EQ(g.host.warnings, QStringList{"text78"});
    EXPECT_EQ(g.s().Level, 4);
    EXPECT_EQ(g.s().SnakeBody[0].Y, 26);
    EXPECT_FALSE(g.host.gameTimer);
    EXPECT_TRUE(g.s().ResumeOnKey);
}

TEST(MushroomWarning, PlayGoesOnAfterItUnlessThePlayerIsAwayAndTheNextKeyOnlySteers)
{
    for (bool away : {false, true}) {
        SCOPED_TRACE(away);
        TestGame g(40);
        g.clearItems();
        g.game->keyDown(38);
        g.s().Drug = {{20, 35}, true, 999};
        g.host.onWarning = [&] {
            g.host.away = away;
            // While the warning is up the field does not call it a pause.
            EXPECT_TRUE(g.host.notices.empty() || g.host.notices.back() == 0);
        };
        g.tick();
        ASSERT_EQ(g.host.warnings.size(), 1);
        EXPECT_EQ(g.host.gameTimer, !away);
        EXPECT_EQ(g.s().ResumeOnKey, away);
        EXPECT_EQ(g.host.notices.back(), away ? 93 : 0);
        // The timer that runs again is not started over by the next key: no tick is late.
        const int starts = g.host.gameTimerStarts;
        g.host.away = false;
        g.game->keyDown(37);
        EXPECT_EQ(g.host.gameTimerStarts, starts + (away ? 1 : 0));
        EXPECT_EQ(g.s().Direction, dirRight) << "the reversed left arrow steered";
    }
}

TEST(Notice, TheFieldSaysWhenTheGameWaitsAndWhatFor)
{
    TestGame g(20);
    GameState& s = g.s();
    EXPECT_EQ(g.host.notices, std::vector<int>{94}) << "a new attempt waits for its first key";
    g.game->keyDown(38);
    g.game->flush();
    g.tick(2);
    EXPECT_EQ(g.host.notices.back(), 0);
    g.game->togglePause();
    EXPECT_EQ(g.host.notices.back(), 93);
    g.game->keyDown(65);
    g.game->flush();
    EXPECT_EQ(g.host.notices.back(), 0);
    // The player goes to a menu, a dialog or another program: the game pauses by itself.
    g.game->playerLeft();
    EXPECT_FALSE(g.host.gameTimer);
    EXPECT_TRUE(s.ResumeOnKey);
    EXPECT_EQ(g.host.notices.back(), 93);
    g.game->keyDown(38);
    g.game->flush();
    // Nothing is said during a death; the restarted attempt waits for its key.
    dieOnTheBorder(g);
    EXPECT_EQ(g.host.notices.back(), 0);
    g.game->playerLeft();
    EXPECT_TRUE(g.host.sequenceTimer) << "the sequence goes on";
    runSequence(g);
    EXPECT_EQ(g.host.notices.back(), 94);
    EXPECT_EQ(g.host.notices.size(), 7u);
}

TEST(KillSnake, ALevelChangeMidSequenceNeverLeavesNegativeLivesInPlay)
{
    // The last life lost, and while its death sequence runs the player chooses a level
    // (which costs a life of its own): the game is over, never played on at 0 or -1 lives.
    TestGame g(20);
    g.s().Lives = 1;
    g.game->KillSnake();
    EXPECT_EQ(g.s().Seq, Sequence::animDeath3);
    EXPECT_EQ(g.host.soundsPlayed.last(), "GameOver");
    g.game->sequenceStep();
    g.game->chooseLevel(5);
    runSequence(g);
    EXPECT_EQ(g.s().Level, 5);
    EXPECT_GE(g.s().Lives, 1);
    EXPECT_EQ(g.host.labels[PanelLabel::Lives], "x " + QString::number(g.s().Lives));
    // And a life count already at 0 when a death comes ends the game as the last life.
    TestGame h(20);
    h.s().Lives = 0;
    h.game->KillSnake();
    EXPECT_EQ(h.s().Seq, Sequence::animDeath3);
    runSequence(h);
    EXPECT_EQ(h.s().Lives, 3);
}

}  // namespace
}  // namespace kestrum::test
