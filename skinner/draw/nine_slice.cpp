#include "skinner/draw/nine_slice.h"

#include <cstdint>

namespace skinner {
namespace {

// Near corner, middle and far corner spans of one axis. When the corners are longer
// than the destination, each gives up half the excess (the far one the odd pixel),
// and a corner driven below zero passes its deficit to the other.
std::array<NineSlice::Span, 3> slice_axis(int p1, int p2, int p3, int p4, int d0, int d1)
{
    int near = p2 - p1;
    int far = p4 - p3;
    const int length = d1 - d0;
    if (near + far > length) {
        const int excess = near + far - length;
        near -= excess / 2;
        far -= (excess + 1) / 2;
        if (near < 0)
            far += near, near = 0;
        if (far < 0)
            near += far, far = 0;
    }
    return {{
        {p1, near, d0, near},
        {p2, p3 - p2, d0 + near, length - near - far},
        {p4 - far, far, d1 - far, far},
    }};
}

// Which source coordinate a destination coordinate of a span shows.
int source_in_span(const NineSlice::Span& span, int at, bool middle, bool stretch)
{
    const int offset = at - span.destination;
    if (!middle || span.source_length == span.destination_length)
        return span.source + offset;
    if (stretch)
        return span.source
            + static_cast<int>((2 * int64_t{offset} + 1) * span.source_length / (2 * int64_t{span.destination_length}));
    return span.source + offset % span.source_length;
}

const NineSlice::Span* span_at(const std::array<NineSlice::Span, 3>& spans, int at, bool& middle)
{
    for (size_t i = 0; i < spans.size(); ++i) {
        const NineSlice::Span& span = spans[i];
        if (at >= span.destination && at < span.destination + span.destination_length) {
            middle = i == 1;
            return span.source_length > 0 ? &span : nullptr;
        }
    }
    return nullptr;
}

} // namespace

NineSlice::NineSlice(const std::array<Point, 4>& p, Point origin, Point far_corner)
    : columns_(slice_axis(p[0].x, p[1].x, p[2].x, p[3].x, origin.x, far_corner.x))
    , rows_(slice_axis(p[0].y, p[1].y, p[2].y, p[3].y, origin.y, far_corner.y))
{
    if (far_corner.x <= origin.x || far_corner.y <= origin.y)
        return;
    // Corners, then the edges, then the centre.
    static constexpr int order[9][2] = {{0, 0}, {2, 0}, {0, 2}, {2, 2}, {0, 1}, {2, 1}, {1, 0}, {1, 2}, {1, 1}};
    for (const auto& [column, row] : order) {
        const Span& x = columns_[column];
        const Span& y = rows_[row];
        if (x.source_length <= 0 || y.source_length <= 0 || x.destination_length <= 0 || y.destination_length <= 0)
            continue;
        pieces_[count_++] = {
            {x.source, y.source, x.source_length, y.source_length},
            {x.destination, y.destination, x.destination_length, y.destination_length},
        };
    }
}

std::optional<Point> NineSlice::source_at(Point point, bool stretch) const
{
    bool middle_x = false, middle_y = false;
    const Span* x = span_at(columns_, point.x, middle_x);
    const Span* y = span_at(rows_, point.y, middle_y);
    if (!x || !y || count_ == 0)
        return std::nullopt;
    return Point{source_in_span(*x, point.x, middle_x, stretch), source_in_span(*y, point.y, middle_y, stretch)};
}

} // namespace skinner
