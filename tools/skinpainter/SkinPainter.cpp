#include "SkinPainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>

namespace skinpainter {

namespace {

// Cosmetic noise: a fixed hash, so a skin repaints identically every time.
uint32_t hash(uint32_t x, uint32_t y, uint32_t salt)
{
    uint32_t h = x * 374761393u + y * 668265263u + salt * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

QColor shade(const QColor& c, int delta)
{
    return QColor(std::clamp(c.red() + delta, 0, 255), std::clamp(c.green() + delta, 0, 255),
                  std::clamp(c.blue() + delta, 0, 255));
}

// Rotates the painter about the cell centre: 0 up, 1 down, 2 left, 3 right.
void face(QPainter& p, int s, int direction)
{
    static constexpr qreal angles[] = {0, 180, 270, 90};
    p.translate(s / 2.0, s / 2.0);
    p.rotate(angles[direction & 3]);
    p.translate(-s / 2.0, -s / 2.0);
}

void paintFloor(QPainter& p, int s, const Scheme& k, uint32_t salt)
{
    QImage img(s, s, QImage::Format_RGB32);
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            const uint32_t h = hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), salt);
            QColor c = shade(k.floor, static_cast<int>(h % 9) - 4);
            if (h % 37 == 0)
                c = k.floorSpeck;
            if (x == s - 1 || y == s - 1)
                c = k.grid;
            img.setPixelColor(x, y, c);
        }
    p.drawImage(0, 0, img);
}

// Cross-section of a bar: dark at both edges, light along the middle.
template <typename Gradient>
void barStops(Gradient& g, qreal from, qreal to, const QColor& dark, const QColor& mid,
              const QColor& light)
{
    const qreal span = to - from;
    g.setColorAt(from, dark);
    g.setColorAt(from + span * 0.22, mid);
    g.setColorAt(from + span * 0.45, light);
    g.setColorAt(from + span * 0.70, mid);
    g.setColorAt(to, dark);
}

// A straight bar of width w running vertically through the cell.
void verticalBar(QPainter& p, int s, qreal w, const QColor& dark, const QColor& mid,
                 const QColor& light)
{
    const qreal x0 = (s - w) / 2.0;
    QLinearGradient g(x0, 0, x0 + w, 0);
    barStops(g, 0.0, 1.0, dark, mid, light);
    p.fillRect(QRectF(x0, 0, w, s), g);
}

// A quarter ring of width w centred on a cell corner, joining the two sides at that corner.
void cornerBar(QPainter& p, int s, qreal w, QPointF corner, const QColor& dark, const QColor& mid,
               const QColor& light)
{
    const qreal inner = s / 2.0 - w / 2.0;
    const qreal outer = s / 2.0 + w / 2.0;
    QPainterPath ring;
    ring.addEllipse(corner, outer, outer);
    QPainterPath hole;
    hole.addEllipse(corner, inner, inner);
    ring = ring.subtracted(hole).intersected([&] {
        QPainterPath cell;
        cell.addRect(0, 0, s, s);
        return cell;
    }());
    QRadialGradient g(corner, outer);
    barStops(g, inner / outer, 1.0, dark, mid, light);
    p.fillPath(ring, g);
}

QPointF cornerPoint(int s, bool right, bool bottom) { return {right ? qreal(s) : 0.0, bottom ? qreal(s) : 0.0}; }

void paintWall(QPainter& p, int tileNumber, int s, const Scheme& k)
{
    p.fillRect(0, 0, s, s, k.wallBase);
    const qreal w = s * 0.78;
    const auto bar = [&](int direction) {
        p.save();
        face(p, s, direction);
        verticalBar(p, s, w, k.wallDark, k.wallMid, k.wallLight);
        // Joints between the stones of a run.
        p.setPen(QPen(shade(k.wallDark, -20), std::max(1.0, s / 22.0)));
        p.drawLine(QPointF((s - w) / 2 + 1, 0.5), QPointF((s + w) / 2 - 1, 0.5));
        p.restore();
    };
    switch (tileNumber) {
    case 1: bar(3); break;  // horizontal
    case 2: bar(0); break;  // vertical
    case 3: {
        const qreal m = s * 0.08;
        const QRectF r(m, m, s - 2 * m, s - 2 * m);
        QLinearGradient g(r.topLeft(), r.bottomRight());
        g.setColorAt(0, k.wallLight);
        g.setColorAt(0.5, k.wallMid);
        g.setColorAt(1, k.wallDark);
        p.setPen(QPen(shade(k.wallDark, -25), std::max(1.0, s / 20.0)));
        p.setBrush(g);
        p.drawRoundedRect(r, s * 0.14, s * 0.14);
        const QRectF inner = r.adjusted(s * 0.2, s * 0.2, -s * 0.2, -s * 0.2);
        QLinearGradient gi(inner.topLeft(), inner.bottomRight());
        gi.setColorAt(0, k.wallMid);
        gi.setColorAt(1, k.wallLight);
        p.setPen(Qt::NoPen);
        p.setBrush(gi);
        p.drawRoundedRect(inner, s * 0.06, s * 0.06);
        break;
    }
    // Corners as at the field's corners: the ring is centred where its two sides meet.
    case 4: cornerBar(p, s, w, cornerPoint(s, true, false), k.wallDark, k.wallMid, k.wallLight); break;
    case 5: cornerBar(p, s, w, cornerPoint(s, false, false), k.wallDark, k.wallMid, k.wallLight); break;
    case 6: cornerBar(p, s, w, cornerPoint(s, true, true), k.wallDark, k.wallMid, k.wallLight); break;
    case 7: cornerBar(p, s, w, cornerPoint(s, false, true), k.wallDark, k.wallMid, k.wallLight); break;
    default: break;
    }
}

qreal bodyWidth(int s) { return s * 0.70; }

void paintBodyStraight(QPainter& p, int s, int direction, const Scheme& k)
{
    p.save();
    face(p, s, direction);
    verticalBar(p, s, bodyWidth(s), k.snakeDark, k.snakeMid, k.snakeLight);
    // Scales: two soft chevrons pointing the way the snake travels.
    QPen pen(k.snakeMark, std::max(1.0, s / 14.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    const qreal c = s / 2.0;
    const qreal arm = bodyWidth(s) * 0.26;
    for (qreal y : {s * 0.30, s * 0.72}) {
        QPainterPath v;
        v.moveTo(c - arm, y + arm * 0.7);
        v.lineTo(c, y);
        v.lineTo(c + arm, y + arm * 0.7);
        p.drawPath(v);
    }
    p.restore();
}

void paintBodyCorner(QPainter& p, int s, bool right, bool bottom, const Scheme& k)
{
    cornerBar(p, s, bodyWidth(s), cornerPoint(s, right, bottom), k.snakeDark, k.snakeMid,
              k.snakeLight);
}

void paintHead(QPainter& p, int s, int direction, const Scheme& k)
{
    p.save();
    face(p, s, direction);
    const qreal bw = bodyWidth(s);
    const qreal c = s / 2.0;
    // The neck joins the body at the back edge; the head widens and rounds at the front.
    QPainterPath head;
    head.moveTo(c - bw / 2, s);
    head.lineTo(c - bw / 2, s * 0.70);
    head.cubicTo(c - s * 0.47, s * 0.55, c - s * 0.44, s * 0.06, c, s * 0.05);
    head.cubicTo(c + s * 0.44, s * 0.06, c + s * 0.47, s * 0.55, c + bw / 2, s * 0.70);
    head.lineTo(c + bw / 2, s);
    head.closeSubpath();
    QLinearGradient g(c - s * 0.47, 0, c + s * 0.47, 0);
    barStops(g, 0.0, 1.0, k.snakeDark, k.snakeMid, k.snakeLight);
    p.fillPath(head, g);
    // Tongue.
    p.setPen(QPen(QColor(220, 40, 60), std::max(1.0, s / 18.0), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c, s * 0.06), QPointF(c, s * 0.0));
    // Eyes look forward.
    const qreal er = s * 0.12;
    for (qreal ex : {c - s * 0.18, c + s * 0.18}) {
        p.setPen(Qt::NoPen);
        p.setBrush(k.eye);
        p.drawEllipse(QPointF(ex, s * 0.34), er, er);
        p.setBrush(k.pupil);
        p.drawEllipse(QPointF(ex, s * 0.31), er * 0.5, er * 0.6);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(ex - er * 0.25, s * 0.28), er * 0.18, er * 0.18);
    }
    // Nostrils.
    p.setBrush(shade(k.snakeDark, -30));
    p.drawEllipse(QPointF(c - s * 0.07, s * 0.13), s * 0.025, s * 0.02);
    p.drawEllipse(QPointF(c + s * 0.07, s * 0.13), s * 0.025, s * 0.02);
    p.restore();
}

void paintTail(QPainter& p, int s, int direction, const Scheme& k)
{
    p.save();
    face(p, s, direction);
    const qreal bw = bodyWidth(s);
    const qreal c = s / 2.0;
    // Joins the body at the front edge and tapers to a point towards the back.
    QPainterPath tail;
    tail.moveTo(c - bw / 2, 0);
    tail.lineTo(c + bw / 2, 0);
    tail.cubicTo(c + bw / 2, s * 0.45, c + s * 0.08, s * 0.70, c, s * 0.92);
    tail.cubicTo(c - s * 0.08, s * 0.70, c - bw / 2, s * 0.45, c - bw / 2, 0);
    QLinearGradient g(c - bw / 2, 0, c + bw / 2, 0);
    barStops(g, 0.0, 1.0, k.snakeDark, k.snakeMid, k.snakeLight);
    p.fillPath(tail, g);
    p.restore();
}

void paintApple(QPainter& p, int s)
{
    const QPointF c(s * 0.5, s * 0.56);
    const qreal r = s * 0.34;
    QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.4), r * 1.3);
    g.setColorAt(0, QColor(255, 150, 130));
    g.setColorAt(0.35, QColor(222, 36, 36));
    g.setColorAt(1, QColor(110, 8, 12));
    // A round body with a dimple at the stem.
    QPainterPath apple;
    apple.moveTo(c.x(), c.y() - r * 0.78);
    apple.cubicTo(c.x() + r * 0.55, c.y() - r * 1.12, c.x() + r * 1.12, c.y() - r * 0.72, c.x() + r * 1.0, c.y() + r * 0.05);
    apple.cubicTo(c.x() + r * 0.92, c.y() + r * 0.80, c.x() + r * 0.40, c.y() + r * 1.05, c.x(), c.y() + r * 0.92);
    apple.cubicTo(c.x() - r * 0.40, c.y() + r * 1.05, c.x() - r * 0.92, c.y() + r * 0.80, c.x() - r * 1.0, c.y() + r * 0.05);
    apple.cubicTo(c.x() - r * 1.12, c.y() - r * 0.72, c.x() - r * 0.55, c.y() - r * 1.12, c.x(), c.y() - r * 0.78);
    p.fillPath(apple, g);
    p.setPen(QPen(QColor(90, 55, 25), std::max(1.0, s / 14.0), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.5, s * 0.30), QPointF(s * 0.54, s * 0.12));
    QPainterPath leaf;
    leaf.moveTo(s * 0.55, s * 0.20);
    leaf.quadTo(s * 0.72, s * 0.04, s * 0.86, s * 0.14);
    leaf.quadTo(s * 0.70, s * 0.28, s * 0.55, s * 0.20);
    p.fillPath(leaf, QColor(80, 190, 70));
}

void paintPear(QPainter& p, int s)
{
    QPainterPath pear;
    pear.addEllipse(QPointF(s * 0.5, s * 0.64), s * 0.30, s * 0.28);
    pear.addEllipse(QPointF(s * 0.5, s * 0.36), s * 0.17, s * 0.20);
    QPainterPath waist;
    waist.moveTo(s * 0.33, s * 0.45);
    waist.quadTo(s * 0.5, s * 0.40, s * 0.67, s * 0.45);
    waist.lineTo(s * 0.62, s * 0.60);
    waist.lineTo(s * 0.38, s * 0.60);
    waist.closeSubpath();
    pear = pear.united(waist).simplified();
    QRadialGradient g(QPointF(s * 0.40, s * 0.45), s * 0.5);
    g.setColorAt(0, QColor(255, 250, 170));
    g.setColorAt(0.45, QColor(214, 200, 40));
    g.setColorAt(1, QColor(120, 110, 10));
    p.fillPath(pear, g);
    p.setPen(QPen(QColor(90, 55, 25), std::max(1.0, s / 14.0), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.5, s * 0.18), QPointF(s * 0.46, s * 0.06));
    QPainterPath leaf;
    leaf.moveTo(s * 0.50, s * 0.14);
    leaf.quadTo(s * 0.66, s * 0.02, s * 0.78, s * 0.12);
    leaf.quadTo(s * 0.64, s * 0.22, s * 0.50, s * 0.14);
    p.fillPath(leaf, QColor(80, 190, 70));
}

void paintScissors(QPainter& p, int s)
{
    const qreal lw = std::max(1.5, s * 0.10);
    // Blades.
    QLinearGradient steel(0, 0, s, s);
    steel.setColorAt(0, QColor(250, 250, 255));
    steel.setColorAt(1, QColor(130, 140, 160));
    p.setPen(QPen(QBrush(steel), lw, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.36, s * 0.58), QPointF(s * 0.80, s * 0.08));
    p.drawLine(QPointF(s * 0.64, s * 0.58), QPointF(s * 0.20, s * 0.08));
    // Handles.
    p.setPen(QPen(QColor(230, 50, 50), std::max(1.5, s * 0.09)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(s * 0.30, s * 0.76), s * 0.13, s * 0.13);
    p.drawEllipse(QPointF(s * 0.70, s * 0.76), s * 0.13, s * 0.13);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 70));
    p.drawEllipse(QPointF(s * 0.5, s * 0.45), s * 0.05, s * 0.05);
}

void paintSkull(QPainter& p, int s)
{
    QRadialGradient g(QPointF(s * 0.42, s * 0.32), s * 0.5);
    g.setColorAt(0, QColor(255, 255, 245));
    g.setColorAt(1, QColor(170, 165, 150));
    QPainterPath skull;
    skull.addEllipse(QPointF(s * 0.5, s * 0.42), s * 0.36, s * 0.33);
    skull.addRoundedRect(QRectF(s * 0.30, s * 0.52, s * 0.40, s * 0.34), s * 0.08, s * 0.08);
    p.fillPath(skull.simplified(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 10, 40));
    p.drawEllipse(QPointF(s * 0.36, s * 0.45), s * 0.10, s * 0.11);
    p.drawEllipse(QPointF(s * 0.64, s * 0.45), s * 0.10, s * 0.11);
    QPainterPath nose;
    nose.moveTo(s * 0.5, s * 0.56);
    nose.lineTo(s * 0.45, s * 0.66);
    nose.lineTo(s * 0.55, s * 0.66);
    nose.closeSubpath();
    p.fillPath(nose, QColor(30, 10, 40));
    p.setPen(QPen(QColor(60, 40, 60), std::max(1.0, s / 24.0)));
    for (qreal x : {0.40, 0.5, 0.60})
        p.drawLine(QPointF(s * x, s * 0.74), QPointF(s * x, s * 0.86));
    // A red glint in the sockets warns from afar.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 40, 40));
    p.drawEllipse(QPointF(s * 0.36, s * 0.46), s * 0.035, s * 0.035);
    p.drawEllipse(QPointF(s * 0.64, s * 0.46), s * 0.035, s * 0.035);
}

void paintMushroom(QPainter& p, int s)
{
    QPainterPath stem;
    stem.addRoundedRect(QRectF(s * 0.38, s * 0.46, s * 0.24, s * 0.42), s * 0.08, s * 0.08);
    QLinearGradient sg(s * 0.38, 0, s * 0.62, 0);
    sg.setColorAt(0, QColor(210, 195, 160));
    sg.setColorAt(0.5, QColor(255, 248, 225));
    sg.setColorAt(1, QColor(190, 175, 140));
    p.fillPath(stem, sg);
    QPainterPath cap;
    cap.moveTo(s * 0.08, s * 0.52);
    cap.cubicTo(s * 0.08, s * 0.05, s * 0.92, s * 0.05, s * 0.92, s * 0.52);
    cap.quadTo(s * 0.5, s * 0.44, s * 0.08, s * 0.52);
    QRadialGradient cg(QPointF(s * 0.40, s * 0.22), s * 0.55);
    cg.setColorAt(0, QColor(255, 120, 110));
    cg.setColorAt(0.5, QColor(210, 30, 40));
    cg.setColorAt(1, QColor(110, 10, 20));
    p.fillPath(cap, cg);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 240));
    p.drawEllipse(QPointF(s * 0.32, s * 0.30), s * 0.07, s * 0.06);
    p.drawEllipse(QPointF(s * 0.58, s * 0.22), s * 0.06, s * 0.05);
    p.drawEllipse(QPointF(s * 0.70, s * 0.40), s * 0.05, s * 0.045);
    p.drawEllipse(QPointF(s * 0.46, s * 0.42), s * 0.045, s * 0.04);
}

// Both halves of the exit drawn together, so the portal joins across the two cells.
QImage paintExit(int s, const Scheme& k)
{
    QImage img(2 * s, s, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paintFloor(p, s, k, 7);
    p.translate(s, 0);
    paintFloor(p, s, k, 8);
    p.resetTransform();
    const QRectF gate(s * 0.10, s * 0.08, 2 * s - s * 0.20, s * 0.84);
    QRadialGradient g(gate.center(), gate.width() * 0.55);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(0.18, k.portalGlow);
    g.setColorAt(0.7, k.portalDeep);
    g.setColorAt(1, shade(k.portalDeep, -40));
    p.setPen(QPen(k.portalFrame, std::max(1.5, s * 0.09)));
    p.setBrush(g);
    p.drawRoundedRect(gate, s * 0.38, s * 0.38);
    // Sparkles.
    p.setPen(QPen(QColor(255, 255, 255, 210), std::max(1.0, s / 22.0), Qt::SolidLine, Qt::RoundCap));
    const QPointF c = gate.center();
    for (int i = 0; i < 6; ++i) {
        const qreal a = i * M_PI / 3 + 0.3;
        const QPointF d(std::cos(a), std::sin(a));
        p.drawLine(c + d * s * 0.22, c + d * s * (0.32 + 0.06 * (i % 2)));
    }
    return img;
}

}  // namespace

Scheme schemeNamed(const QString& name)
{
    Scheme k;
    k.name = name;
    k.floor = QColor(38, 52, 34);
    k.floorSpeck = QColor(56, 74, 48);
    k.grid = QColor(32, 44, 29);
    k.wallBase = QColor(24, 30, 22);
    k.wallLight = QColor(214, 204, 178);
    k.wallMid = QColor(150, 141, 120);
    k.wallDark = QColor(78, 72, 60);
    k.snakeLight = QColor(170, 240, 120);
    k.snakeMid = QColor(72, 170, 60);
    k.snakeDark = QColor(22, 80, 30);
    k.snakeMark = QColor(40, 120, 40);
    k.eye = QColor(255, 226, 80);
    k.pupil = QColor(10, 10, 10);
    k.portalGlow = QColor(120, 240, 255);
    k.portalDeep = QColor(30, 70, 170);
    k.portalFrame = QColor(240, 200, 70);
    k.background = QColor(14, 17, 22);
    k.backgroundLine = QColor(24, 29, 37);
    if (name == QLatin1String("desert")) {
        // Sand, sandstone and a red-brown viper.
        k.floor = QColor(196, 160, 104);
        k.floorSpeck = QColor(214, 182, 128);
        k.grid = QColor(180, 146, 94);
        k.wallBase = QColor(120, 84, 50);
        k.wallLight = QColor(240, 196, 140);
        k.wallMid = QColor(190, 120, 70);
        k.wallDark = QColor(110, 60, 30);
        k.snakeLight = QColor(250, 170, 90);
        k.snakeMid = QColor(190, 80, 40);
        k.snakeDark = QColor(100, 30, 20);
        k.snakeMark = QColor(130, 50, 25);
        k.eye = QColor(250, 250, 210);
        k.portalGlow = QColor(255, 240, 150);
        k.portalDeep = QColor(40, 120, 110);
        k.portalFrame = QColor(90, 50, 20);
    } else if (name == QLatin1String("night")) {
        // Deep blue tiles, steel walls and a glowing violet snake.
        k.floor = QColor(22, 28, 52);
        k.floorSpeck = QColor(40, 50, 90);
        k.grid = QColor(18, 22, 42);
        k.wallBase = QColor(10, 12, 24);
        k.wallLight = QColor(210, 220, 240);
        k.wallMid = QColor(120, 132, 160);
        k.wallDark = QColor(50, 56, 76);
        k.snakeLight = QColor(230, 170, 255);
        k.snakeMid = QColor(150, 70, 210);
        k.snakeDark = QColor(60, 20, 100);
        k.snakeMark = QColor(100, 40, 150);
        k.eye = QColor(120, 255, 200);
        k.portalGlow = QColor(255, 160, 240);
        k.portalDeep = QColor(90, 20, 120);
        k.portalFrame = QColor(180, 220, 255);
        k.background = QColor(6, 8, 16);
        k.backgroundLine = QColor(16, 20, 36);
    }
    return k;
}

QImage paintTile(int t, int s, const Scheme& k)
{
    if (t == 29 || t == 30)
        return paintExit(s, k).copy(t == 29 ? 0 : s, 0, s, s);
    QImage img(s, s, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (t >= 1 && t <= 7) {
        paintWall(p, t, s, k);
        return img;
    }
    paintFloor(p, s, k, t == 0 ? 1 : static_cast<uint32_t>(t));
    switch (t) {
    case 0: break;
    case 8: paintApple(p, s); break;
    case 9: paintScissors(p, s); break;
    case 10: paintPear(p, s); break;
    case 11: paintSkull(p, s); break;
    case 12: paintMushroom(p, s); break;
    case 13: case 14: case 15: case 16: paintHead(p, s, t - 13, k); break;
    case 17: case 18: case 19: case 20: paintBodyStraight(p, s, t - 17, k); break;
    case 21: case 22: case 23: case 24: paintTail(p, s, t - 21, k); break;
    case 25: paintBodyCorner(p, s, true, true, k); break;    // right and bottom
    case 26: paintBodyCorner(p, s, false, true, k); break;   // left and bottom
    case 27: paintBodyCorner(p, s, true, false, k); break;   // top and right
    case 28: paintBodyCorner(p, s, false, false, k); break;  // left and top
    default: break;
    }
    return img;
}

QImage paintStrip(int s, const Scheme& k)
{
    QImage strip(31 * s + 30, s, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter p(&strip);
    for (int t = 0; t < 31; ++t)
        p.drawImage(t * (s + 1), 0, paintTile(t, s, k));
    return strip;
}

QImage paintBackground(const Scheme& k)
{
    constexpr int size = 48;
    QImage img(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // A woven diagonal lattice whose period divides the tile, so copies join.
            const bool line = (x + y) % 12 == 0 || (x - y + size) % 12 == 0;
            const int n = static_cast<int>(hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 99) % 5) - 2;
            img.setPixelColor(x, y, shade(line ? k.backgroundLine : k.background, n));
        }
    return img;
}

QImage paintIcon(int size, const Scheme& k)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(size * 0.04, size * 0.04, size * 0.92, size * 0.92);
    QLinearGradient g(box.topLeft(), box.bottomRight());
    g.setColorAt(0, shade(k.floor, 30));
    g.setColorAt(1, shade(k.floor, -20));
    p.setPen(QPen(k.wallMid, size * 0.04));
    p.setBrush(g);
    p.drawRoundedRect(box, size * 0.2, size * 0.2);
    const int cell = size / 2;
    p.translate(size * 0.25, size * 0.08);
    const QImage head = paintTile(13, cell, k);
    const QImage body = paintTile(17, cell, k);
    // Draw the snake pieces without their floor, clipped to the snake's own outline.
    p.setClipRect(QRectF(cell * 0.12, 0, cell * 0.76, cell * 2));
    p.drawImage(0, 0, head);
    p.drawImage(0, cell, body);
    return img;
}

}  // namespace skinpainter
