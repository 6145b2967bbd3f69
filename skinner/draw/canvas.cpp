#include "skinner/draw/canvas.h"

#include <algorithm>
#include <memory>
#include <string>

#include "liba/text.h"
#include "platform/font.h"
#include "skinner/draw/font.h"
#include "skinner/draw/picture.h"

namespace skinner {
namespace {

constexpr char16_t ellipsis = u'\u2026';

} // namespace

CanvasImpl::CanvasImpl(platform::DeviceContext& context, Point origin, Point size)
    : context_(context)
{
    clips_.push_back({origin.x, origin.y, size.x, size.y});
    apply_clip();
}

CanvasImpl::~CanvasImpl()
{
    context_.clear_clip();
}

void CanvasImpl::push_clip(Point origin, Point size)
{
    clips_.push_back(clips_.back().intersected({origin.x, origin.y, size.x, size.y}));
    apply_clip();
}

void CanvasImpl::pop_clip()
{
    if (clips_.empty())
        return;
    clips_.pop_back();
    apply_clip();
}

void CanvasImpl::apply_clip()
{
    if (clips_.empty()) {
        context_.clear_clip();
        return;
    }
    const platform::Rect& top = clips_.back();
    context_.set_clip({top.x, top.y, std::max(0, top.width), std::max(0, top.height)});
}

void CanvasImpl::fill_rectangle(Point origin, Point size, Colour colour)
{
    context_.fill({origin.x, origin.y, size.x, size.y}, colour.to_platform());
}

void CanvasImpl::draw_picture(const Picture& picture, Point origin, Point far_corner)
{
    picture.draw(*this, origin, far_corner);
}

void CanvasImpl::draw_text(const Font& font, Colour colour, std::u16string_view text, Point origin, Point size,
    int horizontal, int vertical)
{
    const platform::Font* face = font.face();
    if (!face || text.empty())
        return;
    const platform::Size extent = face->text_extent(text);
    Point at = origin;
    if (horizontal == CENTER)
        at.x += (size.x - extent.width) / 2;
    else if (horizontal == RIGHT)
        at.x += size.x - extent.width;
    if (vertical == VCENTER)
        at.y += (size.y - extent.height) / 2;
    else if (vertical == BOTTOM)
        at.y += size.y - extent.height;

    push_clip(origin, size);
    context_.draw_text(*face, at, text, colour.to_platform());
    pop_clip();
}

void CanvasImpl::draw_text_ellipsis(const Font& font, Colour colour, std::u16string_view text, Point origin,
    Point size, int horizontal, int vertical)
{
    const platform::Font* face = font.face();
    if (!face || face->text_extent(text).width <= size.x) {
        draw_text(font, colour, text, origin, size, horizontal, vertical);
        return;
    }
    const int room = size.x - face->text_extent(std::u16string_view(&ellipsis, 1)).width;
    const std::vector<int> widths = face->prefix_widths(text);
    size_t kept = 0;
    for (size_t i = 0; i < widths.size() && widths[i] <= room; ++i)
        if (!liba::is_high_surrogate(text[i]))
            kept = i + 1;
    std::u16string shortened(text.substr(0, kept));
    shortened += ellipsis;
    draw_text(font, colour, shortened, origin, size, horizontal, vertical);
}

Point CanvasImpl::measure_text(const Font& font, std::u16string_view text)
{
    const platform::Font* face = font.face();
    if (!face)
        return {};
    const platform::Size extent = face->text_extent(text);
    return {extent.width, extent.height};
}

} // namespace skinner
