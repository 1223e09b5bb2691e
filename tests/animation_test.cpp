// Cell animations: the six styles frame by frame, pausing under the body, the 24 slots.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kestrum::test {
namespace {

// The extent of one tile's colour inside a cell: the bounding box, cell-relative.
QRect tileExtent(const TestGame& g, int x, int y, int t)
{
    const FieldCanvas& c = g.game->canvas();
    const QPoint o = c.cellOrigin(x, y);
    QRect box;
    for (int dy = 0; dy < c.cellSize(); ++dy)
        for (int dx = 0; dx < c.cellSize(); ++dx)
            if (tileAt(c.image(), o + QPoint(dx, dy)) == t)
                box |= QRect(dx, dy, 1, 1);
    return box;
}

struct AnimatedCell : TestGame {
    AnimatedCell() : TestGame(20, 22, 4)
    {
        clearItems();
        game->flush();
    }
};

TEST(CellAnimation, StylesGrowFrameByFrameOnA22PixelCell)
{
    // g for 10 steps of a 22-pixel cell: 1, 3, 5, 7, 10, 12, 14, 16, 18, 21, 23; the
    // last of the edge styles stays inside the cell.
    const int g[] = {1, 3, 5, 7, 10, 12, 14, 16, 18, 21, 23};
    for (int style = 1; style <= 5; ++style) {
        SCOPED_TRACE(style);
        AnimatedCell a;
        a.game->StartCellAnimation(5, 5, tile::Food, style, 10);
        EXPECT_TRUE(a.host.animator);
        for (int frame = 0; frame < 11; ++frame) {
            a.game->animationStep();
            const QRect box = tileExtent(a, 5, 5, tile::Food);
            const int size = std::min(g[frame], 22);
            const int h = g[frame] / 2;
            switch (style) {
            case 1: EXPECT_EQ(box, h ? QRect(11 - h, 11 - h, 2 * h, 2 * h) : QRect()); break;
            case 2: EXPECT_EQ(box, QRect(0, 22 - size, 22, size)); break;
            case 3: EXPECT_EQ(box, QRect(0, 0, 22, size)); break;
            case 4: EXPECT_EQ(box, QRect(0, 0, size, 22)); break;
            case 5: EXPECT_EQ(box, QRect(22 - size, 0, size, 22)); break;
            }
            // Never a pixel outside the cell.
            EXPECT_EQ(a.tileAtCell(5, 4), tile::Floor);
            EXPECT_EQ(a.tileAtCell(6, 5), tile::Floor);
        }
        // The twelfth tick ends it; the timer stops with the last animation.
        a.game->animationStep();
        EXPECT_EQ(a.s().ActiveAnimations, 0);
        EXPECT_FALSE(a.host.animator);
        EXPECT_EQ(a.tileAtCell(5, 5), tile::Food);
    }
}

TEST(CellAnimation, StyleZeroShrinksToTheFloor)
{
    AnimatedCell a;
    a.game->canvas().drawTile(5, 5, tile::Pear);
    a.game->StartCellAnimation(5, 5, tile::Pear, 0, 8);
    // g = trunc(s * 22 / 8) - 1 is 1, 4, 7, 10, 12, 15, 18, 21, 23, so the half-sides
    // lo - g div 2 for steps 1 .. 9 are 11, 9, 8, 6, 5, 4, 2, 1 and 0.
    const int half[] = {11, 9, 8, 6, 5, 4, 2, 1, 0};
    for (int frame = 0; frame < 9; ++frame) {
        a.game->animationStep();
        const QRect box = tileExtent(a, 5, 5, tile::Pear);
        const int s = half[frame];
        EXPECT_EQ(box, s ? QRect(11 - s, 11 - s, 2 * s, 2 * s) : QRect()) << frame;
    }
    EXPECT_EQ(a.tileAtCell(5, 5), tile::Floor);
}

TEST(CellAnimation, PausesWhileTheBodyCoversTheCell)
{
    AnimatedCell a;
    GameState& s = a.s();
    a.game->StartCellAnimation(10, 17, tile::Food, 1, 10);  // under the snake's body
    for (int i = 0; i < 5; ++i)
        a.game->animationStep();
    EXPECT_EQ(s.CellAnimations[0].Step, 0);
    EXPECT_EQ(a.tileAtCell(10, 17), tile::BodyBase + dirUp);
    // Once the tail has left the cell the remaining frames are drawn.
    a.game->keyDown(37);
    a.tick(3);
    ASSERT_NE(s.SnakeBody[1], (TCellPos{10, 17}));
    for (int i = 0; i < 11; ++i)
        a.game->animationStep();
    EXPECT_EQ(s.CellAnimations[0].Step, 11);
    EXPECT_EQ(a.tileAtCell(10, 17), tile::Food);
}

TEST(CellAnimation, TheHeadsCellDoesNotPauseIt)
{
    AnimatedCell a;
    a.game->StartCellAnimation(10, 16, tile::Food, 1, 10);
    a.game->animationStep();
    EXPECT_EQ(a.s().CellAnimations[0].Step, 1);
}

TEST(CellAnimation, ATwentyFifthRequestIsDropped)
{
    AnimatedCell a;
    for (int i = 0; i < 25; ++i)
        a.game->StartCellAnimation(1 + i % 18, 1 + i / 18, tile::Food, 1, 10);
    EXPECT_EQ(a.s().ActiveAnimations, 24);
    for (int i = 0; i < 12; ++i)
        a.game->animationStep();
    EXPECT_EQ(a.tileAtCell(1 + 23 % 18, 1 + 23 / 18), tile::Food);
    EXPECT_EQ(a.tileAtCell(1 + 24 % 18, 1 + 24 / 18), tile::Floor);
    EXPECT_EQ(a.s().ActiveAnimations, 0);
}

TEST(CellAnimation, DrawFieldDropsRunningAnimations)
{
    AnimatedCell a;
    a.game->StartCellAnimation(3, 3, tile::Food, 1, 10);
    a.game->StartCellAnimation(4, 4, tile::Scissors, 2, 15);
    for (int i = 0; i < 6; ++i)
        a.game->animationStep();
    a.game->DrawField();
    EXPECT_EQ(a.s().ActiveAnimations, 0);
    EXPECT_FALSE(a.host.animator);
    a.game->animationStep();
    EXPECT_EQ(a.tileAtCell(3, 3), tile::Floor);
    EXPECT_EQ(a.tileAtCell(4, 4), tile::Floor);
}

TEST(CellAnimation, AnUnknownStyleRunsItsStepsAndDrawsNothing)
{
    AnimatedCell a;
    a.game->StartCellAnimation(3, 3, tile::Food, 9, 4);
    for (int i = 0; i < 5; ++i)
        a.game->animationStep();
    EXPECT_EQ(a.s().CellAnimations[0].Step, 5);
    EXPECT_EQ(a.tileAtCell(3, 3), tile::Floor);
    a.game->animationStep();
    EXPECT_FALSE(a.s().CellAnimations[0].Active);
}

TEST(CellAnimation, EachFrameRepaintsOnlyItsCell)
{
    AnimatedCell a;
    a.game->StartCellAnimation(3, 3, tile::Food, 1, 10);
    a.game->StartCellAnimation(15, 12, tile::Food, 1, 10);
    for (int i = 0; i < 3; ++i)
        a.game->animationStep();
    a.host.repaints.clear();
    a.game->animationStep();
    // One screen update a step, made of the two cells and nothing between them.
    ASSERT_EQ(a.host.repaints.size(), 1u);
    const QRegion& r = a.host.repaints.front();
    EXPECT_EQ(r.rectCount(), 2);
    for (const QRect& part : r)
        EXPECT_LE(part.width() * part.height(), 22 * 22);
    EXPECT_TRUE(r.boundingRect().contains(a.game->canvas().cellRect(3, 3).center()));
    EXPECT_TRUE(r.boundingRect().contains(a.game->canvas().cellRect(15, 12).center()));
    // Idle, the animator asks for nothing.
    for (int i = 0; i < 20; ++i)
        a.game->animationStep();
    a.host.repaints.clear();
    a.game->animationStep();
    EXPECT_TRUE(a.host.repaints.empty());
    EXPECT_FALSE(a.host.animator);
}

}  // namespace
}  // namespace kestrum::test
