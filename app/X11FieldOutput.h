// The field's way to the screen on X11 once the game is under way. Qt's shared-memory
// backing store waits for the X server (a round trip) before every frame that paints over
// a part of the frame before, and nearly every tick does: the neck was the head. From
// the field's first frame on (which Qt's backing store brings up fastest) the field has
// a window of its own, and its changed cells go to it through the connection, with no
// wait.
#pragma once

#include <QImage>
#include <QRegion>

#include <cstdint>
#include <memory>
#include <vector>

class QWidget;
struct xcb_connection_t;

namespace kestrum {

class X11FieldOutput {
public:
    // True on an X11 display whose pixels are laid out as the field picture's: 32 bits,
    // least significant byte first, red, green and blue as in 0x00RRGGBB.
    static bool available();
    // For the field's own native window; null when its pixels are laid out otherwise.
    static std::unique_ptr<X11FieldOutput> create(QWidget* field);
    ~X11FieldOutput();
    X11FieldOutput(const X11FieldOutput&) = delete;
    X11FieldOutput& operator=(const X11FieldOutput&) = delete;

    // Puts the parts of `image` in `region` (widget coordinates) on the window, the image's
    // top left at `at`; what lies outside the image is filled with black.
    void put(const QImage& image, const QRegion& region, QPoint at = {});

private:
    X11FieldOutput(xcb_connection_t* connection, uint32_t window, uint8_t depth);
    void putRectangle(const QImage& image, const QRect& r, QPoint at);

    xcb_connection_t* connection_;
    uint32_t window_;
    uint8_t depth_;
    uint32_t gc_ = 0;
    uint32_t maxRequestBytes_ = 0;
    std::vector<uint8_t> scratch_;
};

}  // namespace kestrum
