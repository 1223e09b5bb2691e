#include "X11FieldOutput.h"

#include "X11Desktop.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kestrum {

namespace {

template <typename Reply>
struct Freed {
    Reply* reply;
    ~Freed() { std::free(reply); }
    Reply* operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

// 32 bits a pixel at this depth, least significant byte first.
bool pixmapsFit(xcb_connection_t* c, uint8_t depth)
{
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == depth)
            return f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    return false;
}

// A true-colour visual with red, green and blue in the masks of 0x00RRGGBB.
bool visualFits(xcb_connection_t* c, uint32_t visual, uint8_t depth)
{
    for (auto s = xcb_setup_roots_iterator(xcb_get_setup(c)); s.rem; xcb_screen_next(&s))
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
            if (d.data->depth != depth)
                continue;
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
                if (v.data->visual_id == visual)
                    return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xFF0000 &&
                           v.data->green_mask == 0xFF00 && v.data->blue_mask == 0xFF;
        }
    return false;
}

}  // namespace

bool X11FieldOutput::available()
{
    xcb_connection_t* c = x11Connection();
    if (!c)
        return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return screen && pixmapsFit(c, screen->root_depth) && visualFits(c, screen->root_visual, screen->root_depth);
}

std::unique_ptr<X11FieldOutput> X11FieldOutput::create(QWidget* field)
{
    xcb_connection_t* c = x11Connection();
    const auto window = c ? static_cast<uint32_t>(field->winId()) : 0;
    if (!window)
        return nullptr;
    const Freed<xcb_get_window_attributes_reply_t> attributes{
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr)};
    const Freed<xcb_get_geometry_reply_t> geometry{xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr)};
    if (!attributes || !geometry || !pixmapsFit(c, geometry->depth) ||
        !visualFits(c, attributes->visual, geometry->depth))
        return nullptr;
    return std::unique_ptr<X11FieldOutput>(new X11FieldOutput(c, window, geometry->depth));
}

X11FieldOutput::X11FieldOutput(xcb_connection_t* connection, uint32_t window, uint8_t depth)
    : connection_(connection), window_(window), depth_(depth)
{
    gc_ = xcb_generate_id(connection_);
    const uint32_t black = 0;
    xcb_create_gc(connection_, gc_, window_, XCB_GC_FOREGROUND, &black);
    maxRequestBytes_ = xcb_get_maximum_request_length(connection_) * 4;
}

X11FieldOutput::~X11FieldOutput()
{
    xcb_free_gc(connection_, gc_);
    xcb_flush(connection_);
}

void X11FieldOutput::putRectangle(const QImage& image, const QRect& r, QPoint at)
{
    const size_t rowBytes = static_cast<size_t>(r.width()) * 4;
    const int rowsPerRequest = std::max(1, static_cast<int>((maxRequestBytes_ - 64) / rowBytes));
    for (int top = r.top(); top <= r.bottom(); top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, r.bottom() + 1 - top);
        const size_t bytes = rowBytes * static_cast<size_t>(rows);
        if (scratch_.size() < bytes)
            scratch_.resize(bytes);
        for (int y = 0; y < rows; ++y)
            std::memcpy(scratch_.data() + rowBytes * static_cast<size_t>(y),
                        image.constScanLine(top + y - at.y()) + static_cast<size_t>(r.left() - at.x()) * 4,
                        rowBytes);
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, static_cast<uint16_t>(r.width()),
                      static_cast<uint16_t>(rows), static_cast<int16_t>(r.left()), static_cast<int16_t>(top), 0,
                      depth_, static_cast<uint32_t>(bytes), scratch_.data());
    }
}

void X11FieldOutput::put(const QImage& image, const QRegion& region, QPoint at)
{
    const QRegion inside(image.rect().translated(at));
    for (const QRect& r : region - inside) {
        const xcb_rectangle_t box{static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                                  static_cast<uint16_t>(r.width()), static_cast<uint16_t>(r.height())};
        xcb_poly_fill_rectangle(connection_, window_, gc_, 1, &box);
    }
    for (const QRect& r : region & inside)
        putRectangle(image, r, at);
    xcb_flush(connection_);
}

}  // namespace kestrum
