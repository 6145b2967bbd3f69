#include "skinner/controls/control_grid.h"

#include <algorithm>

#include "liba/log.h"
#include "platform/base/message.h"
#include "skinner/core/key_codes.h"
#include "skinner/draw/canvas.h"
#include "skinner/skin/properties.h"

namespace skinner {

namespace {

constexpr double hold_seconds = 0.5;

} // namespace

ControlGrid::Painter::Painter(ControlGrid& grid)
    : Control(grid.inner(), u"", NodeMode::unskinned)
    , grid_(grid)
{
    set_wants_focus(false);
}

ControlGrid::ControlGrid(Container& container, std::u16string_view name, NodeMode mode)
    : ControlPanelAutoScroll(container, name, mode)
    , hold_timer_(*this)
    , painter_(*this)
{
    read_properties();
}

ControlGrid::~ControlGrid() = default;

void ControlGrid::read_properties()
{
    normal_ = picture(u"Normal", Picture());
    highlighted_ = picture(u"Highlighted", normal_);
    disabled_ = picture(u"Disabled", normal_);
    item_height_ = size_integer(u"ItemHeight", 40);
    item_normal_ = look(u"ItemNormal", Look {Picture(), Font(properties().scale()), Colour {}});
    item_selection_ = look(u"ItemSelection", item_normal_);
    item_highlight_ = look(u"ItemHighlight", item_normal_);
    item_selection_highlight_ = look(u"ItemSelectionHighlight", item_selection_);
    header_normal_ = look(u"HeaderNormal", item_normal_);
}

void ControlGrid::reload_properties()
{
    ControlPanelAutoScroll::reload_properties();
    read_properties();
    refresh();
}

const Look& ControlGrid::cell_style(bool selected, bool highlighted) const
{
    if (selected && highlighted)
        return item_selection_highlight_;
    if (selected)
        return item_selection_;
    if (highlighted)
        return item_highlight_;
    return item_normal_;
}

void ControlGrid::refresh()
{
    set_rectangle(position(), size());
    invalidate();
}

void ControlGrid::set_rectangle(Point position, Point size)
{
    ControlPanelAutoScroll::set_rectangle(position, size);
    const int rows = row_count();
    const int height = row_height();
    const int header = header_height();
    int fixed = 0;
    for (int column = 0; column < column_count(); ++column)
        fixed += std::max(0, column_width(column));
    const long long content_height = header + static_cast<long long>(height) * rows;
    layout_content(painter_, fixed, static_cast<int>(std::min<long long>(content_height, 1 << 30)));
    compute_edges(painter_.size().x);
    if (height > 0) {
        vertical_bar().set_range(0, rows);
        vertical_bar().set_page((painter_.size().y - header) / height);
        horizontal_bar().set_range(0, edges_.back());
        horizontal_bar().set_page(painter_.size().x);
    }
    place_scroll_bars();
}

void ControlGrid::compute_edges(int width)
{
    const int columns = column_count();
    int fixed = 0;
    int weights = 0;
    int last_weighted = -1;
    for (int column = 0; column < columns; ++column) {
        const int column_size = column_width(column);
        if (column_size >= 0) {
            fixed += column_size;
        } else {
            weights += column_size;
            last_weighted = column;
        }
    }
    const int free = std::max(0, width - fixed);
    edges_.assign(1, 0);
    int edge = 0;
    int shared = 0;
    for (int column = 0; column < columns; ++column) {
        const int column_size = column_width(column);
        if (column_size >= 0) {
            edge += column_size;
        } else {
            // The last weighted column takes what is left, so the edges reach the width.
            const int share = column == last_weighted
                ? free - shared
                : static_cast<int>(static_cast<long long>(free) * column_size / weights);
            shared += share;
            edge += share;
        }
        edges_.push_back(edge);
    }
}

int ControlGrid::visible_rows() const
{
    const int height = row_height();
    return height > 0 ? std::max(0, (painter_.size().y - header_height()) / height) : 0;
}

const Picture& ControlGrid::background() const
{
    if (!effectively_enabled())
        return disabled_;
    return is_focused() ? highlighted_ : normal_;
}

void ControlGrid::draw(CanvasImpl& canvas, Point update_origin, Point update_size)
{
    canvas.draw_picture(background(), position(), position() + size());
    inner().paint(canvas, update_origin, update_size);
    Control::draw(canvas, update_origin, update_size);
}

bool ControlGrid::hit_test(Point point) const
{
    return contains(point) && !background().is_transparent(point, position(), position() + size());
}

ControlGrid::Hit ControlGrid::hit_at(Point point) const
{
    Hit hit;
    const Point origin = painter_.position();
    const Point extent = painter_.size();
    const int x = point.x - origin.x + scroll_offset();
    for (size_t column = 0; column + 1 < edges_.size(); ++column)
        if (edges_[column] <= x && x < edges_[column + 1]) {
            hit.column = static_cast<int>(column);
            break;
        }
    const int y = point.y - origin.y;
    const int header = header_height();
    const int height = row_height();
    if (y < 0 || y >= extent.y)
        hit.area = Area::none;
    else if (y < header)
        hit.area = Area::header;
    else if (height > 0)
        hit.area = Area::rows;
    if (hit.area == Area::rows) {
        const int last_shown = first_visible_row() + (extent.y - header - 1) / height;
        hit.row = std::min({first_visible_row() + (y - header) / height, last_shown, row_count()});
    }
    const int row_for_origin = hit.area == Area::rows ? hit.row : first_visible_row();
    hit.inside_cell = point - cell_origin(std::max(hit.column, 0), row_for_origin);
    if (hit.area == Area::header)
        hit.inside_cell.y = point.y - origin.y;
    return hit;
}

Point ControlGrid::cell_origin(int column, int row) const
{
    const Point origin = painter_.position();
    const int left = column < static_cast<int>(edges_.size()) ? edges_[column] : edges_.back();
    return {origin.x + left - scroll_offset(), origin.y + header_height() + (row - first_visible_row()) * row_height()};
}

Point ControlGrid::cell_size(int column) const
{
    if (column < 0 || column + 1 >= static_cast<int>(edges_.size()))
        return {0, row_height()};
    return {edges_[column + 1] - edges_[column], row_height()};
}

void ControlGrid::Painter::draw(CanvasImpl& canvas, Point, Point)
{
    ControlGrid& grid = grid_;
    if (static_cast<int>(grid.edges_.size()) != grid.column_count() + 1)
        liba::fatal_error(u"ControlGrid::Painter::paint",
            u"Number of items in grid " + grid.id() + u" had changed, but no refresh was called");
    canvas.push_clip(position(), size());
    const int header = grid.header_height();
    const int columns = grid.column_count();
    for (int column = 0; column < columns; ++column)
        grid.draw_header_cell(column, canvas, {position().x + grid.edges_[column] - grid.scroll_offset(), position().y},
            {grid.edges_[column + 1] - grid.edges_[column], header});
    const int height = grid.row_height();
    const int rows = grid.row_count();
    if (height > 0)
        for (int row = grid.first_visible_row(), offset = header; row < rows && offset < size().y;
             ++row, offset += height)
            for (int column = 0; column < columns; ++column)
                grid.draw_cell(column, row, canvas, grid.cell_origin(column, row), grid.cell_size(column),
                    grid.is_selected(column, row), grid.is_highlighted(column, row));
    canvas.pop_clip();
}

bool ControlGrid::Painter::is_cell_button(const Hit& hit) const
{
    return hit.column == 0 && hit.area == Area::rows && hit.inside_cell.x < grid_.cell_button_width(hit.row);
}

void ControlGrid::Painter::on_pointer_moved(Point point)
{
    const Hit hit = grid_.hit_at(point);
    if (hit.area == Area::rows)
        grid_.set_highlight(hit.column, hit.row);
    else
        grid_.set_highlight(-1, -1);
    if (press_area_ == Area::rows)
        grid_.on_drag(hit.column, hit.row);
}

void ControlGrid::Painter::on_pointer_left() { grid_.set_highlight(-1, -1); }

void ControlGrid::Painter::on_left_down(Point point, int)
{
    const Hit hit = grid_.hit_at(point);
    if (is_cell_button(hit)) {
        grid_.cell_button_event(hit.column, hit.row, hit.inside_cell, platform::messages::left_down);
        return;
    }
    press_area_ = hit.area;
    if (hit.area == Area::rows)
        grid_.on_press(hit.column, hit.row);
}

void ControlGrid::Painter::on_left_up(Point point, int)
{
    const Hit hit = grid_.hit_at(point);
    const Area began = press_area_;
    press_area_ = Area::none;
    const CellEvent event {hit.column, hit.row, hit.inside_cell, platform::messages::left_up};
    if (began == Area::header && hit.area == Area::header) {
        grid_.notify_header_click(event);
    } else if (began == Area::rows) {
        grid_.on_release(hit.column, hit.row);
        if (hit.area == Area::rows)
            grid_.notify_cell_click(event);
    }
}

void ControlGrid::Painter::on_right_down(Point point, int)
{
    const Hit hit = grid_.hit_at(point);
    if (is_cell_button(hit)) {
        grid_.cell_button_event(hit.column, hit.row, hit.inside_cell, platform::messages::right_down);
        return;
    }
    if (hit.area == Area::rows) {
        context_press_ = true;
        grid_.on_context_press(hit.column, hit.row);
    }
}

void ControlGrid::Painter::on_right_up(Point point, int)
{
    if (!context_press_)
        return;
    context_press_ = false;
    const Hit hit = grid_.hit_at(point);
    grid_.on_context_release(hit.column, hit.row);
    const CellEvent event {hit.column, hit.row, hit.inside_cell, platform::messages::right_up};
    if (hit.area == Area::header)
        grid_.notify_header_context(event);
    else if (hit.area == Area::rows)
        grid_.notify_cell_context(event);
}

bool ControlGrid::on_key_down(int key, int)
{
    if (key == key::enter) {
        if (!hold_timer_.is_active())
            hold_timer_.start(hold_seconds);
        return false;
    }
    if (key == key::applications) {
        send_context_for_current_cell();
        return true;
    }
    if (!on_key(key))
        return false;
    refresh();
    return true;
}

bool ControlGrid::on_key_up(int key, int)
{
    if (key == key::enter)
        hold_timer_.cancel();
    return false;
}

void ControlGrid::on_timer(liba::Timer&) { send_context_for_current_cell(); }

void ControlGrid::send_context_for_current_cell()
{
    const Cell cell = current_cell();
    const int column = std::max(cell.column, 0);
    const Point extent = cell_size(column);
    notify_cell_context({cell.column, cell.row, {extent.x / 2, extent.y / 2}, platform::messages::right_up});
}

void ControlGrid::selection_changed()
{
    on_selection_changed(this);
    invalidate();
}

void ControlGrid::highlight_changed()
{
    on_highlight_changed(this);
    invalidate();
}

void ControlGrid::ensure_row_visible(int row)
{
    const int first = first_visible_row();
    const int shown = visible_rows();
    if (row < first)
        vertical_bar().set_position(row);
    else if (row >= first + shown)
        vertical_bar().set_position(row - shown + 1);
}

void ControlGrid::ensure_column_visible(int column)
{
    if (column < 0 || column + 1 >= static_cast<int>(edges_.size()))
        return;
    const int offset = scroll_offset();
    const int width = painter_.size().x;
    if (edges_[column + 1] > offset + width)
        horizontal_bar().set_position(edges_[column + 1] - width);
    else if (edges_[column] < offset)
        horizontal_bar().set_position(edges_[column]);
}

int ControlGrid::on_scrolled(Control* sender)
{
    if (sender == &vertical_bar() || sender == &horizontal_bar()) {
        invalidate();
        return 1;
    }
    return ControlPanelAutoScroll::on_scrolled(sender);
}

} // namespace skinner
