#pragma once

#include <optional>
#include <string_view>

#include "liba/nocopy.h"
#include "platform/base/geometry.h"
#include "platform/surface.h"

namespace platform {

class Font;

// How a block copy combines each source pixel s with the destination pixel d.
enum class RasterOp {
    Copy, // s
    And,  // s & d
    Or,   // s | d
};

// Draws into the surface selected into it, through a logical origin and a clip
// rectangle. Logical point p lands on surface pixel p + origin; nothing is ever drawn
// outside the clip or the surface. A context with no surface draws nothing.
class DeviceContext : liba::Nocopy {
public:
    DeviceContext() = default;
    ~DeviceContext();

    // Selects the surface to draw into (null deselects). A surface can be selected
    // into one context at a time: selecting it into a second one fails and changes
    // nothing.
    bool select(Surface* surface);
    Surface* surface() const { return surface_; }

    void set_origin(Point origin) { origin_ = origin; }
    Point origin() const { return origin_; }

    // The clip in logical coordinates; without one, the whole surface.
    void set_clip(const Rect& clip) { clip_ = clip; }
    void clear_clip() { clip_.reset(); }
    Rect clip() const;

    void fill(const Rect& area, Colour colour);
    // Inverts every colour bit in the area (carets, selection marks).
    void invert(const Rect& area);
    // Combines source pixels from source_origin onwards into the destination area.
    // Source pixels outside the source surface leave the destination untouched.
    void copy(const Rect& destination, const Surface& source, Point source_origin,
        RasterOp op = RasterOp::Copy);
    // Scales source_area onto the destination area, taking for every destination
    // pixel the source pixel nearest to its centre.
    void stretch(const Rect& destination, const Surface& source, const Rect& source_area,
        RasterOp op = RasterOp::Copy);
    // Mixes the colour image into the destination area with the alpha image's lowest
    // byte a (both images read from source_origin): every channel becomes
    // d + a * (s - d) / 256.
    void blend(const Rect& destination, const Surface& colour, const Surface& alpha,
        Point source_origin);
    // One line of text with a transparent background; origin is the top-left corner
    // of the text cell (the baseline lies the font's ascent below it).
    void draw_text(const Font& font, Point origin, std::u16string_view text, Colour colour);

    // The pixel at a logical point, or nothing outside the clip or the surface.
    std::optional<Colour> pixel(Point at) const;
    void set_pixel(Point at, Colour colour);

private:
    // The part of a logical rectangle that may be drawn, in surface coordinates.
    Rect drawable(const Rect& logical) const;
    template <typename Combine>
    void copy_pixels(const Rect& destination, const Surface& source, Point source_origin,
        Combine combine);

    Surface* surface_ = nullptr;
    Point origin_;
    std::optional<Rect> clip_;
};

} // namespace platform
