// Skins: a bitmap strip of square tiles, cut into the 31 cell pictures.
#pragma once

#include "core/GameTypes.h"

#include <QImage>
#include <QString>
#include <array>

namespace kestrum {

// Smallest field the levels are laid out for; a skin whose cells give fewer is refused.
inline constexpr int kMinFieldSize = 10;
// Smallest cell a skin may have: below it the pictures cannot be told apart.
inline constexpr int kMinCellSize = 4;
// Largest picture decoded: a skin of 256-pixel cells is some 2 million pixels.
inline constexpr qint64 kMaxBitmapPixels = 16 << 20;

// The 31 opaque cell pictures of one skin, all CellSize x CellSize.
class CellPictures {
public:
    // Cuts tile i from x = i * (size + 1); tiles past the strip's right edge come out black.
    static CellPictures fromStrip(const QImage& strip);

    bool isEmpty() const { return cellSize_ <= 0; }
    int cellSize() const { return cellSize_; }
    // Out-of-range numbers give a null image, which draws nothing.
    const QImage& tile(int i) const;
    void clear();

private:
    std::array<QImage, kTileCount> tiles_{};
    int cellSize_ = 0;
};

// Reads a picture as a Windows bitmap whatever its name says: a regular file within its
// limit, of at most kMaxBitmapPixels pixels. On failure returns a null image and puts the
// message for the player into *error.
QImage loadBitmap(const QString& path, QString* error);

// Checks that a strip can serve as a skin on an image of fieldHeight pixels: all 31 tiles,
// cells of at least kMinCellSize pixels, a field of at least kMinFieldSize cells. Returns
// an empty text when it can, else the message for the player.
QString skinProblem(const QImage& strip, int fieldHeight, const QString& path);

// The field setup dialog's preview of a skin: a strip of floor three cells wide and ten
// high around the centre, with a short snake heading up to an apple and a pear behind it.
// Tiles are copied unscaled and cut off at the picture's edges; cells so large that the
// apple or the pear would be cut off are scaled down until all ten rows fit.
QImage paintSkinPreview(const QImage& strip, int width, int height);

}  // namespace kestrum
