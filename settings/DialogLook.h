// The look every dialog of the game shares: a fixed black client area with a title and
// only a close box, centred on the screen, and its buttons.
#pragma once

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace kestrum {

// A fixed dialog with a title and a close box; a tool window when `tool`.
inline Qt::WindowFlags dialogFlags(bool tool = false)
{
    return (tool ? Qt::Tool : Qt::Dialog) | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
           Qt::WindowCloseButtonHint;
}

// A button at its place; without autoDefault, Enter presses the dialog's default button
// even while this one has the focus.
inline QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, QRect r,
                               bool autoDefault = true)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(r);
    b->setAutoDefault(autoDefault);
    return b;
}

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
