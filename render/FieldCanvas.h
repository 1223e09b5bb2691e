// The field picture: one persistent image that everything is drawn onto, cell by cell,
// with a record of the rectangle changed since the screen last caught up.
#pragma once

#include "Skin.h"
#include "core/GameTypes.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <array>
#include <cstdint>
#include <unordered_map>

namespace kestrum {

class FieldCanvas {
public:
    // The image fills the window's client area left of the side panel.
    void resize(int width, int height);

    // Field geometry from the cell size: FieldSize = height div size, the square centred
    // horizontally in the image. Called by the field build.
    void setGeometry(int cellSize);
    void setPictures(const CellPictures* pictures) { pictures_ = pictures; }

    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    int cellSize() const { return cellSize_; }
    int fieldSize() const { return fieldSize_; }
    int fieldLeft() const { return fieldLeft_; }

    // Top-left pixel of a cell; cells far off the picture are held far off it, without
    // overflow.
    QPoint cellOrigin(int x, int y) const;
    QRect cellRect(int x, int y) const { return {cellOrigin(x, y), QSize(cellSize_, cellSize_)}; }

    // A cell picture unscaled at the cell's origin; cells off the field are not drawn.
    void drawTile(int x, int y, int tileNumber);
    void drawTile(TCellPos c, int tileNumber) { drawTile(c.X, c.Y, tileNumber); }
    // A cell picture stretched into r (right and bottom edges exclusive).
    void drawTileScaled(const QRect& r, int tileNumber);
    // Whole-image operations of the game-over scroll.
    void fill(QRgb colour);
    void drawImage(QPoint at, const QImage& picture);
    void drawText(const QString& text, const QString& family, int pointSize, bool shadowed);

    // Background picture side by side from (0, 0), over the whole image.
    void drawBackground(const QImage& background);
    // Floor on the inner cells, border pieces on the ring.
    void drawField();

    // The area changed since the last call, and forget it.
    QRegion takeDirty();
    void markDirty(const QRect& r);

private:
    void blit(const QImage& picture, QPoint at);
    // The whole image changed: one rectangle instead of whatever was recorded.
    void markAllDirty();
    const QImage& scaledTile(int tileNumber, QSize size);

    // A tick changes a few cells far apart (head, tail, a food): they are kept as separate
    // rectangles so that the screen repaints those cells only. Past this many they merge.
    static constexpr int kDirtyRects = 32;  // 24 animations and a few cells more

    QImage image_;
    const CellPictures* pictures_ = nullptr;
    int cellSize_ = 0;
    int fieldSize_ = 0;
    int fieldLeft_ = 0;
    std::array<QRect, kDirtyRects> dirty_{};
    int dirtyCount_ = 0;
    // Tiles scaled to the sizes the animations and death frames ask for, made once each.
    struct Scaled {
        qint64 source = 0;  // cacheKey of the tile it was made from
        QImage picture;
    };
    std::unordered_map<uint64_t, Scaled> scaled_;
};

}  // namespace kestrum
