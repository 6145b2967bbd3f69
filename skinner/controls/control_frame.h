#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "skinner/core/control.h"
#include "skinner/draw/canvas.h"

namespace skinner {

// A text label on a background picture (both, with the font and colour, under
// "Normal"). With "Wrap" the text breaks at blanks to fit the width, and at line
// feeds and the two characters backslash and n; with "AutoSize" it asks for the size
// its lines need; with "Ellipsis" a text that does not fit ends in "…". Never
// focused.
class ControlFrame : public Control {
public:
    ControlFrame(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);

    bool wants_focus() const override { return false; }
    void draw(CanvasImpl& canvas, Point update_origin, Point update_size) override;
    // The larger, per axis, of what the lines need and the skin size.
    Point needed_size() const override;
    void set_rectangle(Point position, Point size) override;
    void reload_properties() override;

    void set_text(std::u16string_view text);
    const std::u16string& text() const { return text_; }
    const std::vector<std::u16string>& lines() const { return lines_; }
    const Font& text_font() const { return font_; }
    // The width the text may take: the frame's less its borders.
    int available_width() const { return size().x - border_min_.x - border_max_.x; }

private:
    void read_frame_properties();
    void split_into_lines();
    void draw_lines(CanvasImpl& canvas);

    Point border_min_;
    Point border_max_;
    Picture background_;
    Font font_;
    Colour colour_;
    std::u16string text_;
    int horizontal_ = CENTER;
    int vertical_ = VCENTER;
    Point lines_size_;
    std::vector<std::u16string> lines_;
    bool wrap_ = false;
    bool auto_size_ = false;
    bool ellipsis_ = false;
};

} // namespace skinner
