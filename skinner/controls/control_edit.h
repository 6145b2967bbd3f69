#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "liba/line_edit.h"
#include "platform/line_layout.h"
#include "skinner/core/control.h"

namespace skinner {

// How an edit control does its editing. This one leaves everything to the control,
// which draws and edits by itself; the native one puts a platform edit window over
// the control and lets the platform edit.
class ControlEditImpl {
public:
    explicit ControlEditImpl(bool draws_itself = true)
        : draws_itself_(draws_itself)
    {
    }
    ControlEditImpl(const ControlEditImpl&) = delete;
    ControlEditImpl& operator=(const ControlEditImpl&) = delete;
    virtual ~ControlEditImpl() = default;

    virtual void set_input_mode(std::u16string_view) { }
    virtual void set_text(std::u16string_view) { }
    // The form window was activated: true when the impl took the activation.
    virtual bool activate() { return false; }
    virtual void set_selection(size_t, size_t) { }
    virtual void set_readonly(bool) { }
    virtual void set_password_char(char16_t) { }
    virtual void set_shown(bool) { }
    virtual void focus_gained() { }
    virtual void focus_lost() { }
    virtual void set_rectangle(Point, Point) { }
    // Where the platform edits, the selection it holds (anchor, caret); false when the
    // control keeps the selection itself.
    virtual bool selection(size_t&, size_t&) const { return false; }

    bool draws_itself() const { return draws_itself_; }

private:
    const bool draws_itself_;
};

// What the context menu and the editing keys can do to the text.
enum class EditCommand { cut, copy, paste, erase, select_all };

// The one-line text field ("edt..." in the skin). On a Pocket PC it keeps the text,
// the caret and the selection itself, draws them from its skin pictures, fonts and
// colours, scrolls to keep the caret in view, blinks the caret, selects with the
// stylus and offers a context menu and the clipboard. On a Smartphone a platform edit
// window does the editing over the control's rectangle and the control follows its
// text. Either way the text here is the one the owner reads, and each change is
// reported as on_text_changed.
class ControlEdit : public Control {
public:
    ControlEdit(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);
    ~ControlEdit() override;

    const std::u16string& text() const { return edit_.text(); }
    // Selects everything and replaces it; reported once when the text differs.
    void set_text(std::u16string_view text);
    void set_selection(size_t first, size_t last);
    // Wherever the selection is kept: here, or in the platform's edit window.
    size_t caret() const;
    size_t anchor() const;
    bool readonly() const { return readonly_; }
    int scroll() const { return scroll_; }
    bool caret_visible() const;
    // A text as the log may show it: a password field's masked.
    std::u16string loggable(std::u16string_view text) const;

    virtual void report_text_changed();
    virtual void report_action();

    bool can(EditCommand command) const;
    // Does the command when it can be done now.
    void perform(EditCommand command);
    // The menu of the commands at a point of the form; runs until one is chosen or the
    // menu is dismissed.
    void show_context_menu(Point at);
    // The platform edit window's text changed under the user's hands: true when it
    // differs from the control's, which then takes it and reports it.
    bool take_native_text(std::u16string_view text);

    bool on_window_activation() override;
    void on_focus_gained() override;
    void on_focus_lost() override;
    void on_shown(bool shown) override;
    // A tap-and-hold always opens the context menu.
    bool wants_gestures() const override { return true; }
    void draw(CanvasImpl& canvas, Point update_origin, Point update_size) override;
    bool hit_test(Point point) const override;
    void on_pointer_moved(Point point) override;
    void on_left_down(Point point, int flag) override;
    void on_left_up(Point point, int flag) override;
    void on_right_up(Point point, int flag) override;
    bool on_text(std::u16string_view text) override;
    bool on_key_down(int key, int flag) override;
    void on_timer(int id, int value) override;
    void set_rectangle(Point position, Point size) override;
    void reload_properties() override;

private:
    enum class Look { normal, highlighted, disabled, readonly };

    void read_edit_properties();
    // Takes the selection from the platform's edit window, where it is kept there.
    void follow_selection();
    Look look() const;
    const Picture& look_picture(Look look) const;
    const Font& look_font(Look look) const;
    platform::LineLayout lay_out_text(const Font& font) const;
    size_t index_at(Point point) const;
    // After an edit: report, keep a platform window in step, redraw.
    void edited(bool changed);
    void copy_selection() const;
    void paste();
    Point caret_point() const;

    liba::LineEdit edit_;
    Picture picture_normal_;
    Picture picture_highlighted_;
    Picture picture_disabled_;
    Picture picture_readonly_;
    Picture picture_selection_;
    Font font_normal_;
    Font font_disabled_;
    Font font_readonly_;
    Colour colour_normal_;
    Colour colour_disabled_;
    Colour colour_readonly_;
    Colour colour_selection_;
    Point border_min_;
    Point border_max_;
    std::u16string input_mode_;
    bool readonly_ = false;
    char16_t password_char_ = 0;
    int scroll_ = 0;
    int caret_width_ = 1;
    int blink_ = 0;
    bool selecting_ = false;
    Point press_point_;
    std::unique_ptr<ControlEditImpl> impl_;
};

} // namespace skinner
