#pragma once

#include "skinner/controls/control_edit.h"
#include "skinner/core/control_subclass.h"

namespace skinner {

// The edit control on a Smartphone: a platform edit window over the control's
// rectangle does the editing with the device's own input, and the control follows the
// window's text. Keys typed in the window still reach the form, so that Up, Down and
// Tab move the focus between its controls.
class ControlEditNativeImpl : public ControlEditImpl, public ControlSubclass {
public:
    explicit ControlEditNativeImpl(ControlEdit& edit);
    ~ControlEditNativeImpl() override;

    void set_input_mode(std::u16string_view mode) override;
    void set_text(std::u16string_view text) override;
    bool activate() override;
    void set_selection(size_t anchor, size_t caret) override;
    void set_readonly(bool readonly) override;
    void set_password_char(char16_t password_char) override;
    void set_shown(bool shown) override;
    void focus_gained() override;
    void focus_lost() override;
    void set_rectangle(Point position, Point size) override;
    bool selection(size_t& anchor, size_t& caret) const override;

    // The edit window's own messages, before its procedure sees them.
    std::intptr_t handle_message(const platform::Message& message, bool& pass_on) override;

    platform::WindowHandle edit_window() const { return edit_window_; }

private:
    // Watches the form's window for the edit window's change notifications.
    class ControlEditParentMonitor : public ControlSubclass {
    public:
        explicit ControlEditParentMonitor(ControlEditNativeImpl& impl)
            : impl_(impl)
        {
        }
        std::intptr_t handle_message(const platform::Message& message, bool& pass_on) override;

    private:
        ControlEditNativeImpl& impl_;
    };

    void on_text_changed();
    void log_focus(const platform::Message& message) const;
    platform::WindowHandle form_window() const;

    ControlEdit& edit_;
    ControlEditParentMonitor monitor_;
    platform::WindowHandle edit_window_ = platform::no_window;
};

} // namespace skinner
