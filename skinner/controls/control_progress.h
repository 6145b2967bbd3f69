#pragma once

#include "skinner/controls/control_progress_base.h"

namespace skinner {

// Where value 0 and value 1 of a bar lie ("Orientation").
enum ProgressOrientation {
    PROGRESS_TOP_TO_BOTTOM = 0,
    PROGRESS_RIGHT_TO_LEFT = 1,
    PROGRESS_BOTTOM_TO_TOP = 2,
    PROGRESS_LEFT_TO_RIGHT = 3,
};

// The skin's progress and position bar: the filled part ("Progress") runs from the
// value-0 edge up to and under the thumb, which is "TrackSize" pixels long on the
// axis.
class ControlProgress : public ControlProgressBase {
public:
    ControlProgress(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);

    double value_at(Point point) const override;
    void draw(CanvasImpl& canvas, Point update_origin, Point update_size) override;
    void reload_properties() override;

    int orientation() const { return orientation_; }
    int track_size() const { return track_size_; }
    // The thumb's rectangle for a value (origin and size); empty for an unknown
    // orientation.
    void thumb_rectangle(double value, Point& origin, Point& size) const;

protected:
    void invalidate_change(double old_value) override;

private:
    void read_progress_properties();

    int orientation_ = PROGRESS_LEFT_TO_RIGHT;
    Picture progress_;
    int track_size_ = 0;
};

} // namespace skinner
