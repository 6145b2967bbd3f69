#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "skinner/controls/button_impl.h"
#include "skinner/core/control.h"
#include "skinner/draw/canvas.h"

namespace skinner {

enum ButtonState { STATE_NORMAL = 0, STATE_PRESSED = 1, STATE_HIGHLIGHTED = 2, STATE_DISABLED = 3 };
using ButtonLooks = std::array<Look, 4>;

// A skinned push button: four state looks ("Normal", "Pressed", "Highlighted",
// "Disabled") and a text inside its borders. It is pressed by the stylus and by Enter
// while focused, and clicks when a press ends on it; a command
// named like its id clicks it too. A behaviour object (by "Action") decides whether
// it is drawn and may take the focus, and hears what happens to it.
class ControlButtonBase : public Control {
public:
    ControlButtonBase(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);
    ~ControlButtonBase() override;

    bool wants_focus() const override;
    void on_focus_lost() override;
    void on_shown(bool shown) override;
    void on_enabled(bool enabled) override;
    void draw(CanvasImpl& canvas, Point update_origin, Point update_size) override;
    bool hit_test(Point point) const override;
    void on_pointer_moved(Point point) override;
    void on_left_down(Point point, int flag) override;
    void on_left_up(Point point, int flag) override;
    bool on_key_down(int key, int flag) override;
    bool on_key_up(int key, int flag) override;
    void reload_properties() override;
    int on_command(Control* sender, std::u16string_view command) override;

    virtual void set_text(std::u16string_view text);
    // Tells the behaviour, then reports the click (Listener::on_click) with this button.
    virtual void click(Point point, int flag);
    // The looks to draw with now.
    virtual const ButtonLooks& state_looks() const { return looks_; }

    // Clicks at the button's centre, when it is enabled (Enter, a menu command).
    void click();

    const std::u16string& text() const { return text_; }
    int action() const { return action_; }
    bool pressed() const { return pressed_by_pointer_ || pressed_by_enter_; }
    // The state whose look is drawn now.
    ButtonState state() const;
    ControlButtonImpl* behaviour() const { return behaviour_.get(); }

protected:
    // The behaviour for the button's action on this device.
    virtual std::unique_ptr<ControlButtonImpl> make_behaviour() = 0;
    // Replaces the behaviour object (once the properties are read): the old one goes
    // first, since both may stand for the same thing (the title bar's OK button).
    void renew_behaviour();
    // Reads the four looks under the names base + state word.
    ButtonLooks read_looks(std::u16string_view base) const;
    // Draws the state's picture, the focus picture and the text.
    void draw_face(CanvasImpl& canvas, const Look& look, Point update_origin, Point update_size);
    bool drawn() const { return behaviour_ && behaviour_->drawn(); }

private:
    void read_button_properties();

    Point border_min_;
    Point border_max_;
    std::unique_ptr<ControlButtonImpl> behaviour_;
    int action_ = 0;
    ButtonLooks looks_;
    int horizontal_ = CENTER;
    int vertical_ = VCENTER;
    bool pressed_by_pointer_ = false;
    bool pressed_by_enter_ = false;
    std::u16string text_;
};

} // namespace skinner
