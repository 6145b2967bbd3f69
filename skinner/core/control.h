#pragma once

#include <string>
#include <string_view>

#include "liba/nocopy.h"
#include "skinner/core/listener.h"
#include "skinner/draw/colour.h"
#include "skinner/draw/font.h"
#include "skinner/draw/geometry.h"
#include "skinner/draw/look.h"
#include "skinner/draw/picture.h"

namespace skinner {

class CanvasImpl;
class Container;
class Form;
class Properties;

// Where a control (or a container) reads its skin properties from.
enum class NodeMode {
    by_id = 0, // the name is the id: the node (container's form, id)
    by_kind = 1, // the name is a kind: the node ("", kind); the id stays empty
    unskinned = 2, // the name is the id, and nothing is read: built-in defaults
};

// How a control follows its container's size on one axis ("AnchorX", "AnchorY":
// "MIN_SIDE", "BOTH_SIDE", "MAX_SIDE", "RATIO", "CENTER").
enum class Anchor { min_side = 0, both_side = 1, max_side = 2, ratio = 3, center = 4 };

// The pointer's buttons, as containers count them.
enum PointerButton { LEFT_BUTTON = 0, MIDDLE_BUTTON = 1, RIGHT_BUTTON = 2 };

// A rectangle of a form that draws itself, takes the pointer and key events its
// container routes to it, reads its looks from the skin and reports through the
// Listener notifications, which by default go up to its container. It registers with
// its container while it is constructed, which places it, and unregisters when it is
// destroyed.
class Control : public Listener, liba::Nocopy {
public:
    Control(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);
    ~Control() override;

    virtual void set_z_order(int z_order);
    virtual void set_wants_focus(bool wants);
    virtual bool wants_focus() const { return wants_focus_; }
    // Asked on a Smartphone when the form window is activated; true keeps the
    // activation for a native child window.
    virtual bool on_window_activation() { return false; }
    virtual void on_focus_gained() { invalidate(); }
    virtual void on_focus_lost() { invalidate(); }
    // The effective visibility or enabled state changed.
    virtual void on_shown(bool) { }
    virtual bool wants_gestures() const { return gestures_; }
    virtual void on_enabled(bool) { }
    // Draws the part of the control inside the update rectangle; the base draws the
    // focus picture while the container shows this control's focus.
    virtual void draw(CanvasImpl& canvas, Point update_origin, Point update_size);
    virtual int cursor() const { return cursor_; }
    virtual bool hit_test(Point point) const;
    virtual void on_pointer_entered() { }
    virtual void on_pointer_moved(Point) { }
    virtual void on_pointer_left() { }
    virtual void on_left_down(Point, int) { }
    virtual void on_left_up(Point, int) { }
    virtual void on_right_down(Point, int) { }
    virtual void on_right_up(Point, int) { }
    virtual void on_middle_down(Point, int) { }
    virtual void on_middle_up(Point, int) { }
    virtual void on_pointer_event(Point, int) { }
    // Each answers whether the control took the input.
    virtual bool on_text(std::u16string_view) { return false; }
    virtual bool on_key_down(int, int) { return false; }
    virtual bool on_key_up(int, int) { return false; }
    // This control's own timer fired.
    virtual void on_timer(int, int) { }
    // Any timer of the form fired; reaches on_timer when it is this control's.
    virtual void on_timer_message(int id, int value);
    virtual void set_rectangle(Point position, Point size);
    // What the control needs: the skin size.
    virtual Point needed_size() const { return skin_size_; }
    virtual void reload_properties();

    void set_visible(bool visible);
    void set_enabled(bool enabled);
    // Restarts the control's timer: a new id each time, the old one never fires here
    // again.
    int start_timer(double seconds);
    void stop_timer();
    // Asks the form to redraw the control, when it and its container are visible.
    void invalidate();

    // The control's skin properties, read from its node (by mode); defaults when
    // unskinned or the record is missing.
    Colour colour(std::u16string_view name, Colour default_value) const;
    std::u16string string(std::u16string_view name, std::u16string_view default_value) const;
    int size_integer(std::u16string_view name, int default_value) const;
    int integer(std::u16string_view name, int default_value) const;
    Point point(std::u16string_view name, Point default_value) const;
    int cursor_property(std::u16string_view name, int default_value) const;
    Picture picture(std::u16string_view name, const Picture& default_value) const;
    Font font(std::u16string_view name, const Font& default_value) const;
    // The picture, the font and the colour read under one name.
    Look look(std::u16string_view name, const Look& default_value) const;
    std::u16string translate(std::u16string_view key, std::u16string_view default_text) const;

    NodeMode mode() const { return mode_; }
    const std::u16string& id() const { return id_; }
    const std::u16string& kind() const { return kind_; }
    Container& container() const { return container_; }
    Form* form() const;
    Properties& properties() const;
    Point position() const { return position_; }
    Point size() const { return size_; }
    Point skin_position() const { return skin_position_; }
    Point skin_size() const { return skin_size_; }
    Anchor anchor_x() const { return anchor_x_; }
    Anchor anchor_y() const { return anchor_y_; }
    int z_order() const { return z_order_; }
    int tab_order() const { return tab_order_; }
    int timer_id() const { return timer_id_; }
    bool visible() const { return visible_; }
    bool enabled() const { return enabled_; }
    bool effectively_visible() const;
    bool effectively_enabled() const;
    bool is_focused() const;
    // Whether the point lies in the control's rectangle.
    bool contains(Point point) const;

protected:
    Listener* next_listener() const override;
    // For a subclass whose wants_focus says less than the flag: gives up a focus that
    // the container handed over while the control was being made.
    void settle_focus();
    const Picture& focus_picture() const { return focus_; }

private:
    void read_common_properties();
    // The node's form and control names, by mode.
    std::u16string_view node_form() const;
    std::u16string_view node_name() const;

    const NodeMode mode_;
    Container& container_;
    std::u16string id_;
    std::u16string kind_;
    int cursor_ = 0;
    int z_order_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    bool wants_focus_ = true;
    Anchor anchor_x_ = Anchor::min_side;
    Anchor anchor_y_ = Anchor::min_side;
    Point position_;
    Point size_;
    Point skin_position_;
    Point skin_size_;
    Picture focus_;
    int timer_id_ = 0;
    int tab_order_ = 0;
    bool gestures_ = false;
};

} // namespace skinner
