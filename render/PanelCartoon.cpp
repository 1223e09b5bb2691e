#include "PanelCartoon.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace kestrum {

namespace {

void paintApple(QPainter& p, QPointF c, qreal r, qreal bite)
{
    QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.4), r * 1.3);
    g.setColorAt(0, QColor(255, 150, 130));
    g.setColorAt(0.35, QColor(222, 36, 36));
    g.setColorAt(1, QColor(110, 8, 12));
    QPainterPath apple;
    apple.addEllipse(c, r, r * 0.95);
    if (bite > 0) {
        QPainterPath mouth;
        mouth.addEllipse(c + QPointF(-r * 1.1, 0), r * bite, r * bite);
        apple = apple.subtracted(mouth);
    }
    p.fillPath(apple, g);
    p.setPen(QPen(QColor(90, 55, 25), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(0, -r * 0.9), c + QPointF(r * 0.15, -r * 1.35));
    QPainterPath leaf;
    leaf.moveTo(c + QPointF(r * 0.15, -r * 1.15));
    leaf.quadTo(c + QPointF(r * 0.7, -r * 1.6), c + QPointF(r * 1.05, -r * 1.2));
    leaf.quadTo(c + QPointF(r * 0.6, -r * 0.9), c + QPointF(r * 0.15, -r * 1.15));
    p.fillPath(leaf, QColor(80, 190, 70));
}

void paintSnake(QPainter& p, qreal headX, qreal phase, qreal jaw)
{
    // The body follows a travelling wave behind the head.
    const int pieces = 14;
    for (int i = pieces; i >= 0; --i) {
        const qreal x = headX - i * 2.6;
        const qreal y = 62 + 9 * std::sin(phase - i * 0.42) * (i / qreal(pieces));
        const qreal r = 7.5 - i * 0.2;
        QRadialGradient g(QPointF(x - r * 0.3, y - r * 0.4), r * 1.4);
        g.setColorAt(0, QColor(190, 250, 140));
        g.setColorAt(0.5, QColor(72, 170, 60));
        g.setColorAt(1, QColor(22, 80, 30));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(QPointF(x, y), r, r);
    }
    const QPointF head(headX + 4, 62);
    QRadialGradient g(head + QPointF(-2, -4), 14);
    g.setColorAt(0, QColor(190, 250, 140));
    g.setColorAt(0.55, QColor(72, 170, 60));
    g.setColorAt(1, QColor(22, 80, 30));
    p.setBrush(g);
    // Upper and lower jaw open by the angle jaw (degrees).
    p.drawPie(QRectF(head.x() - 11, head.y() - 10, 22, 20), int((jaw / 2) * 16), int((360 - jaw) * 16));
    p.setBrush(QColor(255, 226, 80));
    p.drawEllipse(head + QPointF(1, -6), 3.2, 3.2);
    p.setBrush(Qt::black);
    p.drawEllipse(head + QPointF(2, -6), 1.5, 1.9);
}

}  // namespace

std::vector<QImage> paintPanelCartoon()
{
    std::vector<QImage> frames;
    for (int k = 0; k < kCartoonFrames; ++k)
        frames.push_back(paintPanelCartoonFrame(k));
    return frames;
}

QImage paintPanelCartoonFrame(int k)
{
    QImage img(kCartoonSize, kCartoonSize, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal t = k / qreal(kCartoonFrames - 1);
        const qreal headX = 42 + t * 32;
        const qreal jaw = k < 6 ? 10 + k * 12 : (k < 8 ? 80 - (k - 5) * 35 : 8);
        const qreal bite = k >= 7 ? 0.45 + (k - 7) * 0.35 : 0;
        if (k < 10)
            paintApple(p, QPointF(84, 60), 11, bite);
        paintSnake(p, headX, t * 6.0, jaw);
        if (k >= 8) {
            // Sparkles of a good catch.
            p.setPen(QPen(QColor(255, 240, 120), 2, Qt::SolidLine, Qt::RoundCap));
            const QPointF c(80, 40);
            for (int i = 0; i < 8; ++i) {
                const qreal a = i * M_PI / 4;
                const qreal r0 = 6 + (k - 8) * 6, r1 = r0 + 6;
                p.drawLine(c + QPointF(std::cos(a) * r0, std::sin(a) * r0),
                           c + QPointF(std::cos(a) * r1, std::sin(a) * r1));
            }
        }
    }  // the painter ends before the picture is handed on
    return img;
}

}  // namespace kestrum
