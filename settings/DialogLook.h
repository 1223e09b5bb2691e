// The look every dialog of the game shares: a fixed black client area, centred on the
// screen.
#pragma once

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace kestrum {

inline void makeBlackDialog(QWidget* dialog, int width, int height)
{
    dialog->setFixedSize(width, height);
    dialog->setAutoFillBackground(true);
    QPalette pal = dialog->palette();
    pal.setColor(QPalette::Window, Qt::black);
    dialog->setPalette(pal);
}

inline void centreOnScreen(QWidget* w)
{
    if (const QScreen* s = QGuiApplication::primaryScreen())
        w->move(s->geometry().center() - QPoint(w->width() / 2, w->height() / 2));
}

}  // namespace kestrum
