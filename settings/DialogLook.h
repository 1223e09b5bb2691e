// The look every dialog of the game shares: a fixed black client area with a title and
// only a close box, centred on the screen, and its buttons.
#pragma once

#include <QDialog>
#include <QBoxLayout>
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

// A laid-out dialog's foot and frame: its content, then OK (the default button) and Cancel
// at the right, `left` (if any) at the left; the dialog keeps the size its content needs.
inline void layOutWithOkCancel(QDialog* dialog, QLayout* content, QPushButton*& ok, QPushButton*& cancel,
                               QWidget* left = nullptr)
{
    ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    if (left)
        buttons->addWidget(left);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(content);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

inline void centreOnScreen(QWidget* w)
{
    if (const QScreen* s = QGuiApplication::primaryScreen())
        w->move(s->geometry().center() - QPoint(w->width() / 2, w->height() / 2));
}

}  // namespace kestrum
