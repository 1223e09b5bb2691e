#include "TestSupport.h"

#include <QPainter>

namespace kestrum::test {

QRgb tileColour(int t)
{
    // Far apart on all three channels, never black and never the background.
    return qRgb(40 + (t * 67) % 200, 30 + (t * 113) % 210, 50 + (t * 29) % 190);
}

QImage solidSkin(int cellSize, int tiles)
{
    QImage strip(tiles * (cellSize + 1) - 1, cellSize, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter p(&strip);
    for (int t = 0; t < tiles; ++t)
        p.fillRect(t * (cellSize + 1), 0, cellSize, cellSize, QColor::fromRgb(tileColour(t)));
    return strip;
}

QImage solidBackground()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(kBackgroundColour);
    return image;
}

int tileAt(const QImage& image, QPoint pixel)
{
    if (!image.rect().contains(pixel))
        return -1;
    const QRgb c = image.pixel(pixel) | 0xFF000000;
    if (c == kBackgroundColour)
        return -2;
    for (int t = 0; t < kTileCount; ++t)
        if (c == (tileColour(t) | 0xFF000000))
            return t;
    return -1;
}

TestGame::TestGame(int fieldSize, int cellSize, uint64_t seed, int level) : random(seed)
{
    game = std::make_unique<Game>(host, random);
    // A field image exactly fieldSize cells high, with margins left and right.
    game->canvas().resize(fieldSize * cellSize + 40, fieldSize * cellSize);
    game->state().Level = level;
    game->BuildField(solidSkin(cellSize));
}

int TestGame::tileAtCell(int x, int y) const
{
    const FieldCanvas& c = game->canvas();
    return tileAt(c.image(), c.cellOrigin(x, y) + QPoint(c.cellSize() / 2, c.cellSize() / 2));
}

void TestGame::clearItems()
{
    GameState& st = game->state();
    for (int i = 0; i < st.FoodCount; ++i)
        game->canvas().drawTile(st.FoodList[static_cast<size_t>(i)], tile::Floor);
    st.FoodCount = 0;
    st.FoodDueTick = -1;
    for (TItemState* it : {&st.Death, &st.Life, &st.Shot, &st.Drug}) {
        if (it->Present)
            game->canvas().drawTile(it->Pos, tile::Floor);
        *it = TItemState{{0, 0}, false, -1};
    }
    game->ClearCellAnimations();
}

}  // namespace kestrum::test
