#pragma once

#include <array>
#include <optional>

#include "platform/base/geometry.h"
#include "skinner/draw/geometry.h"

namespace skinner {

// How a picture with corners P1 (outer top-left), P2 (inner top-left), P3 (inner
// bottom-right) and P4 (outer bottom-right) covers a destination rectangle: corners
// 1:1 at the destination's corners (reduced evenly when they do not fit), edges and
// centre stretched or tiled between them.
class NineSlice {
public:
    // One source span and the destination span it covers, along one axis.
    struct Span {
        int source = 0;
        int source_length = 0;
        int destination = 0;
        int destination_length = 0;
    };
    struct Piece {
        platform::Rect source;
        platform::Rect destination;
    };

    NineSlice(const std::array<Point, 4>& points, Point origin, Point far_corner);

    // The pieces to draw, corners first; pieces with nothing to draw are left out.
    int piece_count() const { return count_; }
    const Piece& piece(int index) const { return pieces_[index]; }

    // The source pixel drawn at a destination point, or none outside the rectangle
    // or where nothing is drawn. stretch chooses proportional placement in the
    // middle spans, otherwise the middle repeats from its start.
    std::optional<Point> source_at(Point point, bool stretch) const;

private:
    std::array<Span, 3> columns_;
    std::array<Span, 3> rows_;
    std::array<Piece, 9> pieces_;
    int count_ = 0;
};

} // namespace skinner
