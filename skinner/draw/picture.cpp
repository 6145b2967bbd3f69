#include "skinner/draw/picture.h"

#include <algorithm>
#include <memory>

#include "platform/device_context.h"
#include "skinner/draw/canvas.h"
#include "skinner/draw/hdc_selector.h"
#include "skinner/draw/image_record.h"
#include "skinner/draw/nine_slice.h"

namespace skinner {
namespace {

using platform::DeviceContext;
using platform::RasterOp;
using platform::Rect;
using platform::Surface;

constexpr uint32_t colour_bits = 0x00FFFFFF;
constexpr uint32_t white = 0x00FFFFFF;

// Whether every pixel of the area (which must lie inside the surface) has one colour.
bool is_uniform(const Surface& surface, const Rect& area, uint32_t& colour)
{
    if (area.intersected(surface.bounds()) != area)
        return false;
    colour = surface.row(area.y)[area.x] & colour_bits;
    for (int y = area.y; y < area.bottom(); ++y) {
        const uint32_t* row = surface.row(y);
        for (int x = area.x; x < area.right(); ++x)
            if ((row[x] & colour_bits) != colour)
                return false;
    }
    return true;
}

// A piece whose source is one design pixel long (scale image pixels) and which is
// drawn at another size: when its source holds one colour, a fill gives the same
// pixels as stretching or tiling it, at a fraction of the cost.
bool is_strip(const NineSlice::Piece& piece, int scale)
{
    const bool resized = piece.source.width != piece.destination.width
        || piece.source.height != piece.destination.height;
    return resized && (piece.source.width == scale || piece.source.height == scale);
}

void draw_piece(DeviceContext& dc, const Surface& source, const NineSlice::Piece& piece, bool stretch, RasterOp op)
{
    const Rect& from = piece.source;
    const Rect& to = piece.destination;
    if (from.width == to.width && from.height == to.height) {
        dc.copy(to, source, {from.x, from.y}, op);
    } else if (stretch) {
        dc.stretch(to, source, from, op);
    } else {
        // Copies of the source from the top-left corner on; the last row and column cut.
        const Rect visible = to.intersected(dc.clip());
        for (int y = to.y; y < to.bottom(); y += from.height) {
            const int height = std::min(from.height, to.bottom() - y);
            if (y + height <= visible.y || y >= visible.bottom())
                continue;
            for (int x = to.x; x < to.right(); x += from.width) {
                const int width = std::min(from.width, to.right() - x);
                if (x + width > visible.x && x < visible.right())
                    dc.copy({x, y, width, height}, source, {from.x, from.y}, op);
            }
        }
    }
}

// Draws an image piece by piece; with a cut-out mask, the mask goes on with OR and the
// image (white where transparent) with AND, so black mask pixels keep the background.
void draw_pieces(DeviceContext& dc, const NineSlice& slices, const Surface& image, const Surface* mask,
    bool stretch, int scale)
{
    for (int i = 0; i < slices.piece_count(); ++i) {
        const NineSlice::Piece& piece = slices.piece(i);
        uint32_t colour = 0, coverage = 0;
        if (is_strip(piece, scale) && is_uniform(image, piece.source, colour)
            && (!mask || (is_uniform(*mask, piece.source, coverage) && coverage == white))) {
            dc.fill(piece.destination, platform::Colour::from_pixel(colour));
        } else if (mask) {
            draw_piece(dc, *mask, piece, stretch, RasterOp::Or);
            draw_piece(dc, image, piece, stretch, RasterOp::And);
        } else {
            draw_piece(dc, image, piece, stretch, RasterOp::Copy);
        }
    }
}

// Draws the pieces into a fresh buffer that covers the area.
std::unique_ptr<Surface> render(const NineSlice& slices, const Surface& image, const Rect& area, bool stretch,
    int scale)
{
    auto buffer = Surface::create(area.width, area.height);
    if (!buffer)
        return nullptr;
    HDCSelector selector(*buffer);
    selector.context().set_origin({-area.x, -area.y});
    draw_pieces(selector.context(), slices, image, nullptr, stretch, scale);
    return buffer;
}

} // namespace

Picture::Picture(std::u16string_view skin_path, std::u16string_view name, bool stretch, int scale)
    : record_(ImageRecord::acquire({std::u16string(skin_path), std::u16string(name), scale}))
    , stretch_(stretch)
{
    points_[2] = points_[3] = {record_->width(), record_->height()};
}

Picture::Picture(const Picture& other)
    : record_(other.record_)
    , points_(other.points_)
    , stretch_(other.stretch_)
{
    if (record_)
        record_->add_reference();
}

Picture& Picture::operator=(const Picture& other)
{
    if (other.record_)
        other.record_->add_reference();
    if (record_)
        record_->release();
    record_ = other.record_;
    points_ = other.points_;
    stretch_ = other.stretch_;
    return *this;
}

Picture::~Picture()
{
    if (record_)
        record_->release();
}

void Picture::set_points(Point p1, Point p2, Point p3, Point p4, bool stretch)
{
    points_ = {p1, p2, p3, p4};
    stretch_ = stretch;
}

bool Picture::has_bitmap() const
{
    return record_ && record_->bitmap();
}

void Picture::draw(CanvasImpl& canvas, Point origin, Point far_corner) const
{
    if (!has_bitmap())
        return;
    const NineSlice slices(points_, origin, far_corner);
    if (slices.piece_count() == 0)
        return;
    DeviceContext& dc = canvas.context();
    const Surface& image = *record_->bitmap();
    const int scale = record_->key().scale;
    if (!record_->alpha()) {
        draw_pieces(dc, slices, image, record_->mask(), stretch_, scale);
        return;
    }
    // The mask's grey levels, drawn like the image, weigh the image against the background.
    const Rect area = Rect{origin.x, origin.y, far_corner.x - origin.x, far_corner.y - origin.y}.intersected(dc.clip());
    if (area.empty())
        return;
    const auto alpha = render(slices, *record_->mask(), area, stretch_, scale);
    const auto colour = render(slices, image, area, stretch_, scale);
    if (alpha && colour)
        dc.blend(area, *colour, *alpha, {0, 0});
}

bool Picture::is_transparent(Point point, Point origin, Point far_corner) const
{
    if (point.x < origin.x || point.y < origin.y || point.x >= far_corner.x || point.y >= far_corner.y)
        return true;
    const platform::Surface* mask = record_ ? record_->mask() : nullptr;
    if (!mask)
        return false;
    const auto source = NineSlice(points_, origin, far_corner).source_at(point, stretch_);
    return !source || (mask->pixel(source->x, source->y) & colour_bits) == 0;
}

} // namespace skinner
