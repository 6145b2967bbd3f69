#pragma once

namespace skinner {

// Which cells of a grid count as selected and highlighted, and how the stylus and the
// keys change that. A grid inherits it virtually together with a concrete strategy,
// so the grid answers the data questions (rows, columns) and the callbacks while the
// strategy keeps the selection.
class GridSelectionStrategy {
public:
    struct Cell {
        int column = -1;
        int row = -1;
    };

    virtual ~GridSelectionStrategy() = default;

    virtual int row_count() const = 0;
    virtual int column_count() const = 0;
    virtual bool is_selected(int column, int row) const = 0;
    virtual void on_press(int column, int row) = 0;
    virtual void on_drag(int column, int row) = 0;
    virtual void on_release(int column, int row) = 0;
    // The right button, or tap-and-hold on a device.
    virtual void on_context_press(int column, int row) = 0;
    virtual void on_context_release(int column, int row) = 0;
    virtual void rows_inserted(int, int) { }
    virtual void rows_removed(int, int) { }
    // The cell under the stylus; -1, -1 for none.
    virtual void set_highlight(int column, int row) = 0;
    virtual bool is_highlighted(int column, int row) const = 0;
    virtual int highlight_column() const = 0;
    virtual int highlight_row() const = 0;
    // The cell that keyboard actions apply to.
    virtual Cell current_cell() const = 0;
    // Keyboard navigation with the framework's key codes; true when handled.
    virtual bool on_key(int key) = 0;

    // Implemented by the grid.
    virtual void selection_changed() = 0;
    virtual void highlight_changed() = 0;
    virtual void ensure_column_visible(int column) = 0;
    virtual void ensure_row_visible(int row) = 0;
};

// Keeps the highlighted cell and reports when it moves.
class GridSelectionStrategyWithHighlight : public virtual GridSelectionStrategy {
public:
    void set_highlight(int column, int row) override;
    int highlight_column() const override { return highlight_column_; }
    int highlight_row() const override { return highlight_row_; }

private:
    int highlight_column_ = -1;
    int highlight_row_ = -1;
};

// One current row, selected whatever the column; the stylus and the arrow keys move it.
class GridSelectionStrategySingleRow : public GridSelectionStrategyWithHighlight {
public:
    bool is_selected(int, int row) const override { return row == current_row_; }
    bool is_highlighted(int, int row) const override { return row == highlight_row(); }
    void on_press(int column, int row) override;
    void on_drag(int column, int row) override;
    void on_release(int, int) override { }
    void on_context_press(int column, int row) override;
    void on_context_release(int, int) override { }
    void rows_inserted(int at, int count) override;
    void rows_removed(int at, int count) override;
    Cell current_cell() const override { return {-1, current_row_}; }
    bool on_key(int key) override;

    int current_row() const { return current_row_; }
    // Reports a change and brings a real row into view.
    void set_current_row(int row);

private:
    // Makes a row current when it exists (a press past the end selects nothing).
    void choose(int row);

    int current_row_ = -1;
};

} // namespace skinner
