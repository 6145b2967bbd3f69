#pragma once

#include <vector>

#include "liba/active.h"
#include "skinner/controls/control_panel_auto_scroll.h"
#include "skinner/controls/grid_selection_strategy.h"

namespace skinner {

// A scrollable list or table whose cells a derived class draws. The grid knows no
// data: it asks its derived class (and its selection strategy) for the rows, the
// columns, their widths and the cells' looks, and turns stylus and key input into
// selection, highlighting and notifications, which it raises on itself so that a
// derived grid may intercept them. A column width of zero or more is in pixels; a
// negative one is a weight in sharing the free width.
class ControlGrid : public ControlPanelAutoScroll, public virtual GridSelectionStrategy, liba::Timer::Listener {
public:
    ControlGrid(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);
    ~ControlGrid() override;

    virtual int row_height() const { return item_height_; }
    virtual int header_height() const { return 0; }
    virtual int column_width(int) const { return -1; }
    virtual void draw_cell(int column, int row, CanvasImpl& canvas, Point position, Point size, bool selected,
        bool highlighted)
        = 0;
    virtual void draw_header_cell(int, CanvasImpl&, Point, Point) { }
    virtual void notify_cell_click(const CellEvent& event) { on_cell_click(this, event); }
    virtual void notify_cell_context(const CellEvent& event) { on_cell_context(this, event); }
    virtual void notify_header_click(const CellEvent& event) { on_header_click(this, event); }
    virtual void notify_header_context(const CellEvent& event) { on_header_context(this, event); }
    // A press on the button drawn at the start of a row's first cell.
    virtual void cell_button_event(int, int, Point, std::uint32_t) { }
    virtual int cell_button_width(int) const { return 0; }
    virtual const Look& cell_style(bool selected, bool highlighted) const;

    // Lays the grid out again after its rows or columns changed, and repaints it.
    void refresh();
    int first_visible_row() const { return vertical_bar().position(); }
    int scroll_offset() const { return horizontal_bar().position(); }
    // Rows that fit wholly below the header.
    int visible_rows() const;
    const std::vector<int>& column_edges() const { return edges_; }

    void selection_changed() override;
    void highlight_changed() override;
    void ensure_column_visible(int column) override;
    void ensure_row_visible(int row) override;

    void set_rectangle(Point position, Point size) override;
    void draw(CanvasImpl& canvas, Point update_origin, Point update_size) override;
    bool hit_test(Point point) const override;
    bool on_key_down(int key, int flag) override;
    bool on_key_up(int key, int flag) override;
    void reload_properties() override;
    int on_scrolled(Control* sender) override;
    using Control::on_timer;

    const Look& header_style() const { return header_normal_; }

private:
    enum class Area { header = 0, rows = 1, none = 2 };

    struct Hit {
        int column = -1;
        int row = -1;
        Area area = Area::none;
        Point inside_cell;
    };

    // The area in which the cells are drawn and the stylus is tracked.
    class Painter : public Control {
    public:
        explicit Painter(ControlGrid& grid);

        void draw(CanvasImpl& canvas, Point update_origin, Point update_size) override;
        void on_pointer_moved(Point point) override;
        void on_pointer_left() override;
        void on_left_down(Point point, int flag) override;
        void on_left_up(Point point, int flag) override;
        void on_right_down(Point point, int flag) override;
        void on_right_up(Point point, int flag) override;

    private:
        // The press went to the row's cell button instead.
        bool is_cell_button(const Hit& hit) const;

        ControlGrid& grid_;
        Area press_area_ = Area::none;
        bool context_press_ = false;
    };

    void read_properties();
    const Picture& background() const;
    void compute_edges(int width);
    Hit hit_at(Point point) const;
    Point cell_origin(int column, int row) const;
    Point cell_size(int column) const;
    void send_context_for_current_cell();
    void on_timer(liba::Timer& timer) override;

    Picture normal_;
    Picture highlighted_;
    Picture disabled_;
    int item_height_ = 40;
    Look item_normal_;
    Look item_selection_;
    Look item_highlight_;
    Look item_selection_highlight_;
    Look header_normal_;
    std::vector<int> edges_{0};
    liba::Timer hold_timer_;
    Painter painter_;
};

} // namespace skinner
