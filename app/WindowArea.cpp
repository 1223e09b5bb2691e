#include "WindowArea.h"

#include <QScreen>

namespace kestrum {

QRect windowArea(const QRect& screen, const QRect& available)
{
    if (available.isValid() && available != screen && screen.contains(available))
        return available;
    return QRect(screen.topLeft(), QSize(screen.width(), screen.height() - 29));
}

QRect windowArea(const QScreen* screen)
{
    return screen ? windowArea(screen->geometry(), screen->availableGeometry()) : QRect(0, 0, 1024, 739);
}

}  // namespace kestrum
