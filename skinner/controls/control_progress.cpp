#include "skinner/controls/control_progress.h"

#include <algorithm>

#include "skinner/core/form.h"
#include "skinner/draw/canvas.h"

namespace skinner {

namespace {

// A length of the free run times a value, truncated to whole pixels.
int part(int length, double value) { return static_cast<int>(length * value); }

// The longer of a picture's two end pieces along an axis, which move with its end.
int end_cap(const Picture& picture, bool horizontal)
{
    const auto& p = picture.points();
    return horizontal ? std::max(p[1].x - p[0].x, p[3].x - p[2].x) : std::max(p[1].y - p[0].y, p[3].y - p[2].y);
}

} // namespace

ControlProgress::ControlProgress(Container& container, std::u16string_view name, NodeMode mode)
    : ControlProgressBase(container, name, mode)
{
    read_progress_properties();
}

void ControlProgress::read_progress_properties()
{
    orientation_ = integer(u"Orientation", PROGRESS_LEFT_TO_RIGHT);
    progress_ = picture(u"Progress", progress_);
    track_size_ = size_integer(u"TrackSize", 0);
}

void ControlProgress::reload_properties()
{
    ControlProgressBase::reload_properties();
    read_progress_properties();
}

double ControlProgress::value_at(Point point) const
{
    const Point at = position();
    const Point extent = size();
    const int centre = track_size_ / 2;
    int numerator = 0;
    int denominator = 0;
    switch (orientation_) {
    case PROGRESS_TOP_TO_BOTTOM:
        numerator = point.y - at.y - centre;
        denominator = extent.y - track_size_;
        break;
    case PROGRESS_RIGHT_TO_LEFT:
        numerator = at.x + extent.x - centre - point.x;
        denominator = extent.x - track_size_;
        break;
    case PROGRESS_BOTTOM_TO_TOP:
        numerator = at.y + extent.y - centre - point.y;
        denominator = extent.y - track_size_;
        break;
    case PROGRESS_LEFT_TO_RIGHT:
        numerator = point.x - at.x - centre;
        denominator = extent.x - track_size_;
        break;
    default:
        return 0.0;
    }
    if (denominator == 0)
        return 0.0;
    return std::clamp(static_cast<double>(numerator) / denominator, 0.0, 1.0);
}

void ControlProgress::thumb_rectangle(double value, Point& origin, Point& size) const
{
    const Point at = position();
    const Point extent = this->size();
    const int free_x = extent.x - track_size_;
    const int free_y = extent.y - track_size_;
    switch (orientation_) {
    case PROGRESS_TOP_TO_BOTTOM:
        origin = {at.x, at.y + part(free_y, value)};
        size = {extent.x, track_size_};
        return;
    case PROGRESS_RIGHT_TO_LEFT:
        origin = {at.x + part(free_x, 1.0 - value), at.y};
        size = {track_size_, extent.y};
        return;
    case PROGRESS_BOTTOM_TO_TOP:
        origin = {at.x, at.y + part(free_y, 1.0 - value)};
        size = {extent.x, track_size_};
        return;
    case PROGRESS_LEFT_TO_RIGHT:
        origin = {at.x + part(free_x, value), at.y};
        size = {track_size_, extent.y};
        return;
    default:
        origin = at;
        size = {0, 0};
        return;
    }
}

void ControlProgress::draw(CanvasImpl& canvas, Point update_origin, Point update_size)
{
    const Point at = position();
    const Point extent = size();
    const Point far_corner = at + extent;
    const double v = value();
    const int free_x = extent.x - track_size_;
    const int free_y = extent.y - track_size_;
    switch (orientation_) {
    case PROGRESS_TOP_TO_BOTTOM:
        canvas.draw_picture(background(), at, far_corner);
        canvas.draw_picture(progress_, at, at + Point{extent.x, part(free_y, v)});
        break;
    case PROGRESS_LEFT_TO_RIGHT:
        canvas.draw_picture(background(), at, far_corner);
        canvas.draw_picture(progress_, at, at + Point{part(free_x, v), extent.y});
        break;
    case PROGRESS_BOTTOM_TO_TOP:
        canvas.draw_picture(progress_, at, far_corner);
        canvas.draw_picture(background(), at, at + Point{extent.x, part(free_y, 1.0 - v)});
        break;
    case PROGRESS_RIGHT_TO_LEFT:
        canvas.draw_picture(progress_, at, far_corner);
        canvas.draw_picture(background(), at, at + Point{part(free_x, 1.0 - v), extent.y});
        break;
    default:
        canvas.draw_picture(background(), at, far_corner);
        break;
    }
    Point thumb_origin;
    Point thumb_size;
    thumb_rectangle(v, thumb_origin, thumb_size);
    if (thumb_size.x > 0 && thumb_size.y > 0)
        canvas.draw_picture(thumb(), thumb_origin, thumb_origin + thumb_size);
    Control::draw(canvas, update_origin, update_size);
}

// Only the stretch between the old thumb and the new one changes, with the end caps
// of the pictures that end under the thumb (bar art is even along its axis between its
// caps): the 10 ms position timer moves the bar all the time.
void ControlProgress::invalidate_change(double old_value)
{
    Point old_origin;
    Point new_origin;
    Point thumb_size;
    thumb_rectangle(old_value, old_origin, thumb_size);
    thumb_rectangle(value(), new_origin, thumb_size);
    Form* owner = form();
    if (!owner || !effectively_visible() || thumb_size == Point{0, 0}) {
        invalidate();
        return;
    }
    const bool horizontal = orientation_ == PROGRESS_LEFT_TO_RIGHT || orientation_ == PROGRESS_RIGHT_TO_LEFT;
    const int cap = std::max(end_cap(progress_, horizontal), end_cap(background(), horizontal));
    const Point reach = horizontal ? Point{cap, 0} : Point{0, cap};
    const Point low = Point{std::min(old_origin.x, new_origin.x), std::min(old_origin.y, new_origin.y)} - reach;
    const Point high =
        Point{std::max(old_origin.x, new_origin.x), std::max(old_origin.y, new_origin.y)} + thumb_size + reach;
    const Point from{std::max(low.x, position().x), std::max(low.y, position().y)};
    const Point to{std::min(high.x, position().x + size().x), std::min(high.y, position().y + size().y)};
    owner->invalidate(from, {std::max(to.x - from.x, 1), std::max(to.y - from.y, 1)});
}

} // namespace skinner
