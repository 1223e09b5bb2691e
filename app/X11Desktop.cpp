#include "X11Desktop.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace kestrum {

xcb_connection_t* x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

std::optional<double> x11ResourceDpi()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return std::nullopt;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    std::optional<double> dpi;
    if (!xcb_connection_has_error(c)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        // The resources are one text property of the root window, a line a resource.
        xcb_get_property_reply_t* reply = screen ? xcb_get_property_reply(
            c, xcb_get_property(c, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 16), nullptr)
                                                 : nullptr;
        if (reply) {
            const QByteArray text(static_cast<const char*>(xcb_get_property_value(reply)),
                                  xcb_get_property_value_length(reply));
            for (const QByteArray& line : text.split('\n')) {
                if (!line.startsWith("Xft.dpi:"))
                    continue;
                bool ok = false;
                const double value = line.mid(8).trimmed().toDouble(&ok);
                if (ok && value >= 24 && value <= 960)
                    dpi = value;
            }
            std::free(reply);
        }
    }
    xcb_disconnect(c);
    return dpi;
}

std::optional<QMargins> x11FrameExtents(WId window)
{
    xcb_connection_t* c = x11Connection();
    if (!c || !window)
        return std::nullopt;
    static constexpr char kName[] = "_NET_FRAME_EXTENTS";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kName - 1, kName), nullptr);
    if (!atom)
        return std::nullopt;
    const xcb_atom_t name = atom->atom;
    std::free(atom);
    if (name == XCB_ATOM_NONE)
        return std::nullopt;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, static_cast<xcb_window_t>(window), name, XCB_ATOM_CARDINAL, 0, 4), nullptr);
    std::optional<QMargins> extents;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
        uint32_t v[4];  // left, right, top, bottom
        std::memcpy(v, xcb_get_property_value(reply), sizeof v);
        extents = QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                           static_cast<int>(v[3]));
    }
    std::free(reply);
    return extents;
}

bool x11PlaceClient(WId window, int x, int y)
{
    xcb_connection_t* c = x11Connection();
    if (!c || !window)
        return false;
    // Qt asks for static gravity: the position is the client area's own.
    const uint32_t values[] = {static_cast<uint32_t>(x), static_cast<uint32_t>(y)};
    xcb_configure_window(c, static_cast<xcb_window_t>(window), XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    xcb_flush(c);
    return true;
}

}  // namespace kestrum
