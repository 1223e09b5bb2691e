#include "FieldCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

namespace kestrum {

namespace {

// The field picture is written whole before its first frame. Taken in 2 MiB pages where
// the system allows, it is mapped in a few faults instead of hundreds, which on a virtual
// machine saves several milliseconds of the start-up.
QImage fieldImage(int width, int height)
{
    constexpr size_t kHugePage = size_t{2} << 20;
    const qsizetype bytesPerLine = static_cast<qsizetype>(width) * 4;
    const size_t bytes = static_cast<size_t>(bytesPerLine) * static_cast<size_t>(height);
    void* buffer = nullptr;
    if (bytes >= kHugePage && posix_memalign(&buffer, kHugePage, bytes) == 0) {
        madvise(buffer, bytes, MADV_HUGEPAGE);
        return QImage(static_cast<uchar*>(buffer), width, height, bytesPerLine, QImage::Format_RGB32,
                      [](void* data) { std::free(data); }, buffer);
    }
    return QImage(width, height, QImage::Format_RGB32);
}

}  // namespace

void FieldCanvas::resize(int width, int height)
{
    image_ = fieldImage(std::max(width, 0), std::max(height, 0));
    image_.fill(Qt::black);
    markAllDirty();
}

void FieldCanvas::setGeometry(int cellSize)
{
    cellSize_ = std::max(cellSize, 1);
    const int rows = image_.height() / cellSize_;
    fieldSize_ = std::min(rows, kMaxFieldSize);
    // A field held to the largest size stands at the top, centred across.
    const int side = fieldSize_ < rows ? fieldSize_ * cellSize_ : image_.height();
    fieldLeft_ = image_.width() / 2 - side / 2;
}

// Row copies instead of a painter: the tick draws a handful of cells and this keeps it
// to a few hundred nanoseconds each.
void FieldCanvas::blit(const QImage& picture, QPoint at)
{
    if (picture.isNull() || image_.isNull())
        return;
    const QRect target = QRect(at, picture.size()).intersected(image_.rect());
    if (target.isEmpty())
        return;
    const int sx = target.x() - at.x();
    const int sy = target.y() - at.y();
    // The rows are reached from the first one: scanLine() would check for sharing on
    // every row.
    const qsizetype fromStride = picture.bytesPerLine();
    const qsizetype toStride = image_.bytesPerLine();
    const uchar* fromRow = picture.constScanLine(sy) + sx * static_cast<qsizetype>(sizeof(QRgb));
    uchar* toRow = image_.scanLine(target.y()) + target.x() * static_cast<qsizetype>(sizeof(QRgb));
    const size_t rowBytes = static_cast<size_t>(target.width()) * sizeof(QRgb);
    for (int row = 0; row < target.height(); ++row) {
        std::memcpy(toRow, fromRow, rowBytes);
        fromRow += fromStride;
        toRow += toStride;
    }
    markDirty(target);
}

QPoint FieldCanvas::cellOrigin(int x, int y) const
{
    const auto pixel = [](qint64 v) { return static_cast<int>(std::clamp<qint64>(v, -(1 << 30), 1 << 30)); };
    return {pixel(fieldLeft_ + static_cast<qint64>(x) * cellSize_), pixel(static_cast<qint64>(y) * cellSize_)};
}

void FieldCanvas::drawTile(int x, int y, int tileNumber)
{
    if (!pictures_ || x < 0 || y < 0 || x >= fieldSize_ || y >= fieldSize_)
        return;
    blit(pictures_->tile(tileNumber), cellOrigin(x, y));
}

void FieldCanvas::drawTileScaled(const QRect& r, int tileNumber)
{
    if (!pictures_ || r.isEmpty() || image_.isNull())
        return;
    const QImage& picture = pictures_->tile(tileNumber);
    if (picture.isNull())
        return;
    blit(r.size() == picture.size() ? picture : scaledTile(tileNumber, r.size()), r.topLeft());
}

const QImage& FieldCanvas::scaledTile(int tileNumber, QSize size)
{
    const QImage& picture = pictures_->tile(tileNumber);
    const uint64_t key = (static_cast<uint64_t>(tileNumber & 0xFF) << 48) |
                         (static_cast<uint64_t>(size.width() & 0xFFFFFF) << 24) |
                         static_cast<uint64_t>(size.height() & 0xFFFFFF);
    // An entry made from another skin's tile is made again; the sizes the animations
    // ask for are few, so the bound is only a guard.
    if (scaled_.size() > 4096)
        scaled_.clear();
    Scaled& entry = scaled_[key];
    if (entry.source != picture.cacheKey() || entry.picture.isNull()) {
        entry.source = picture.cacheKey();
        entry.picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                            .convertToFormat(QImage::Format_RGB32);
    }
    return entry.picture;
}

void FieldCanvas::fill(QRgb colour)
{
    image_.fill(colour);
    markAllDirty();
}

void FieldCanvas::drawImage(QPoint at, const QImage& picture)
{
    const QImage source = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    blit(source, at);
}

void FieldCanvas::drawText(const QString& text, const QString& family, int pointSize, bool shadowed)
{
    if (image_.isNull())
        return;
    QPainter painter(&image_);
    QFont font(family);
    font.setPointSize(pointSize);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QRect box = metrics.boundingRect(text);
    const int x = (image_.width() - metrics.horizontalAdvance(text)) / 2;
    const int y = (image_.height() - metrics.height()) / 2 + metrics.ascent();
    if (shadowed) {
        painter.setPen(QColor(192, 192, 192));
        painter.drawText(x - 1, y - 1, text);
        painter.setPen(QColor(128, 128, 128));
        painter.drawText(x + 1, y + 1, text);
    }
    painter.setPen(QColor(0, 255, 0));
    painter.drawText(x, y, text);
    markDirty(QRect(x - 2, y - metrics.ascent() - 2, box.width() + 6, metrics.height() + 4));
}

void FieldCanvas::drawBackground(const QImage& background)
{
    if (background.isNull() || image_.isNull())
        return;
    const QImage source = background.convertToFormat(QImage::Format_RGB32);
    const int w = source.width();
    const int h = source.height();
    for (int r = 0; r <= image_.height() / h + 1; ++r)
        for (int k = 0; k <= image_.width() / w + 1; ++k)
            blit(source, QPoint(k * w, r * h));
}

void FieldCanvas::drawField()
{
    const int last = fieldSize_ - 1;
    for (int y = 1; y < last; ++y)
        for (int x = 1; x < last; ++x)
            drawTile(x, y, tile::Floor);
    for (int y = 1; y < last; ++y) {
        drawTile(0, y, tile::WallV);
        drawTile(last, y, tile::WallV);
    }
    for (int x = 1; x < last; ++x) {
        drawTile(x, 0, tile::WallH);
        drawTile(x, last, tile::WallH);
    }
    drawTile(0, 0, tile::CornerTL);
    drawTile(0, last, tile::CornerBL);
    drawTile(last, 0, tile::CornerTR);
    drawTile(last, last, tile::CornerBR);
}

void FieldCanvas::markAllDirty()
{
    dirty_[0] = image_.rect();
    dirtyCount_ = image_.isNull() ? 0 : 1;
}

void FieldCanvas::markDirty(const QRect& rect)
{
    const QRect r = rect.intersected(image_.rect());
    if (r.isEmpty())
        return;
    for (int i = 0; i < dirtyCount_; ++i)
        if (dirty_[static_cast<size_t>(i)].contains(r))
            return;
    if (dirtyCount_ < kDirtyRects) {
        dirty_[static_cast<size_t>(dirtyCount_++)] = r;
        return;
    }
    QRect all = r;
    for (const QRect& d : dirty_)
        all |= d;
    dirty_[0] = all;
    dirtyCount_ = 1;
}

QRegion FieldCanvas::takeDirty()
{
    QRegion region;
    for (int i = 0; i < dirtyCount_; ++i)
        region += dirty_[static_cast<size_t>(i)];
    dirtyCount_ = 0;
    return region;
}

}  // namespace kestrum
