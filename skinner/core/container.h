#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skinner/core/control.h"
#include "skinner/core/listener.h"

namespace skinner {

// The controls of one form or one panel: kept in z-order, placed by their anchors
// whenever the container's rectangle changes, given the focus, the hover and the
// pointer capture, fed with pointer, key, text and timer events, and painted lowest
// first. The controls the skin lists for the container's form are created here (the
// "Auto." classes) and owned; those code creates belong to their makers. A container's
// notifications go to its owner.
class Container : public Listener {
public:
    Container(Form* form, Properties& properties, std::u16string_view name, NodeMode mode, Listener* owner);
    ~Container() override;

    virtual void set_focus(Control* control);
    virtual bool shows_focus(const Control& control) const { return active_ && focused_ == &control; }
    virtual void set_active(bool active);
    // Stores the rectangle and lays out every control.
    virtual void set_rectangle(Point origin, Point size);
    // Rebuilds the skin's controls and lets every control read its properties again.
    virtual void reload_skin();
    // Each goes to the focused control and answers whether it was taken.
    virtual bool on_text(std::u16string_view text);
    // The focused control first; then Up, Down and Tab move the focus.
    virtual bool on_key_down(int key);
    virtual bool on_key_up(int key);
    virtual void on_timer_message(int id);

    // Called by the controls themselves while they are made and destroyed.
    void register_control(Control& control);
    void unregister_control(Control& control);
    // A control's z-order changed: a stable sort keeps equal ones in their order.
    void sort_by_z_order();
    // Places one control by the anchor rules.
    void lay_out(Control& control) const;
    Control* find_control(std::u16string_view id) const;

    void set_visible(bool visible);
    void set_enabled(bool enabled);
    void paint(CanvasImpl& canvas, Point update_origin, Point update_size);
    void pointer_moved(Point point);
    // The pointer left the container's area: nothing is hovered unless captured.
    void pointer_left();
    // flag reaches the control (a form window sets it for a double tap).
    void button_down(PointerButton button, Point point, int flag = 0);
    void button_up(PointerButton button, Point point, int flag = 0);
    void pointer_event(Point point, int value);
    // Moves the focus along the tab order; false when it wrapped around or nothing
    // can take the focus.
    bool move_focus(bool forward);
    void create_auto_controls();
    // The design size, grown by what controls stretched on both sides need.
    Point needed_size() const;
    // The topmost effectively visible control that the point hits.
    Control* control_at(Point point) const;

    int form_integer(std::u16string_view name, int default_value) const;
    Point form_point(std::u16string_view name, Point default_value) const;
    Picture form_picture(std::u16string_view name, const Picture& default_value) const;

    NodeMode mode() const { return mode_; }
    Form* form() const { return form_; }
    Properties& properties() const { return properties_; }
    const std::u16string& form_name() const { return form_name_; }
    void set_form_name(std::u16string name) { form_name_ = std::move(name); }
    const std::u16string& kind_name() const { return kind_name_; }
    Point origin() const { return origin_; }
    Point actual_size() const { return size_; }
    Point design_size() const { return design_size_; }
    Point last_point() const { return last_point_; }
    bool visible() const { return visible_; }
    bool enabled() const { return enabled_; }
    bool active() const { return active_; }
    Control* focused() const { return focused_; }
    Control* hovered() const { return hovered_; }
    Control* captured() const { return captured_; }
    const std::vector<Control*>& controls() const { return controls_; }

protected:
    Listener* next_listener() const override { return owner_; }
    void read_design_size();
    void delete_auto_controls();
    // For a form, which is a container made before its window.
    void set_form(Form* form) { form_ = form; }

private:
    bool set_hovered(Control* control);
    void release_all_buttons();

    const NodeMode mode_;
    Properties& properties_;
    std::u16string form_name_;
    std::u16string kind_name_;
    Point size_;
    Point origin_;
    Point design_size_;
    Point last_point_;
    bool visible_ = true;
    bool enabled_ = true;
    Listener* owner_;
    Form* form_;
    std::vector<Control*> controls_;
    std::vector<std::unique_ptr<Control>> auto_controls_;
    Control* focused_ = nullptr;
    Control* hovered_ = nullptr;
    Control* captured_ = nullptr;
    bool active_ = false;
    bool pressed_[3] = {false, false, false};
};

} // namespace skinner
