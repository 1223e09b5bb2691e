#include "Skin.h"

#include "files/RegularFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

namespace kestrum {

CellPictures CellPictures::fromStrip(const QImage& strip)
{
    CellPictures pictures;
    const int size = strip.height();
    if (size <= 0)
        return pictures;
    const QImage source = strip.convertToFormat(QImage::Format_RGB32);
    pictures.cellSize_ = size;
    for (int i = 0; i < kTileCount; ++i) {
        QImage cell(size, size, QImage::Format_RGB32);
        cell.fill(Qt::black);
        const int x0 = i * (size + 1);
        const int width = std::min(size, source.width() - x0);
        for (int y = 0; y < size && width > 0; ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y)) + x0;
            std::copy(from, from + width, reinterpret_cast<QRgb*>(cell.scanLine(y)));
        }
        pictures.tiles_[static_cast<size_t>(i)] = std::move(cell);
    }
    return pictures;
}

const QImage& CellPictures::tile(int i) const
{
    static const QImage none;
    if (i < 0 || i >= kTileCount)
        return none;
    return tiles_[static_cast<size_t>(i)];
}

void CellPictures::clear()
{
    for (auto& t : tiles_)
        t = QImage();
    cellSize_ = 0;
}

namespace {

uint32_t littleEndian(const QByteArray& bytes, int at, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

// False when an uncompressed Windows bitmap holds fewer pixel bytes than its header says:
// a file cut short, whose missing rows the decoder would fill with black.
bool pixelsAreWhole(const QByteArray& bytes)
{
    if (bytes.size() < 26 || !bytes.startsWith("BM"))
        return true;  // not for this check to judge: the decoder refuses it
    const uint32_t pixelsAt = littleEndian(bytes, 10, 4);
    const uint32_t headerSize = littleEndian(bytes, 14, 4);
    int64_t width = 0, height = 0;
    uint32_t bits = 0, compression = 0;
    if (headerSize == 12) {  // the oldest header, 16-bit sizes
        width = littleEndian(bytes, 18, 2);
        height = littleEndian(bytes, 20, 2);
        bits = littleEndian(bytes, 24, 2);
    } else if (headerSize >= 40 && bytes.size() >= 34) {
        width = static_cast<int32_t>(littleEndian(bytes, 18, 4));
        height = static_cast<int32_t>(littleEndian(bytes, 22, 4));
        bits = littleEndian(bytes, 28, 2);
        compression = littleEndian(bytes, 30, 4);
    } else {
        return true;
    }
    // Only rows of fixed length can be counted: no run-length coding.
    if (compression != 0 && compression != 3)
        return true;
    const int64_t rowBytes = (std::abs(width) * bits + 31) / 32 * 4;
    return static_cast<int64_t>(pixelsAt) + rowBytes * std::abs(height) <= bytes.size();
}

}  // namespace

QImage loadBitmap(const QString& path, QString* error)
{
    std::optional<QByteArray> bytes = readRegularFile(path, limits::kBitmap, error);
    if (!bytes)
        return {};
    if (!pixelsAreWhole(*bytes)) {
        if (error)
            *error = QStringLiteral("Cannot open file %1").arg(QFileInfo(path).absoluteFilePath());
        return {};
    }
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    // The header tells the size before any pixel is decoded.
    const QSize size = reader.size();
    QImage image;
    if (size.isValid() && static_cast<qint64>(size.width()) * size.height() <= kMaxBitmapPixels)
        image = reader.read();
    if (image.isNull() && error)
        *error = QStringLiteral("Cannot open file %1").arg(QFileInfo(path).absoluteFilePath());
    return image;
}

QString skinProblem(const QImage& strip, int fieldHeight, const QString& path)
{
    if (strip.isNull() || strip.height() <= 0)
        return QStringLiteral("Cannot open file %1").arg(path);
    const int cell = strip.height();
    if (cell < kMinCellSize || strip.width() < kTileCount * (cell + 1) - 1)
        return QStringLiteral("The picture %1 (%2 x %3 pixels) is no skin: a skin is a row of %4 "
                              "square cells of at least %5 pixels, 1 pixel apart. The previous skin "
                              "stays in use.")
            .arg(path)
            .arg(strip.width())
            .arg(cell)
            .arg(kTileCount)
            .arg(kMinCellSize);
    if (fieldHeight / cell < kMinFieldSize)
        return QStringLiteral("The skin %1 has cells of %2 pixels, which would leave fewer than %3 "
                              "cells on this screen. The previous skin stays in use.")
            .arg(path)
            .arg(strip.height())
            .arg(kMinFieldSize);
    return {};
}

QImage paintSkinPreview(const QImage& strip, int W, int H)
{
    QImage preview(W, H, QImage::Format_RGB32);
    preview.fill(Qt::black);
    const CellPictures cells = CellPictures::fromStrip(strip);
    if (cells.isEmpty())
        return preview;
    const int h = cells.cellSize();
    // The strip of floor, three cells by ten, with the apple, the snake and the pear.
    QImage scene(3 * h, 10 * h, QImage::Format_RGB32);
    {
        QPainter p(&scene);
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawImage(c * h, r * h, cells.tile(tile::Floor));
        const std::pair<int, int> pieces[] = {{tile::Food, 1},     {tile::HeadBase, 3}, {tile::BodyBase, 4},
                                              {tile::BodyBase, 5}, {tile::TailBase, 6}, {tile::Pear, 8}};
        for (const auto& [t, row] : pieces)
            p.drawImage(h, row * h, cells.tile(t));
    }
    QPainter p(&preview);
    // Copied unscaled around the centre and cut at the edges, as long as the apple and the
    // pear stay in sight; cells too large for that are scaled down to show all ten rows.
    if (8 * h <= H) {
        p.drawImage(W / 2 - 3 * (h / 2), H / 2 - 5 * h, scene);
    } else {
        const QSize fitted = scene.size().scaled(W * 4, H, Qt::KeepAspectRatio);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(QPoint((W - fitted.width()) / 2, (H - fitted.height()) / 2), fitted), scene);
    }
    return preview;
}

}  // namespace kestrum
