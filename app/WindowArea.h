// Where the game's window may stand on this desktop. The window, its frame included,
// covers the area; the field is built for the client area that is left.
#pragma once

#include <QRect>

class QScreen;

namespace kestrum {

// The work area a desktop leaves free of its panels (`available`, from the screen's
// geometry `screen`); where the desktop reports no panel, the screen less a 29-pixel strip
// for a task bar, at the screen's top left.
QRect windowArea(const QRect& screen, const QRect& available);
// The same for a screen; 1024 x 739 at (0, 0) without one.
QRect windowArea(const QScreen* screen);

}  // namespace kestrum
