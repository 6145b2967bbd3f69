#include "skinner/controls/control_panel_auto_scroll.h"

namespace skinner {

ControlPanelAutoScroll::ControlPanelAutoScroll(Container& container, std::u16string_view name, NodeMode mode)
    : ControlPanel(container, name, mode)
    , vertical_(inner(), string(u"KindScroll", u""))
    , horizontal_(inner(), string(u"KindHScroll", u""))
{
    vertical_.set_wants_focus(false);
    horizontal_.set_wants_focus(false);
    read_properties();
}

ControlPanelAutoScroll::~ControlPanelAutoScroll() = default;

void ControlPanelAutoScroll::read_properties()
{
    scroll_width_ = size_integer(u"ScrollWidth", 0);
    scroll_height_ = size_integer(u"ScrollHeight", scroll_width_);
    border_min_ = point(u"BorderMin", {0, 0});
    border_max_ = point(u"BorderMax", border_min_);
    scroll_border_min_ = point(u"ScrollBorderMin", {0, 0});
    scroll_border_max_ = point(u"ScrollBorderMax", scroll_border_min_);
}

void ControlPanelAutoScroll::reload_properties()
{
    ControlPanel::reload_properties();
    read_properties();
}

void ControlPanelAutoScroll::layout_content(Control& content, int content_width, int content_height)
{
    content_position_ = position() + border_min_;
    content_size_ = size() - border_min_ - border_max_;
    const int vertical_room = scroll_border_min_.x + scroll_border_max_.x + scroll_width_;
    const int horizontal_room = scroll_border_min_.y + scroll_border_max_.y + scroll_height_;
    bool needs_vertical = content_height > content_size_.y;
    if (needs_vertical)
        content_size_.x -= vertical_room;
    const bool needs_horizontal = content_width > content_size_.x;
    if (needs_horizontal)
        content_size_.y -= horizontal_room;
    // The horizontal bar's height can make the content too tall after all.
    if (!needs_vertical && content_height > content_size_.y) {
        needs_vertical = true;
        content_size_.x -= vertical_room;
    }
    content.set_rectangle(content_position_, content_size_);
    vertical_.set_visible(needs_vertical);
    horizontal_.set_visible(needs_horizontal);
}

void ControlPanelAutoScroll::place_scroll_bars()
{
    const Point area = content_position_;
    const Point extent = content_size_;
    vertical_.set_rectangle({area.x + extent.x + scroll_border_min_.x, area.y + scroll_border_min_.y},
        {scroll_width_, extent.y - scroll_border_min_.y - scroll_border_max_.y});
    horizontal_.set_rectangle({area.x + scroll_border_min_.x, area.y + extent.y + scroll_border_min_.y},
        {extent.x - scroll_border_min_.x - scroll_border_max_.x, scroll_height_});
}

} // namespace skinner
