#pragma once

#include <array>
#include <string_view>

#include "skinner/draw/geometry.h"

namespace skinner {

class CanvasImpl;
class ImageRecord;

// A skin picture: a shared image (with its mask) and four points that cut it into
// corners, edges and centre for nine-slice drawing. P1 outer top-left, P2 inner
// top-left, P3 inner bottom-right, P4 outer bottom-right, in image pixels. Copies
// share the image. Used on the user-interface thread only.
class Picture {
public:
    Picture() = default;
    // The whole image as a tiled centre; the image comes from the process-wide cache.
    Picture(std::u16string_view skin_path, std::u16string_view name, bool stretch, int scale);
    Picture(const Picture& other);
    Picture& operator=(const Picture& other);
    ~Picture();

    void set_points(Point p1, Point p2, Point p3, Point p4, bool stretch);
    const std::array<Point, 4>& points() const { return points_; }
    bool stretch() const { return stretch_; }
    // P4 - P1.
    Point size() const { return points_[3] - points_[0]; }

    // Draws into the rectangle from origin to far_corner (exclusive).
    void draw(CanvasImpl& canvas, Point origin, Point far_corner) const;
    // Whether the picture drawn into that rectangle leaves the point uncovered:
    // outside the rectangle, or on a black mask pixel.
    bool is_transparent(Point point, Point origin, Point far_corner) const;

    bool has_record() const { return record_ != nullptr; }
    // A record that failed to load has no bitmap, and the picture draws nothing.
    bool has_bitmap() const;
    const ImageRecord* record() const { return record_; }

private:
    ImageRecord* record_ = nullptr;
    std::array<Point, 4> points_{};
    bool stretch_ = false;
};

} // namespace skinner
