#include "platform/device_context.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/font.h"

namespace platform {
namespace {

constexpr uint32_t colour_bits = 0x00FFFFFF;

// One channel of the blend: d + a * (s - d) / 256, with C++'s truncating division.
uint32_t blend_channel(uint32_t s, uint32_t d, int a, int shift)
{
    const int sc = static_cast<int>((s >> shift) & 0xFF);
    const int dc = static_cast<int>((d >> shift) & 0xFF);
    return static_cast<uint32_t>(dc + a * (sc - dc) / 256) << shift;
}

// One channel of anti-aliased text: coverage 255 gives the text colour.
uint32_t cover_channel(uint32_t s, uint32_t d, int coverage, int shift)
{
    const int sc = static_cast<int>((s >> shift) & 0xFF);
    const int dc = static_cast<int>((d >> shift) & 0xFF);
    return static_cast<uint32_t>(dc + coverage * (sc - dc) / 255) << shift;
}

// The pixels of a source area, copied aside when the source is also the destination
// so that overlapping copies read the original pixels.
class SourceView {
public:
    SourceView(const Surface& source, const Rect& area, bool overlaps)
        : source_(source)
        , area_(area)
    {
        if (!overlaps)
            return;
        copy_.reserve(static_cast<size_t>(area.width) * area.height);
        for (int y = area.y; y < area.bottom(); ++y)
            copy_.insert(copy_.end(), source.row(y) + area.x, source.row(y) + area.right());
    }

    const uint32_t* row(int y) const
    {
        if (copy_.empty())
            return source_.row(y);
        return copy_.data() + static_cast<size_t>(y - area_.y) * area_.width - area_.x;
    }

private:
    const Surface& source_;
    Rect area_;
    std::vector<uint32_t> copy_;
};

} // namespace

DeviceContext::~DeviceContext()
{
    select(nullptr);
}

bool DeviceContext::select(Surface* surface)
{
    if (surface && surface->selected_in_ && surface->selected_in_ != this)
        return false;
    if (surface_)
        surface_->selected_in_ = nullptr;
    surface_ = surface;
    if (surface_)
        surface_->selected_in_ = this;
    return true;
}

Rect DeviceContext::clip() const
{
    if (clip_)
        return *clip_;
    if (!surface_)
        return {};
    return surface_->bounds().moved(-origin_.x, -origin_.y);
}

Rect DeviceContext::drawable(const Rect& logical) const
{
    if (!surface_)
        return {};
    Rect area = logical.moved(origin_.x, origin_.y).intersected(surface_->bounds());
    if (clip_)
        area = area.intersected(clip_->moved(origin_.x, origin_.y));
    return area;
}

void DeviceContext::fill(const Rect& area, Colour colour)
{
    const Rect target = drawable(area);
    const uint32_t value = colour.pixel();
    for (int y = target.y; y < target.bottom(); ++y) {
        uint32_t* row = surface_->row(y);
        std::fill(row + target.x, row + target.right(), value);
    }
}

void DeviceContext::invert(const Rect& area)
{
    const Rect target = drawable(area);
    for (int y = target.y; y < target.bottom(); ++y) {
        uint32_t* row = surface_->row(y);
        for (int x = target.x; x < target.right(); ++x)
            row[x] ^= colour_bits;
    }
}

template <typename Combine>
void DeviceContext::copy_pixels(const Rect& destination, const Surface& source,
    Point source_origin, Combine combine)
{
    // Surface pixel p of the destination reads source pixel p + shift.
    const int shift_x = source_origin.x - (destination.x + origin_.x);
    const int shift_y = source_origin.y - (destination.y + origin_.y);
    const Rect target =
        drawable(destination).intersected(source.bounds().moved(-shift_x, -shift_y));
    if (target.empty())
        return;
    const Rect read = target.moved(shift_x, shift_y);
    const SourceView view(source, read, &source == surface_);
    for (int y = target.y; y < target.bottom(); ++y) {
        uint32_t* out = surface_->row(y);
        const uint32_t* in = view.row(y + shift_y) + shift_x;
        for (int x = target.x; x < target.right(); ++x)
            out[x] = combine(in[x], out[x]);
    }
}

void DeviceContext::copy(const Rect& destination, const Surface& source, Point source_origin,
    RasterOp op)
{
    switch (op) {
    case RasterOp::Copy:
        copy_pixels(destination, source, source_origin, [](uint32_t s, uint32_t) { return s; });
        break;
    case RasterOp::And:
        copy_pixels(destination, source, source_origin, [](uint32_t s, uint32_t d) { return s & d; });
        break;
    case RasterOp::Or:
        copy_pixels(destination, source, source_origin, [](uint32_t s, uint32_t d) { return s | d; });
        break;
    }
}

void DeviceContext::stretch(const Rect& destination, const Surface& source,
    const Rect& source_area, RasterOp op)
{
    const Rect target = drawable(destination);
    if (target.empty() || source_area.empty())
        return;
    // Nearest source pixel to the centre of destination pixel i: (2i + 1) * sw / (2 * dw).
    const auto nearest = [](int i, int source_start, int source_length, int destination_length) {
        const int64_t scaled = (2 * int64_t{i} + 1) * source_length / (2 * int64_t{destination_length});
        return source_start + static_cast<int>(scaled);
    };
    const int left = destination.x + origin_.x;
    const int top = destination.y + origin_.y;
    std::vector<int> columns(target.width);
    for (int x = 0; x < target.width; ++x)
        columns[x] = nearest(target.x + x - left, source_area.x, source_area.width, destination.width);

    const Rect readable = source_area.intersected(source.bounds());
    if (readable.empty())
        return;
    const SourceView view(source, readable, &source == surface_);
    for (int y = target.y; y < target.bottom(); ++y) {
        const int sy = nearest(y - top, source_area.y, source_area.height, destination.height);
        if (sy < readable.y || sy >= readable.bottom())
            continue;
        const uint32_t* in = view.row(sy);
        uint32_t* out = surface_->row(y) + target.x;
        for (int x = 0; x < target.width; ++x) {
            const int sx = columns[x];
            if (sx < readable.x || sx >= readable.right())
                continue;
            switch (op) {
            case RasterOp::Copy: out[x] = in[sx]; break;
            case RasterOp::And: out[x] &= in[sx]; break;
            case RasterOp::Or: out[x] |= in[sx]; break;
            }
        }
    }
}

void DeviceContext::blend(const Rect& destination, const Surface& colour, const Surface& alpha,
    Point source_origin)
{
    const int shift_x = source_origin.x - (destination.x + origin_.x);
    const int shift_y = source_origin.y - (destination.y + origin_.y);
    const Rect both = colour.bounds().intersected(alpha.bounds());
    const Rect target = drawable(destination).intersected(both.moved(-shift_x, -shift_y));
    for (int y = target.y; y < target.bottom(); ++y) {
        uint32_t* out = surface_->row(y);
        const uint32_t* s = colour.row(y + shift_y) + shift_x;
        const uint32_t* a = alpha.row(y + shift_y) + shift_x;
        for (int x = target.x; x < target.right(); ++x) {
            const int level = static_cast<int>(a[x] & 0xFF);
            const uint32_t d = out[x];
            out[x] = blend_channel(s[x], d, level, 16) | blend_channel(s[x], d, level, 8)
                | blend_channel(s[x], d, level, 0);
        }
    }
}

void DeviceContext::draw_text(const Font& font, Point origin, std::u16string_view text,
    Colour colour)
{
    if (!surface_ || text.empty())
        return;
    const uint32_t ink = colour.pixel();
    const Rect limit = drawable(clip());
    const Point cell = {origin.x + origin_.x, origin.y + origin_.y};
    font.rasterize(text, [&](const Coverage& glyph, Point at) {
        const Rect placed = {cell.x + at.x, cell.y + at.y, glyph.width, glyph.height};
        const Rect target = placed.intersected(limit);
        for (int y = target.y; y < target.bottom(); ++y) {
            const uint8_t* levels = glyph.levels + static_cast<ptrdiff_t>(y - placed.y) * glyph.pitch;
            uint32_t* out = surface_->row(y);
            for (int x = target.x; x < target.right(); ++x) {
                const int level = levels[x - placed.x];
                if (level == 0)
                    continue;
                const uint32_t d = out[x];
                out[x] = cover_channel(ink, d, level, 16) | cover_channel(ink, d, level, 8)
                    | cover_channel(ink, d, level, 0);
            }
        }
    });
}

std::optional<Colour> DeviceContext::pixel(Point at) const
{
    const Rect spot = drawable({at.x, at.y, 1, 1});
    if (spot.empty())
        return std::nullopt;
    return Colour::from_pixel(surface_->row(spot.y)[spot.x]);
}

void DeviceContext::set_pixel(Point at, Colour colour)
{
    fill({at.x, at.y, 1, 1}, colour);
}

} // namespace platform
