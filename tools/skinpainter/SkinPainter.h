// The skin painter: draws a complete 31-tile skin strip at any cell size, the tiling
// background picture and the program icon, all with QPainter.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace skinpainter {

// Colours of one look.
struct Scheme {
    QString name;
    QColor floor, floorSpeck, grid;
    QColor wallBase, wallLight, wallMid, wallDark;
    QColor snakeLight, snakeMid, snakeDark, snakeMark;
    QColor eye, pupil;
    QColor portalGlow, portalDeep, portalFrame;
    QColor background, backgroundLine;
};

Scheme schemeNamed(const QString& name);

// One tile, cellSize x cellSize, opaque.
QImage paintTile(int tileNumber, int cellSize, const Scheme& scheme);
// The strip: 31 tiles separated by 1-pixel black gaps, height cellSize.
QImage paintStrip(int cellSize, const Scheme& scheme);
// A seamless tile for the margins around the field.
QImage paintBackground(const Scheme& scheme);
// The window icon at the given size.
QImage paintIcon(int size, const Scheme& scheme);

}  // namespace skinpainter
