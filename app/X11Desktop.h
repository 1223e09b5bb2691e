// What the X11 desktop knows of the game's windows, in device pixels. Elsewhere (Wayland,
// offscreen) there is no connection and every answer is empty.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QtGui/qwindowdefs.h>

#include <functional>
#include <optional>

struct xcb_connection_t;

namespace kestrum {

// Xft.dpi from the X resources of $DISPLAY, read over a connection of its own before the
// application starts (empty without X or without the resource). The connection stays open
// until the reader goes, after the application has made its own: closing a display's last
// connection makes a bare X server reset itself, and the next one waits for that (about
// 100 ms under Xvfb).
class X11ResourceReader {
public:
    X11ResourceReader();
    ~X11ResourceReader();
    X11ResourceReader(const X11ResourceReader&) = delete;
    X11ResourceReader& operator=(const X11ResourceReader&) = delete;
    std::optional<double> dpi() const { return dpi_; }

private:
    xcb_connection_t* connection_ = nullptr;
    std::optional<double> dpi_;
};

// The application's X connection; null on any other platform.
xcb_connection_t* x11Connection();

// The frame the window manager put around a top-level window, in device pixels: measured
// on its frame window, else as it reports it (_NET_FRAME_EXTENTS); empty before it has
// framed the window.
std::optional<QMargins> x11FrameExtents(WId window);

// Where a top-level window's client area is on the screen, in device pixels; empty off X11.
std::optional<QPoint> x11ClientPosition(WId window);

// Puts a framed top-level window's client area at a position of the screen in device
// pixels (a scaled screen's logical pixels cannot say "1"). False off X11.
bool x11PlaceClient(WId window, int x, int y);

// Calls `gone` on the event thread when another client destroys the top-level window (its
// X window vanishes without a close request). Nothing off X11.
void x11WatchDestruction(WId window, std::function<void()> gone);

}  // namespace kestrum
