#include "skinner/controls/grid_selection_strategy.h"

#include "skinner/core/key_codes.h"

namespace skinner {

void GridSelectionStrategyWithHighlight::set_highlight(int column, int row)
{
    if (column == highlight_column_ && row == highlight_row_)
        return;
    highlight_column_ = column;
    highlight_row_ = row;
    highlight_changed();
}

void GridSelectionStrategySingleRow::on_press(int, int row) { choose(row); }

void GridSelectionStrategySingleRow::on_drag(int, int row) { choose(row); }

void GridSelectionStrategySingleRow::on_context_press(int, int row) { choose(row); }

void GridSelectionStrategySingleRow::choose(int row)
{
    if (row >= 0 && row < row_count())
        set_current_row(row);
}

void GridSelectionStrategySingleRow::rows_inserted(int at, int count)
{
    if (at < current_row_)
        current_row_ += count;
}

void GridSelectionStrategySingleRow::rows_removed(int at, int count)
{
    // A range that ends right above the current row still lies wholly above it.
    if (at + count <= current_row_)
        current_row_ -= count;
    else if (at < current_row_)
        current_row_ = -1;
}

void GridSelectionStrategySingleRow::set_current_row(int row)
{
    const bool changed = row != current_row_;
    current_row_ = row;
    if (changed)
        selection_changed();
    if (row >= 0 && row < row_count())
        ensure_row_visible(row);
}

bool GridSelectionStrategySingleRow::on_key(int key)
{
    const int rows = row_count();
    if (rows <= 0)
        return false;
    int row = current_row_;
    switch (key) {
    case key::up:
    case key::page_up:
        if (current_row_ == 0)
            return false;
        row = current_row_ < 0 ? 0 : current_row_ - 1;
        break;
    case key::down:
    case key::page_down:
        if (current_row_ >= rows - 1)
            return false;
        row = current_row_ + 1;
        break;
    case key::home:
        row = 0;
        break;
    case key::end:
        row = rows - 1;
        break;
    default:
        return false;
    }
    set_current_row(row);
    set_highlight(0, -1);
    ensure_row_visible(row);
    return true;
}

} // namespace skinner
