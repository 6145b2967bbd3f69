#pragma once

#include <array>

#include "skinner/controls/control_button.h"
#include "skinner/core/control_panel.h"

namespace skinner {

// A skinned scroll bar: an integer position within a range, of which a page is shown,
// moved by two arrows, the free space on either side of the thumb and the thumb
// itself. Every change of the position raises the scrolled notification. All its
// properties come from a skin kind.
class ControlScrollBar : public ControlPanel {
public:
    ControlScrollBar(Container& container, std::u16string_view kind);
    ~ControlScrollBar() override;

    void set_range(int minimum, int maximum);
    void set_page(int page);
    // Keeps the position within [minimum, maximum - page]; lays the bar out again when
    // the position changed or when forced.
    void set_position(int value, bool force_layout = false);

    int position() const { return position_; }
    int page() const { return page_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int step() const { return step_; }
    bool vertical() const { return vertical_; }

    void set_rectangle(Point position, Point size) override;
    void reload_properties() override;

private:
    // The two arrows, the free spaces before and after the thumb, and the thumb.
    enum class Part { start_arrow, end_arrow, space_before, space_after, thumb };

    // One of the five parts: it acts once when pressed and then repeats while held,
    // after a pause; the thumb follows the stylus instead.
    class Button : public ControlButton {
    public:
        Button(ControlScrollBar& bar, Part part, std::u16string_view kind);

        void on_left_down(Point point, int flag) override;
        void on_left_up(Point point, int flag) override;
        void on_pointer_moved(Point point) override;
        void on_timer(int id, int value) override;

    private:
        ControlScrollBar& bar_;
        const Part part_;
        Point press_point_;
        bool pressed_ = false;
        int repeat_countdown_ = 0;
    };

    void read_properties();
    void act(Part part);
    // The thumb was dragged so that its start lies at `thumb_start` along the axis.
    void drag_thumb(int thumb_start);
    void lay_out_parts();
    // Along the axis: the bar's start and length, and the thumb's natural length.
    int axis_start() const;
    int axis_length() const;
    int thumb_length() const;
    // The run the thumb can travel.
    int free_run() const;

    int min_button_size_ = 0;
    int max_button_size_ = 0;
    int minimum_ = 0;
    int maximum_ = 0;
    int page_ = 1;
    int step_ = 1;
    int position_ = 0;
    bool vertical_ = false;
    std::array<std::unique_ptr<Button>, 5> parts_;
};

} // namespace skinner
