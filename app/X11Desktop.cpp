#include "X11Desktop.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <cstring>

namespace kestrum {

xcb_connection_t* x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

X11ResourceReader::X11ResourceReader()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    connection_ = c;
    if (xcb_connection_has_error(c))
        return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    // The resources are one text property of the root window, a line a resource.
    xcb_get_property_reply_t* reply = screen ? xcb_get_property_reply(
        c, xcb_get_property(c, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 16), nullptr)
                                             : nullptr;
    if (!reply)
        return;
    const QByteArray text(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    for (const QByteArray& line : text.split('\n')) {
        if (!line.startsWith("Xft.dpi:"))
            continue;
        bool ok = false;
        const double value = line.mid(8).trimmed().toDouble(&ok);
        if (ok && value >= 24 && value <= 960)
            dpi_ = value;
    }
    std::free(reply);
}

X11ResourceReader::~X11ResourceReader()
{
    if (connection_)
        xcb_disconnect(connection_);
}

namespace {

// The frame as the window manager's frame window has it: the client's outermost ancestor
// below the root, measured around the client. Empty before the window is framed.
std::optional<QMargins> measuredFrame(xcb_connection_t* c, xcb_window_t client)
{
    xcb_window_t top = client, root = XCB_WINDOW_NONE;
    for (int depth = 0; depth < 16; ++depth) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, top), nullptr);
        if (!tree)
            return std::nullopt;
        root = tree->root;
        const xcb_window_t parent = tree->parent;
        std::free(tree);
        if (parent == root || parent == XCB_WINDOW_NONE)
            break;
        top = parent;
    }
    if (top == client)
        return std::nullopt;
    xcb_get_geometry_reply_t* frame = xcb_get_geometry_reply(c, xcb_get_geometry(c, top), nullptr);
    xcb_get_geometry_reply_t* inner = xcb_get_geometry_reply(c, xcb_get_geometry(c, client), nullptr);
    xcb_translate_coordinates_reply_t* at =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, client, root, 0, 0), nullptr);
    std::optional<QMargins> margins;
    if (frame && inner && at) {
        const int left = at->dst_x - frame->x, top = at->dst_y - frame->y;
        const int right = frame->x + frame->width + 2 * frame->border_width - (at->dst_x + inner->width);
        const int bottom = frame->y + frame->height + 2 * frame->border_width - (at->dst_y + inner->height);
        if (left >= 0 && top >= 0 && right >= 0 && bottom >= 0)
            margins = QMargins(left, top, right, bottom);
    }
    std::free(frame);
    std::free(inner);
    std::free(at);
    return margins;
}

}  // namespace

std::optional<QMargins> x11FrameExtents(WId window)
{
    xcb_connection_t* c = x11Connection();
    if (!c || !window)
        return std::nullopt;
    // A window manager may report a frame other than the one it drew (xfwm4 leaves out its
    // borders): the frame window itself has the last word.
    if (const auto measured = measuredFrame(c, static_cast<xcb_window_t>(window)))
        return measured;
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

std::optional<QPoint> x11ClientPosition(WId window)
{
    xcb_connection_t* c = x11Connection();
    if (!c || !window)
        return std::nullopt;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen)
        return std::nullopt;
    xcb_translate_coordinates_reply_t* at = xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, static_cast<xcb_window_t>(window), screen->root, 0, 0), nullptr);
    if (!at)
        return std::nullopt;
    const QPoint p(at->dst_x, at->dst_y);
    std::free(at);
    return p;
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

namespace {

class DestructionWatch : public QAbstractNativeEventFilter {
public:
    DestructionWatch(xcb_window_t window, std::function<void()> gone) : window_(window), gone_(std::move(gone)) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t" || !gone_)
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) == XCB_DESTROY_NOTIFY &&
            reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == window_) {
            QTimer::singleShot(0, qApp, std::move(gone_));
            gone_ = nullptr;
        }
        return false;
    }

private:
    xcb_window_t window_;
    std::function<void()> gone_;
};

}  // namespace

void x11WatchDestruction(WId window, std::function<void()> gone)
{
    if (!x11Connection() || !window)
        return;
    // Lives as long as the application: the filter is removed when it is deleted.
    static std::unique_ptr<DestructionWatch> watch;
    if (watch)
        qApp->removeNativeEventFilter(watch.get());
    watch = std::make_unique<DestructionWatch>(static_cast<xcb_window_t>(window), std::move(gone));
    qApp->installNativeEventFilter(watch.get());
}

}  // namespace kestrum
