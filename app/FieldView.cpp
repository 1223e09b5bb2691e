#include "FieldView.h"

#include "X11FieldOutput.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

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
    if (direct_ || !X11FieldOutput::available())
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

void FieldView::paintEvent(QPaintEvent* event)
{
    if (direct_) {
        // Put once the window can be seen: its exposure asks for the whole field anyway.
        if (windowHandle() && windowHandle()->isExposed())
            output_->put(image_, event->region());
        return;
    }
    QPainter p(this);
    // Only the changed cells: a tick touches a few cells in different corners.
    for (const QRect& r : event->region())
        p.drawImage(r.topLeft(), image_, r);
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
