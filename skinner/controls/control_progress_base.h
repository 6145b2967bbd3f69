#pragma once

#include "skinner/core/control.h"

namespace skinner {

// A value between 0 and 1 shown on skin pictures ("Background", and the thumb
// "Track", or "TrackDisabled" while disabled), which reports the value under the
// stylus while it is pressed and dragged (Listener::on_value_changed) without moving
// itself: its owner decides, and sets the value (Listener::on_value_set follows).
class ControlProgressBase : public Control {
public:
    ControlProgressBase(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);

    virtual void report_value(double value);
    virtual void report_value_set();
    // The value whose thumb centre lies under the point, within [0, 1].
    virtual double value_at(Point point) const = 0;

    void on_pointer_moved(Point point) override;
    void on_left_down(Point point, int flag) override;
    void on_left_up(Point point, int flag) override;
    void reload_properties() override;

    // Clamped to [0, 1] (a value that is no number counts as 0); a change is reported
    // and redrawn.
    void set_value(double value);
    // The place of value between minimum and maximum; 0 when the range is empty or
    // runs backwards.
    void set_value_in_range(double minimum, double maximum, double value);

    double value() const { return value_; }
    bool dragging() const { return dragging_; }

protected:
    // The part of the control that a change of value from old_value redraws.
    virtual void invalidate_change(double old_value);
    const Picture& background() const { return background_; }
    // The thumb's picture for the enabled state now.
    const Picture& thumb() const { return effectively_enabled() ? track_ : track_disabled_; }

private:
    void read_pictures();

    Picture background_;
    Picture track_;
    Picture track_disabled_;
    double value_ = 0.0;
    bool dragging_ = false;
};

} // namespace skinner
