#pragma once

#include "skinner/core/container.h"
#include "skinner/core/control.h"

namespace skinner {

// A control that embeds a container whose controls come from another form of the
// skin, its template ("FormTemplate"). Events, focus and drawing pass through to the
// embedded container; the panel's own background is drawn under them.
class ControlPanel : public Control {
public:
    ControlPanel(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id,
        Properties* properties = nullptr);
    ~ControlPanel() override;

    Container& inner() { return inner_; }
    const Container& inner() const { return inner_; }

    void draw(CanvasImpl& canvas, Point update_origin, Point update_size) override;
    bool hit_test(Point point) const override;
    void set_rectangle(Point position, Point size) override;
    void on_pointer_moved(Point point) override { inner_.pointer_moved(point); }
    void on_pointer_left() override { inner_.pointer_left(); }
    void on_left_down(Point point, int) override { inner_.button_down(LEFT_BUTTON, point); }
    void on_left_up(Point point, int) override { inner_.button_up(LEFT_BUTTON, point); }
    void on_right_down(Point point, int) override { inner_.button_down(RIGHT_BUTTON, point); }
    void on_right_up(Point point, int) override { inner_.button_up(RIGHT_BUTTON, point); }
    void on_middle_down(Point point, int) override { inner_.button_down(MIDDLE_BUTTON, point); }
    void on_middle_up(Point point, int) override { inner_.button_up(MIDDLE_BUTTON, point); }
    void on_pointer_event(Point point, int value) override { inner_.pointer_event(point, value); }
    bool on_text(std::u16string_view text) override { return inner_.on_text(text); }
    bool on_key_down(int key, int) override { return inner_.on_key_down(key); }
    bool on_key_up(int key, int) override { return inner_.on_key_up(key); }
    void on_timer_message(int id, int value) override;
    void on_shown(bool shown) override { inner_.set_visible(shown); }
    void on_enabled(bool enabled) override { inner_.set_enabled(enabled); }
    bool wants_gestures() const override;
    bool on_window_activation() override;
    void on_focus_gained() override;
    void on_focus_lost() override;
    Point needed_size() const override;
    void reload_properties() override;
    int on_focus_request(Control* sender) override;

private:
    // The embedded container, whose notifications come to the panel.
    class Inner : public Container {
    public:
        Inner(ControlPanel& panel, Form* form, Properties& properties, std::u16string_view template_name);
    };

    void read_background();
    void build_inner();

    Inner inner_;
    Picture background_;
};

} // namespace skinner
