#pragma once

#include "skinner/controls/control_scroll_bar.h"
#include "skinner/core/control_panel.h"

namespace skinner {

// A panel that shows content larger than itself: given the content's size it decides
// which of its two scroll bars are needed, and places the content area and the bars
// inside its borders. The bars never take the focus.
class ControlPanelAutoScroll : public ControlPanel {
public:
    ControlPanelAutoScroll(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);
    ~ControlPanelAutoScroll() override;

    // Lays the content control out in the content area that remains once the needed
    // bars have taken their room, and shows exactly the needed bars.
    void layout_content(Control& content, int content_width, int content_height);
    void place_scroll_bars();

    ControlScrollBar& vertical_bar() { return vertical_; }
    ControlScrollBar& horizontal_bar() { return horizontal_; }
    const ControlScrollBar& vertical_bar() const { return vertical_; }
    const ControlScrollBar& horizontal_bar() const { return horizontal_; }
    Point content_position() const { return content_position_; }
    Point content_size() const { return content_size_; }

    void reload_properties() override;

private:
    void read_properties();

    ControlScrollBar vertical_;
    ControlScrollBar horizontal_;
    int scroll_width_ = 0;
    int scroll_height_ = 0;
    Point border_min_;
    Point border_max_;
    Point scroll_border_min_;
    Point scroll_border_max_;
    Point content_position_;
    Point content_size_;
};

} // namespace skinner
