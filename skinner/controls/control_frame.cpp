#include "skinner/controls/control_frame.h"

#include <algorithm>

#include "skinner/controls/alignment_words.h"
#include "skinner/core/container.h"
#include "skinner/skin/properties.h"

namespace skinner {

namespace {

constexpr std::u16string_view line_break_marker = u"\\n";
constexpr std::u16string_view ellipsis = u"\u2026";

bool is_break(char16_t c) { return c <= 32; }

// The lines of a text broken to fit a width: at blanks (and other characters up to 32,
// which are dropped), at line feeds and at the backslash-n marker. A word wider than
// the width stands alone on its line.
std::vector<std::u16string> wrap_text(std::u16string_view text, const Font& font, int width)
{
    constexpr size_t none = std::u16string_view::npos;
    std::vector<std::u16string> lines;
    size_t start = 0;
    size_t last_break = none;
    const auto too_wide = [&](size_t end) {
        return CanvasImpl::measure_text(font, text.substr(start, end - start)).x > width;
    };
    const auto end_line = [&](size_t end, size_t next) {
        lines.emplace_back(text.substr(start, end - start));
        start = next;
        last_break = none;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, line_break_marker.size()) == line_break_marker) {
            end_line(i, i + line_break_marker.size());
            ++i;
        } else if (text[i] == u'\n') {
            end_line(i, i + 1);
        } else if (is_break(text[i])) {
            if (!too_wide(i)) {
                last_break = i;
            } else if (last_break != none) {
                end_line(last_break, last_break + 1);
                last_break = i;
            } else {
                end_line(i, i + 1);
            }
        }
    }
    if (last_break != none && too_wide(text.size()))
        end_line(last_break, last_break + 1);
    lines.emplace_back(text.substr(start));
    return lines;
}

} // namespace

ControlFrame::ControlFrame(Container& container, std::u16string_view name, NodeMode mode)
    : Control(container, name, mode)
    , font_(container.properties().scale())
{
    read_frame_properties();
    settle_focus();
}

void ControlFrame::read_frame_properties()
{
    border_min_ = point(u"BorderMin", {0, 0});
    border_max_ = point(u"BorderMax", border_min_);
    horizontal_ = horizontal_alignment_of(string(u"HAlignment", u""), CENTER);
    vertical_ = vertical_alignment_of(string(u"VAlignment", u""), VCENTER);
    background_ = picture(u"Normal", background_);
    font_ = font(u"Normal", Font(properties().scale()));
    colour_ = colour(u"Normal", colour_);
    text_ = string(u"Text", text_);
    wrap_ = integer(u"Wrap", 0) != 0;
    auto_size_ = integer(u"AutoSize", 0) != 0;
    ellipsis_ = integer(u"Ellipsis", 0) != 0;
    split_into_lines();
}

void ControlFrame::reload_properties()
{
    Control::reload_properties();
    read_frame_properties();
    invalidate();
}

void ControlFrame::set_text(std::u16string_view text)
{
    if (text == text_)
        return;
    text_ = text;
    split_into_lines();
    invalidate();
}

void ControlFrame::set_rectangle(Point position, Point size)
{
    const int width = available_width();
    Control::set_rectangle(position, size);
    // Wrapped lines follow the width (a turned screen).
    if (wrap_ && available_width() != width)
        split_into_lines();
}

void ControlFrame::split_into_lines()
{
    if (wrap_)
        lines_ = wrap_text(text_, font_, available_width());
    else
        lines_ = {text_};
    lines_size_ = {0, 0};
    if (auto_size_)
        for (const std::u16string& line : lines_) {
            const Point extent = CanvasImpl::measure_text(font_, line);
            lines_size_.x = std::max(lines_size_.x, extent.x);
            lines_size_.y += extent.y;
        }
    lines_size_ = lines_size_ + border_min_ + border_max_;
}

Point ControlFrame::needed_size() const
{
    return {std::max(lines_size_.x, skin_size().x), std::max(lines_size_.y, skin_size().y)};
}

void ControlFrame::draw(CanvasImpl& canvas, Point update_origin, Point update_size)
{
    canvas.draw_picture(background_, position(), position() + size());
    if (lines_.size() == 1) {
        Point origin = position() + border_min_;
        Point room = size() - border_min_ - border_max_;
        if (vertical_ == VCENTER) {
            const int extra = std::min(border_min_.y, border_max_.y);
            origin.y -= extra;
            room.y += 2 * extra;
        }
        if (ellipsis_)
            canvas.draw_text_ellipsis(font_, colour_, lines_.front(), origin, room, horizontal_, vertical_);
        else
            canvas.draw_text(font_, colour_, lines_.front(), origin, room, horizontal_, vertical_);
    } else {
        draw_lines(canvas);
    }
    Control::draw(canvas, update_origin, update_size);
}

void ControlFrame::draw_lines(CanvasImpl& canvas)
{
    canvas.push_clip(position(), size());
    const int line_height = CanvasImpl::measure_text(font_, u"").y;
    const int count = static_cast<int>(lines_.size());
    int top = border_min_.y;
    // Centred in the room between the borders, so that the lines an auto-sized frame
    // asked for all fit.
    if (vertical_ == VCENTER)
        top = border_min_.y + std::max(0, (size().y - border_min_.y - border_max_.y - line_height * count) / 2);
    else if (vertical_ == BOTTOM)
        top = size().y - border_max_.y - line_height * count;
    const int bottom = size().y - border_max_.y;
    const int width = available_width();
    int fitting = 0;
    while (fitting < count && top + (fitting + 1) * line_height <= bottom)
        ++fitting;
    for (int i = 0; i < fitting; ++i) {
        const Point origin = position() + Point{border_min_.x, top + i * line_height};
        // The last line that fits says that more text follows.
        if (ellipsis_ && fitting < count && i + 1 == fitting)
            canvas.draw_text_ellipsis(
                font_, colour_, lines_[i] + std::u16string(ellipsis), origin, {width, line_height}, horizontal_, TOP);
        else
            canvas.draw_text(font_, colour_, lines_[i], origin, {width, line_height}, horizontal_, TOP);
    }
    if (ellipsis_ && fitting == 0)
        canvas.draw_text(font_, colour_, ellipsis, position() + Point{border_min_.x, bottom - line_height},
            {width, line_height}, horizontal_, TOP);
    canvas.pop_clip();
}

} // namespace skinner
