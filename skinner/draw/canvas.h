#pragma once

#include <string_view>
#include <vector>

#include "liba/nocopy.h"
#include "platform/device_context.h"
#include "skinner/draw/colour.h"
#include "skinner/draw/geometry.h"

namespace skinner {

class Font;
class Picture;

// Text alignment within its rectangle, as the skin's "HAlignment" and "VAlignment"
// words give it.
enum HAlignment { LEFT = 0, CENTER = 1, RIGHT = 2 };
enum VAlignment { TOP = 0, VCENTER = 1, BOTTOM = 2 };

// What every control draws on: a device context and a stack of clip rectangles, the
// top one always applied as the context's clip. Coordinates are form pixels.
class CanvasImpl : liba::Nocopy {
public:
    CanvasImpl(platform::DeviceContext& context, Point origin, Point size);
    virtual ~CanvasImpl();

    // Pushes the part of the rectangle inside the current clip.
    void push_clip(Point origin, Point size);
    void pop_clip();

    void fill_rectangle(Point origin, Point size, Colour colour);
    void draw_picture(const Picture& picture, Point origin, Point far_corner);
    // One line, drawn as it stands, in the colour on a transparent background,
    // aligned and clipped to the rectangle.
    void draw_text(const Font& font, Colour colour, std::u16string_view text, Point origin, Point size,
        int horizontal, int vertical);
    // As draw_text, but a text wider than the rectangle is cut to the longest prefix
    // that leaves room for "…", which follows it.
    void draw_text_ellipsis(const Font& font, Colour colour, std::u16string_view text, Point origin, Point size,
        int horizontal, int vertical);
    // (width, height) of one line; width 0 for an empty text. Needs no canvas: the
    // layout of a text may be worked out before it is drawn.
    static Point measure_text(const Font& font, std::u16string_view text);

    platform::DeviceContext& context() { return context_; }

private:
    void apply_clip();

    platform::DeviceContext& context_;
    std::vector<platform::Rect> clips_;
};

} // namespace skinner
