#pragma once

#include "skinner/controls/control_button.h"

namespace skinner {

// A picture ("Picture") fitted into the control: shrunk, never enlarged, keeping its
// proportions, and placed by "PictureHAlignment" and "PictureVAlignment". Not
// clickable and never focused.
class ControlPicture : public ControlButton {
public:
    ControlPicture(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);

    bool wants_focus() const override { return false; }
    bool hit_test(Point) const override { return false; }
    void draw(CanvasImpl& canvas, Point update_origin, Point update_size) override;
    void reload_properties() override;

    void set_picture(const Picture& picture);
    const Picture& shown_picture() const { return picture_; }
    // Where the picture is drawn and at what size.
    Point drawn_origin() const;
    Point drawn_size() const;

protected:
    // A picture is no soft-key entry, caption or OK button, whatever its action.
    std::unique_ptr<ControlButtonImpl> make_behaviour() override;

private:
    void read_picture_properties();

    Picture picture_;
    int horizontal_ = CENTER;
    int vertical_ = VCENTER;
};

} // namespace skinner
