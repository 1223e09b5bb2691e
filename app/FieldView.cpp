#include "FieldView.h"

#include "X11FieldOutput.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>

#include <algorithm>

namespace kestrum {

FieldView::FieldView(QWidget* parent, const QImage& image) : QWidget(parent), image_(image)
{
    setObjectName(QStringLiteral("field"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

FieldView::~FieldView() = default;

void FieldView::takeOwnWindow()
{
    // The X window takes the picture's pixels as they are: only where a logical pixel is a
    // device pixel. A scaled screen keeps Qt's painting, which scales the tiles.
    if (direct_ || devicePixelRatioF() != 1.0 || !X11FieldOutput::available())
        return;
    direct_ = true;
    // Until the field's own window is filled the parent's picture of it stays there.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NativeWindow);
    output_ = X11FieldOutput::create(this);
    if (!output_) {
        direct_ = false;
        setAttribute(Qt::WA_PaintOnScreen, false);
    }
    update();
}

QPaintEngine* FieldView::paintEngine() const { return direct_ ? nullptr : QWidget::paintEngine(); }

void FieldView::setNotice(const QString& text, QPoint centre)
{
    const QRect old = noticeRect_;
    noticeText_ = text;
    noticeRect_ = QRect();
    noticeImage_ = QImage();
    if (!text.isEmpty() && width() > 0) {
        // Bold, a size that suits the field, smaller where a long text would not fit.
        QFont font(QStringLiteral("Arial"));
        font.setBold(true);
        const int room = std::max(1, std::min(2 * centre.x(), 2 * (width() - centre.x())) - 16);
        int size = std::clamp(image_.height() / 24, 12, 28);
        font.setPixelSize(size);
        while (size > 8 && QFontMetrics(font).horizontalAdvance(text) > room - size) {
            font.setPixelSize(--size);
        }
        const QFontMetrics metrics(font);
        const QSize box(std::min(metrics.horizontalAdvance(text) + size, room), metrics.height() + size / 2);
        noticeRect_ = QRect(QPoint(centre.x() - box.width() / 2, centre.y() - box.height() / 2), box);
        // Drawn at the screen's own resolution: text stays sharp on a scaled screen.
        const qreal ratio = devicePixelRatioF();
        noticeImage_ = QImage(box * ratio, QImage::Format_ARGB32_Premultiplied);
        noticeImage_.setDevicePixelRatio(ratio);
        noticeImage_.fill(Qt::transparent);
        // Lime letters in a dark outline, no box: they read on any skin, and the cells
        // between the letters stay in sight.
        QPainterPath path;
        path.addText(0, 0, font, text);
        const QRectF bounds = path.boundingRect();
        path.translate(QPointF(box.width() - bounds.width(), box.height() - bounds.height()) / 2 - bounds.topLeft());
        QPainter p(&noticeImage_);
        p.setRenderHint(QPainter::Antialiasing);
        p.strokePath(path, QPen(QColor(0, 0, 0, 220), std::max(3.0, size / 6.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.fillPath(path, QColor(0, 255, 0));
    }
    update(QRegion(old) + QRegion(noticeRect_));
}

QImage FieldView::noticeOverPicture() const
{
    QImage part = image_.copy(noticeRect_);
    QPainter p(&part);
    p.drawImage(0, 0, noticeImage_);
    return part;
}

void FieldView::paintEvent(QPaintEvent* event)
{
    const QRegion covered = noticeRect_.isEmpty() ? QRegion() : event->region() & noticeRect_;
    const QRegion bare = event->region() - covered;
    if (direct_) {
        // Put once the window can be seen: its exposure asks for the whole field anyway.
        if (windowHandle() && windowHandle()->isExposed()) {
            output_->put(image_, bare);
            if (!covered.isEmpty())
                output_->put(noticeOverPicture(), covered, noticeRect_.topLeft());
        }
        return;
    }
    QPainter p(this);
    // Only the changed cells: a tick touches a few cells in different corners. On a scaled
    // screen the tiles grow pixel for pixel (no smoothing), as sharp as the skin is.
    for (const QRect& r : event->region())
        p.drawImage(r.topLeft(), image_, r);
    if (!covered.isEmpty()) {
        p.setClipRegion(covered);
        p.drawImage(noticeRect_.topLeft(), noticeImage_);
        p.setClipping(false);
    }
    // Outside the picture (before the first build) stays black.
    const QRegion outside = event->region() - QRegion(image_.rect());
    for (const QRect& o : outside)
        p.fillRect(o, Qt::black);
    if (!painted_ && !image_.isNull()) {
        painted_ = true;
        if (onFirstPaint)
            onFirstPaint();
    }
}

void FieldView::keyPressEvent(QKeyEvent* event)
{
    if (onKey)
        onKey(event);
}

}  // namespace kestrum
