#include "skinner/controls/control_picture.h"

#include <algorithm>

#include "skinner/controls/alignment_words.h"

namespace skinner {

namespace {

// Where a length of drawn pixels sits in a room of the given length.
int aligned(int alignment, int room, int drawn, int near_value, int far_value)
{
    if (alignment == near_value)
        return 0;
    if (alignment == far_value)
        return room - drawn;
    return (room - drawn) / 2;
}

} // namespace

ControlPicture::ControlPicture(Container& container, std::u16string_view name, NodeMode mode)
    : ControlButton(container, name, mode)
{
    renew_behaviour();
    read_picture_properties();
    settle_focus();
}

std::unique_ptr<ControlButtonImpl> ControlPicture::make_behaviour()
{
    return std::make_unique<ControlButtonImpl>(true, false);
}

void ControlPicture::read_picture_properties()
{
    horizontal_ = horizontal_alignment_of(string(u"PictureHAlignment", u""), CENTER);
    vertical_ = vertical_alignment_of(string(u"PictureVAlignment", u""), VCENTER);
    picture_ = picture(u"Picture", picture_);
}

void ControlPicture::reload_properties()
{
    ControlButton::reload_properties();
    read_picture_properties();
}

void ControlPicture::set_picture(const Picture& picture)
{
    picture_ = picture;
    invalidate();
}

Point ControlPicture::drawn_size() const
{
    const Point own = picture_.size();
    if (own.x <= 0 || own.y <= 0)
        return {0, 0};
    const double factor_x = size().x < own.x ? static_cast<double>(size().x) / own.x : 1.0;
    const double factor_y = size().y < own.y ? static_cast<double>(size().y) / own.y : 1.0;
    const double factor = std::max(0.0, std::min(factor_x, factor_y));
    return {static_cast<int>(own.x * factor), static_cast<int>(own.y * factor)};
}

Point ControlPicture::drawn_origin() const
{
    const Point drawn = drawn_size();
    return position() +
        Point{aligned(horizontal_, size().x, drawn.x, LEFT, RIGHT), aligned(vertical_, size().y, drawn.y, TOP, BOTTOM)};
}

void ControlPicture::draw(CanvasImpl& canvas, Point, Point)
{
    const Point drawn = drawn_size();
    if (drawn.x > 0 && drawn.y > 0) {
        const Point origin = drawn_origin();
        canvas.draw_picture(picture_, origin, origin + drawn);
    }
}

} // namespace skinner
