#pragma once

#include <memory>

#include "platform/base/geometry.h"
#include "platform/surface.h"
#include "skinner/core/control_subclass.h"
#include "skinner/draw/geometry.h"

namespace skinner {

class Form;
class MenuManager;

// The window of a form: turns the window's messages into the form's container
// operations, and paints the form through an off-screen buffer (or, with the
// registry's "Flicker" switch on, through a fresh canvas for every paint).
class FormImpl : public ControlSubclass {
public:
    FormImpl(Form& form, Form* owner);
    ~FormImpl() override;

    std::intptr_t handle_message(const platform::Message& message, bool& pass_on) override;

    // Marks a rectangle for painting (grown to the bounding box of what is marked).
    void invalidate(const platform::Rect& area);
    // Drops the buffer and repaints everything (after a size change or a reload).
    void reset_back_buffer();
    MenuManager& menu_manager() { return *menu_manager_; }

private:
    std::intptr_t handle_window_message(const platform::Message& message, bool& pass_on);
    void paint();
    void draw_form(platform::Surface& target, Point offset, const platform::Rect& area);
    void button_down(int button, Point point, bool double_tap);
    void button_up(int button, Point point);
    void on_capture_lost();
    void on_left_down(Point point);
    void on_close();
    void on_pocket_key(std::uintptr_t virtual_key, std::intptr_t character);
    platform::Rect client_area() const;

    Form& form_;
    std::unique_ptr<MenuManager> menu_manager_;
    std::unique_ptr<platform::Surface> back_buffer_;
    platform::Rect dirty_;
    bool flicker_ = false;
    bool pressed_[3] = {false, false, false};
    bool double_tap_[3] = {false, false, false};
    Point last_point_;
};

} // namespace skinner
