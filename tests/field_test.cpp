// Skins and the field picture: cutting, geometry, background, border and walls.
#include "Bot.h"
#include "TestSupport.h"

#include "render/FieldCanvas.h"
#include "render/Skin.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace kestrum::test {
namespace {

TEST(Skin, CutsThirtyOneTilesAtTheStripHeight)
{
    const CellPictures pictures = CellPictures::fromStrip(solidSkin(22));
    ASSERT_EQ(pictures.cellSize(), 22);
    for (int t = 0; t < kTileCount; ++t) {
        const QImage& tile = pictures.tile(t);
        ASSERT_EQ(tile.size(), QSize(22, 22));
        // The 1-pixel gaps stay out of every tile: all four corners have the tile colour.
        for (QPoint p : {QPoint(0, 0), QPoint(21, 0), QPoint(0, 21), QPoint(21, 21)})
            EXPECT_EQ(tile.pixel(p) | 0xFF000000, tileColour(t) | 0xFF000000) << "tile " << t;
    }
    EXPECT_TRUE(pictures.tile(31).isNull());
    EXPECT_TRUE(pictures.tile(-1).isNull());
}

TEST(Skin, TilesBeyondANarrowStripAreBlack)
{
    const CellPictures pictures = CellPictures::fromStrip(solidSkin(10, 20));
    EXPECT_EQ(pictures.tile(19).pixel(5, 5) | 0xFF000000, tileColour(19) | 0xFF000000);
    EXPECT_EQ(pictures.tile(20).pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(pictures.tile(30).pixel(9, 9), qRgb(0, 0, 0));
}

TEST(Skin, RefusesStripsThatCannotMakeAField)
{
    EXPECT_TRUE(skinProblem(solidSkin(22), 406, "k").isEmpty());
    EXPECT_TRUE(skinProblem(solidSkin(40), 400, "k").isEmpty());  // exactly 10 cells
    EXPECT_FALSE(skinProblem(solidSkin(41), 400, "k").isEmpty());
    EXPECT_FALSE(skinProblem(QImage(), 400, "k").isEmpty());
    QString error;
    EXPECT_TRUE(loadBitmap("/nonexistent/skin", &error).isNull());
    EXPECT_TRUE(error.startsWith("Cannot open file ")) << error.toStdString();
}

TEST(Skin, ReadsABitmapWhateverItsName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("noextension");
    ASSERT_TRUE(solidSkin(12).save(path, "BMP"));
    QString error;
    const QImage strip = loadBitmap(path, &error);
    ASSERT_FALSE(strip.isNull()) << error.toStdString();
    EXPECT_EQ(strip.height(), 12);
}

TEST(FieldGeometry, TwentyTwoPixelCellsOnA406PixelImage)
{
    FieldCanvas canvas;
    canvas.resize(577 - 102, 406);
    canvas.setGeometry(22);
    EXPECT_EQ(canvas.fieldSize(), 18);
    EXPECT_EQ(canvas.fieldLeft(), 34);  // 237 - 203
    EXPECT_EQ(canvas.cellOrigin(3, 2), QPoint(100, 44));
}

TEST(FieldGeometry, FieldLeftTruncatesTowardZeroWhenNarrowAndTheFieldStopsAtItsLargest)
{
    FieldCanvas canvas;
    canvas.resize(301, 400);
    canvas.setGeometry(20);
    EXPECT_EQ(canvas.fieldLeft(), -50);
    // 4-pixel cells on a canvas 5000 pixels high: 1024 cells (4096 pixels) from the top,
    // centred across.
    canvas.resize(6000, 5000);
    canvas.setGeometry(4);
    EXPECT_EQ(canvas.fieldSize(), 1024);
    EXPECT_EQ(canvas.fieldLeft(), 952);  // 3000 - 2048
    canvas.resize(6000, 4099);
    canvas.setGeometry(4);
    EXPECT_EQ(canvas.fieldSize(), 1024);
    EXPECT_EQ(canvas.fieldLeft(), 951) << "below the largest the old rule stands: 3000 - 2049";
}

TEST(FieldDrawing, BackgroundInTheMarginsBorderOnTheRingFloorInside)
{
    FakeHost host;
    SeededRandom random(3);
    Game game(host, random);
    game.canvas().resize(475, 406);
    game.BuildField(solidSkin(22));
    const QImage& img = game.canvas().image();
    const int N = game.state().FieldSize;
    ASSERT_EQ(N, 18);
    const FieldCanvas& c = game.canvas();
    const auto at = [&](int x, int y) { return tileAt(img, c.cellOrigin(x, y) + QPoint(11, 11)); };
    EXPECT_EQ(tileAt(img, {0, 0}), -2);                // left margin
    EXPECT_EQ(tileAt(img, {474, 200}), -2);            // right margin
    EXPECT_EQ(tileAt(img, {200, 18 * 22 + 5}), -2);    // the 10 rows below the field
    EXPECT_EQ(at(0, 0), tile::CornerTL);
    EXPECT_EQ(at(0, N - 1), tile::CornerBL);
    EXPECT_EQ(at(N - 1, 0), tile::CornerTR);
    EXPECT_EQ(at(N - 1, N - 1), tile::CornerBR);
    for (int i = 1; i < N - 1; ++i) {
        EXPECT_EQ(at(i, 0), tile::WallH);
        EXPECT_EQ(at(i, N - 1), tile::WallH);
        EXPECT_EQ(at(0, i), tile::WallV);
        EXPECT_EQ(at(N - 1, i), tile::WallV);
    }
    EXPECT_EQ(at(3, 3), tile::Floor);
    EXPECT_EQ(game.state().ExitLength, 36);
    EXPECT_EQ(host.layouts, 1);
}

TEST(FieldDrawing, WallsDrawTheirKindsPicture)
{
    TestGame g(20);
    const uint8_t kinds[] = {wkH, wkV, wkLBc, wkRBc, wkLTc, wkRTc, wkBlock};
    const int tiles[] = {1, 2, 4, 5, 6, 7, 3};
    for (int k = 0; k < 7; ++k)
        g.s().Walls[static_cast<size_t>(k)] = {2 + k, 3, kinds[k]};
    // Later records win where two share a cell.
    g.s().Walls[7] = {2, 3, wkBlock};
    g.game->DrawWalls();
    EXPECT_EQ(g.tileAtCell(2, 3), tile::Block);
    for (int k = 1; k < 7; ++k)
        EXPECT_EQ(g.tileAtCell(2 + k, 3), tiles[k]);
}

int regionArea(const QRegion& r)
{
    int area = 0;
    for (const QRect& part : r)
        area += part.width() * part.height();
    return area;
}

TEST(FieldDrawing, OnlyTheChangedCellsAreRepainted)
{
    TestGame g(20, 10);
    g.clearItems();
    g.game->flush();
    g.host.repaints.clear();
    g.game->keyDown(37);
    g.tick();
    ASSERT_EQ(g.host.repaints.size(), 1u);
    // Head, neck, tail and the vacated cell: four cells, nothing between them.
    const QRegion& r = g.host.repaints.front();
    EXPECT_EQ(regionArea(r), 4 * 10 * 10);
    EXPECT_TRUE(r.contains(g.game->canvas().cellRect(9, 16)));   // new head
    EXPECT_TRUE(r.contains(g.game->canvas().cellRect(10, 17)));  // new tail
    EXPECT_TRUE(r.contains(g.game->canvas().cellRect(10, 18)));  // vacated
}

// Plays the bot's game: sequences run through (onSequence sees each step), a stopped snake
// is started again, and beforeTick and afterTick run around each tick of the game timer;
// afterTick returns false to stop. Returns the ticks played.
long long playBot(TestGame& g, Bot& bot, long long ticks, const std::function<void()>& beforeTick,
                  const std::function<bool(long long tick)>& afterTick,
                  const std::function<void()>& onSequence = {})
{
    long long played = 0;
    while (played < ticks) {
        if (g.host.sequenceTimer) {
            g.game->sequenceStep();
            if (onSequence)
                onSequence();
            continue;
        }
        const uint16_t key = bot.choose(g.s());
        if (key || !g.host.gameTimer)
            g.game->keyDown(key ? key : 38);
        if (!g.host.gameTimer)
            continue;
        beforeTick();
        g.tick();
        if (!afterTick(++played))
            break;
    }
    return played;
}

// Long random play on the largest cells: each tick draws only the cells it touches, the
// picture stays what a full redraw of the snake gives, and the screen repaints no more
// than those cells even when head and tail are far apart.
TEST(FieldDrawing, TicksRepaintOnlyTheCellsTheyChange)
{
    TestGame g(46, 22, 99);
    Bot bot(5, 0.1);
    GameState& s = g.s();
    const int cell = 22 * 22;
    long long area = 0, longSnakeTicks = 0;
    int worst = 0, lengthBefore = 0;
    long long played = 0;
    const long long ticks = playBot(g, bot, 6000, [&] {
        // Long snakes make far-apart heads and tails.
        if (s.SnakeLast < 200 && played % 30 == 0)
            s.PendingGrowth = 15;
        g.host.repaints.clear();
        lengthBefore = s.SnakeLast;
    }, [&](long long tick) {
        played = tick;
        if (s.SnakeLast > 100)
            ++longSnakeTicks;
        int tickArea = 0;
        for (const QRegion& r : g.host.repaints)
            tickArea += regionArea(r);
        area += tickArea;
        worst = std::max(worst, tickArea);
        // The exit tiles lie over the head and a death redraws everything; a growth step
        // changes the length after the drawing, which a full redraw would not know.
        if (s.Seq != Sequence::None || s.SnakeLast != lengthBefore)
            return true;
        const QImage drawn = g.game->canvas().image().copy();
        g.game->DrawSnake(0);
        g.game->canvas().takeDirty();  // the check's own drawing is not the game's
        EXPECT_EQ(drawn, g.game->canvas().image()) << "tick " << tick;
        if (drawn != g.game->canvas().image())
            return false;
        // Animations run between ticks, over the head too, as the window's timer does.
        g.game->animationStep();
        return true;
    });
    EXPECT_GT(longSnakeTicks, 300);
    // Four cells a step; a shrink, an exit or eaten food adds at most three.
    EXPECT_LE(worst, 7 * cell);
    EXPECT_LE(static_cast<double>(area) / ticks, 4.1 * cell);
}

// Items come and go all through a long seeded game, their animations stepping between the
// ticks as the window's frames step them. After every tick and every animation step each
// cell of the snake's body shows a picture of the snake, at its corner as at its centre: no
// item coming or going, and no floor, ever shows through it.
class SnakeCells : public testing::TestWithParam<std::pair<int, uint64_t>> {};

TEST_P(SnakeCells, NoCellOfTheSnakeEverShowsAnythingElse)
{
    const auto [fieldSize, seed] = GetParam();
    TestGame g(fieldSize, 10, seed);
    Bot bot(seed + 1, 0.15);
    GameState& s = g.s();
    const auto isSnake = [](int t) { return t >= tile::HeadBase && t <= tile::CornerBase - 4; };
    bool grew = false;
    const auto check = [&](const char* when, long long ticks, bool afterTick) {
        if (s.Seq != Sequence::None)
            return true;  // the exit and the death draw the snake their own way
        const FieldCanvas& c = g.game->canvas();
        // A tick that grows the snake makes the cell it vacated the tail, already painted
        // with the floor: while it grows, the visible tail stands still.
        const int last = grew ? s.SnakeLast - 1 : s.SnakeLast;
        // The head's cell goes on with an item's animation until the next tick (an apple
        // eaten while it grows in grows on over the head); the body's cells pause them.
        for (int i = afterTick ? 0 : 1; i <= last; ++i) {
            const TCellPos cell = s.SnakeBody[static_cast<size_t>(i)];
            const QPoint o = c.cellOrigin(cell.X, cell.Y);
            const int corner = tileAt(c.image(), o + QPoint(1, 1));
            const int centre = tileAt(c.image(), o + QPoint(c.cellSize() / 2, c.cellSize() / 2));
            if (!isSnake(corner) || !isSnake(centre)) {
                ADD_FAILURE() << when << " of tick " << ticks << ": segment " << i << " of "
                              << s.SnakeLast << " at " << cell.X << "," << cell.Y << " shows tiles "
                              << corner << " and " << centre;
                return false;
            }
        }
        return true;
    };
    int itemsSeen = 0, lengthBefore = 0;
    playBot(g, bot, 20000, [&] { lengthBefore = s.SnakeLast; }, [&](long long ticks) {
        grew = s.SnakeLast > lengthBefore;
        itemsSeen += s.ActiveAnimations > 0;
        if (!check("after the drawing", ticks, true))
            return false;
        // Ten animation steps fit in a tick at the usual speed; a slow frame takes fewer.
        const int steps = static_cast<int>(ticks % 11);
        for (int k = 0; k < steps; ++k) {
            g.game->animationStep();
            if (!check("after an animation step", ticks, false))
                return false;
        }
        return true;
    });
    EXPECT_GT(itemsSeen, 2000) << "ticks with an item coming or going";
}

INSTANTIATE_TEST_SUITE_P(FieldDrawing, SnakeCells,
                         testing::Values(std::pair<int, uint64_t>{24, 7}, std::pair<int, uint64_t>{16, 3},
                                         std::pair<int, uint64_t>{40, 11}));

// A snake that is not growing always ends in its tail picture, through single bends and
// U-turns (two corners in a row) alike. While it grows its last cell shows the floor and
// the picture at the end of the snake stands still, tick after tick.
TEST(FieldDrawing, ASnakeThatDoesNotGrowAlwaysEndsInItsTailPicture)
{
    TestGame g(30, 10, 5);
    Bot bot(9, 0.1);
    GameState& s = g.s();
    int checked = 0, bends = 0, straight = 0, growing = 0;
    int lengthBefore = 0;
    TCellPos standing{-1, -1};  // the cell just ahead of the last one, in the last growth tick
    int standingPicture = -1;
    const auto beforeTick = [&] {
        g.clearItems();
        if (s.SnakeLast < 20 && s.PendingGrowth == 0)
            s.PendingGrowth = 25;
        lengthBefore = s.SnakeLast;
    };
    const auto heldTwice = [&](TCellPos c, int skip) {
        for (int i = 0; i < s.SnakeLast; ++i)
            if (i != skip && s.SnakeBody[static_cast<size_t>(i)] == c)
                return true;
        return false;
    };
    playBot(g, bot, 20000, beforeTick, [&](long long ticks) {
        if (s.Seq == Sequence::None && s.SnakeLast == lengthBefore + 1 && lengthBefore >= 3) {
            // A growth tick: the last cell is the one just left, and shows the floor; the
            // picture ahead of it is where the previous growth tick left it.
            const TCellPos last = s.SnakeBody[static_cast<size_t>(s.SnakeLast)];
            const TCellPos ahead = s.SnakeBody[static_cast<size_t>(s.SnakeLast - 1)];
            if (!heldTwice(last, -1)) {
                EXPECT_EQ(g.tileAtCell(last.X, last.Y), tile::Floor) << "tick " << ticks;
                ++growing;
            }
            const int picture = g.tileAtCell(ahead.X, ahead.Y);
            if (standing.X >= 0 && !heldTwice(ahead, s.SnakeLast - 1)) {
                EXPECT_EQ(ahead, standing) << "tick " << ticks << ": the end of the snake moved while it grew";
                EXPECT_EQ(picture, standingPicture) << "tick " << ticks << ": its picture changed";
            }
            standing = ahead;
            standingPicture = picture;
        } else {
            standing = {-1, -1};
        }
        // Still growing, or the growth's last corners not yet passed by the tail.
        straight = s.PendingGrowth != 0 ? 0 : straight + 1;
        if (s.Seq != Sequence::None || straight < s.SnakeLast + 2)
            return true;
        const TCellPos tail = s.SnakeBody[static_cast<size_t>(s.SnakeLast)];
        const int shown = g.tileAtCell(tail.X, tail.Y);
        EXPECT_TRUE(shown >= tile::TailBase && shown <= tile::TailBase + 3)
            << "tick " << ticks << ": tile " << shown << " at the tail";
        ++checked;
        const int before = s.SegmentShape[static_cast<size_t>(s.SnakeLast - 1)];
        bends += before >= 4 && before <= 7;
        return shown >= tile::TailBase && shown <= tile::TailBase + 3;
    }, [&] { straight = 0; });
    EXPECT_GT(checked, 500);
    EXPECT_GT(bends, 20) << "ticks with a corner just ahead of the tail";
    EXPECT_GT(growing, 500) << "growth ticks checked";
}

TEST(FieldDrawing, DrawingOffThePictureIsClipped)
{
    TestGame g(20);
    const QImage before = g.game->canvas().image().copy();
    g.game->canvas().drawTile(-18, -18, tile::Block);
    g.game->canvas().drawTile(5000, 5000, tile::Block);
    g.game->canvas().drawTile(0, 0, 99);
    EXPECT_EQ(g.game->canvas().image(), before);
    // Columns whose pixel position passes 2^32 once came round onto the field; a level
    // pack can ask for them.
    const int cell = g.game->canvas().cellSize();
    const int wraps = static_cast<int>((1LL << 32) / cell + 1);
    g.game->canvas().drawTile(wraps, 3, tile::Block);
    g.game->canvas().drawTile(3, wraps, tile::Block);
    g.game->canvas().drawTile(-wraps, 3, tile::Block);
    EXPECT_EQ(g.game->canvas().image(), before);
}

TEST(FieldDrawing, APackWallFarOffTheFieldDrawsNothing)
{
    // Fractions that put the cells past 2^31 pixels on any skin.
    QTemporaryDir dir;
    const QString pack = dir.filePath("far.lev");
    QFile f(pack);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Level1]\nNumBase=2\nBasePosX1=9.9e8\nBasePosY1=0.5\nBasePosX2=-1e300\nBasePosY2=0.25\n"
            "NumLine=1\nLineType1=H\nLineBeg1=1\nLineEnd1=2\nLineStepX1=1\nLineStepY1=2000000000\n");
    f.close();
    TestGame g(20);
    TestGame plain(20);
    g.s().LevelPackFile = pack;
    g.s().Level = 1;
    plain.s().Level = 1;
    g.game->StartAttempt();
    plain.game->StartAttempt();
    EXPECT_EQ(g.game->canvas().image(), plain.game->canvas().image());
}

}  // namespace
}  // namespace kestrum::test
