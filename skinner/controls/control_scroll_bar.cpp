#include "skinner/controls/control_scroll_bar.h"

#include <algorithm>

namespace skinner {

namespace {

constexpr double repeat_interval = 0.1;
// Ticks of the repeat timer before holding a part starts repeating its action.
constexpr int repeat_delay_ticks = 5;

int along(Point point, bool vertical) { return vertical ? point.y : point.x; }

} // namespace

ControlScrollBar::Button::Button(ControlScrollBar& bar, Part part, std::u16string_view kind)
    : ControlButton(bar.inner(), kind, NodeMode::by_kind)
    , bar_(bar)
    , part_(part)
{
    set_wants_focus(false);
}

void ControlScrollBar::Button::on_left_down(Point point, int flag)
{
    ControlButton::on_left_down(point, flag);
    press_point_ = point - position();
    pressed_ = true;
    repeat_countdown_ = repeat_delay_ticks;
    start_timer(repeat_interval);
    bar_.act(part_);
}

void ControlScrollBar::Button::on_left_up(Point point, int flag)
{
    pressed_ = false;
    stop_timer();
    ControlButton::on_left_up(point, flag);
}

void ControlScrollBar::Button::on_pointer_moved(Point point)
{
    ControlButton::on_pointer_moved(point);
    if (pressed_ && part_ == Part::thumb)
        bar_.drag_thumb(along(point - press_point_, bar_.vertical()));
}

void ControlScrollBar::Button::on_timer(int, int)
{
    if (!pressed_)
        return;
    if (--repeat_countdown_ < 0 && effectively_enabled())
        bar_.act(part_);
}

ControlScrollBar::ControlScrollBar(Container& container, std::u16string_view kind)
    : ControlPanel(container, kind, NodeMode::by_kind)
{
    read_properties();
}

ControlScrollBar::~ControlScrollBar() = default;

void ControlScrollBar::read_properties()
{
    min_button_size_ = size_integer(u"MinButtonSize", 0);
    max_button_size_ = size_integer(u"MaxButtonSize", 0);
    minimum_ = integer(u"Min", 0);
    maximum_ = integer(u"Max", 0);
    page_ = integer(u"Page", 1);
    vertical_ = integer(u"Vertical", 0) != 0;
    const std::u16string space = string(u"KindSpace", u"");
    // Made in z-order: the spaces lowest, the thumb over them.
    parts_ = {};
    parts_[static_cast<int>(Part::space_before)] = std::make_unique<Button>(*this, Part::space_before, space);
    parts_[static_cast<int>(Part::space_after)] = std::make_unique<Button>(*this, Part::space_after, space);
    parts_[static_cast<int>(Part::start_arrow)]
        = std::make_unique<Button>(*this, Part::start_arrow, string(u"KindMin", u""));
    parts_[static_cast<int>(Part::end_arrow)] = std::make_unique<Button>(*this, Part::end_arrow, string(u"KindMax", u""));
    parts_[static_cast<int>(Part::thumb)] = std::make_unique<Button>(*this, Part::thumb, string(u"KindTrack", u""));
    set_position(position_, true);
}

void ControlScrollBar::reload_properties()
{
    ControlPanel::reload_properties();
    read_properties();
}

void ControlScrollBar::set_range(int minimum, int maximum)
{
    if (minimum == minimum_ && maximum == maximum_)
        return;
    minimum_ = minimum;
    maximum_ = maximum;
    set_position(position_, true);
    invalidate();
}

void ControlScrollBar::set_page(int page)
{
    if (page == page_)
        return;
    page_ = page;
    set_position(position_, true);
}

void ControlScrollBar::set_position(int value, bool force_layout)
{
    maximum_ = std::max(maximum_, minimum_);
    page_ = std::clamp(page_, 0, maximum_ - minimum_);
    const int position = std::min(std::max(value, minimum_), maximum_ - page_);
    const bool changed = position != position_;
    position_ = position;
    if (changed || force_layout) {
        lay_out_parts();
        invalidate();
    }
    if (changed)
        on_scrolled(this);
}

void ControlScrollBar::act(Part part)
{
    switch (part) {
    case Part::start_arrow:
        set_position(position_ - step_);
        break;
    case Part::end_arrow:
        set_position(position_ + step_);
        break;
    case Part::space_before:
        set_position(position_ - page_);
        break;
    case Part::space_after:
        set_position(position_ + page_);
        break;
    case Part::thumb:
        break;
    }
}

void ControlScrollBar::drag_thumb(int thumb_start)
{
    const int free = free_run();
    const int travelled = thumb_start - axis_start() - min_button_size_;
    const double fraction = free != 0 ? std::clamp(static_cast<double>(travelled) / free, 0.0, 1.0) : 0.0;
    set_position(minimum_ + static_cast<int>(fraction * (maximum_ - minimum_)));
}

void ControlScrollBar::set_rectangle(Point position, Point size)
{
    ControlPanel::set_rectangle(position, size);
    lay_out_parts();
}

int ControlScrollBar::axis_start() const { return along(ControlPanel::position(), vertical_); }

int ControlScrollBar::axis_length() const { return along(size(), vertical_); }

int ControlScrollBar::thumb_length() const
{
    const auto& thumb = parts_[static_cast<int>(Part::thumb)];
    return thumb ? along(thumb->state_looks()[STATE_NORMAL].picture.size(), vertical_) : 0;
}

int ControlScrollBar::free_run() const
{
    return std::max(0, axis_length() - min_button_size_ - max_button_size_ - thumb_length());
}

void ControlScrollBar::lay_out_parts()
{
    if (!parts_[0] || axis_length() <= 0)
        return;
    const double range = maximum_ - minimum_;
    const double position_fraction = range != 0 ? (position_ - minimum_) / range : 0.0;
    const double page_fraction = range != 0 ? page_ / range : 1.0;
    const int start = axis_start();
    const int end = start + axis_length();
    const int free = free_run();
    const int thumb_start = static_cast<int>(free * position_fraction + start + min_button_size_);
    const int after = static_cast<int>((1.0 - position_fraction - page_fraction) * free);
    const int space_after_start = end - max_button_size_ - after;
    // Each part spans [from, to) along the axis and the bar's whole thickness across.
    const auto place = [this](Part part, int from, int to) {
        const Point origin = ControlPanel::position();
        const Point thickness = size();
        const int length = std::max(0, to - from);
        Button& button = *parts_[static_cast<int>(part)];
        if (vertical_)
            button.set_rectangle({origin.x, from}, {thickness.x, length});
        else
            button.set_rectangle({from, origin.y}, {length, thickness.y});
    };
    place(Part::start_arrow, start, start + min_button_size_);
    place(Part::space_before, start + min_button_size_, thumb_start);
    place(Part::thumb, thumb_start, space_after_start);
    place(Part::space_after, space_after_start, end - max_button_size_);
    place(Part::end_arrow, end - max_button_size_, end);
}

} // namespace skinner
