#include "skinner/controls/control_progress_base.h"

#include <algorithm>
#include <cmath>

namespace skinner {

ControlProgressBase::ControlProgressBase(Container& container, std::u16string_view name, NodeMode mode)
    : Control(container, name, mode)
{
    read_pictures();
}

void ControlProgressBase::read_pictures()
{
    background_ = picture(u"Background", background_);
    track_ = picture(u"Track", track_);
    track_disabled_ = picture(u"TrackDisabled", track_disabled_);
}

void ControlProgressBase::reload_properties()
{
    Control::reload_properties();
    read_pictures();
    invalidate();
}

void ControlProgressBase::report_value(double value) { on_value_changed(this, value); }

void ControlProgressBase::report_value_set() { on_value_set(this); }

void ControlProgressBase::invalidate_change(double) { invalidate(); }

void ControlProgressBase::set_value(double value)
{
    const double clamped = std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
    if (clamped == value_)
        return;
    const double old_value = value_;
    value_ = clamped;
    report_value_set();
    invalidate_change(old_value);
}

void ControlProgressBase::set_value_in_range(double minimum, double maximum, double value)
{
    set_value(maximum > minimum ? (value - minimum) / (maximum - minimum) : 0.0);
}

void ControlProgressBase::on_left_down(Point point, int flag)
{
    if (flag != 0)
        return;
    dragging_ = true;
    report_value(value_at(point));
}

void ControlProgressBase::on_pointer_moved(Point point)
{
    if (dragging_)
        report_value(value_at(point));
}

void ControlProgressBase::on_left_up(Point, int) { dragging_ = false; }

} // namespace skinner
