#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "liba/nocopy.h"
#include "platform/base/message.h"
#include "skinner/core/container.h"
#include "skinner/draw/font.h"
#include "skinner/draw/picture.h"

namespace skinner {

class ControlMenuMain;
class FormImpl;
class MenuList;
class MenuManager;

// Holds a form's window part, so that the window goes after everything else of the
// form.
class FormImplHolder : liba::Nocopy {
protected:
    FormImplHolder();
    ~FormImplHolder();

    std::unique_ptr<FormImpl> impl_;
};

// How a form's window is placed on one axis ("StartPosition", "StartPositionX",
// "StartPositionY").
enum StartPosition {
    START_SKIN = 0, // the skin's "Position"
    START_CENTER_WORK = 1, // centred in the work area
    START_CENTER_OWNER = 2, // centred on the owner (the work area without one)
    START_FILL = 3, // at the work area's edge, at least as large as it
    START_NEAR = 4, // at the work area's top or left edge
    START_FAR = 5, // at its bottom or right edge
    START_MANUAL = 6, // the program places the window
};

// A container with a top-level window of its own: its layout comes from the form of
// its name in the skin, it paints through an off-screen buffer, turns the window's
// messages into the container's events, and runs as a modal loop until it is closed.
// Every dialog and the main window are forms.
class Form : public Container, public FormImplHolder {
public:
    // The message that ends a form's modal loop.
    static constexpr std::uint32_t end_modal_message = 1057;
    // Keys and characters as a Pocket PC form window receives them.
    static constexpr std::uint32_t key_message = 1026;

    Form(Form* owner, Properties& properties, std::u16string_view name, Listener* listener = nullptr);
    ~Form() override;

    void reload_skin() override;

    // Moves and sizes the window by the StartPosition rule.
    virtual void place_window();
    virtual bool can_close() { return true; }
    // Another copy of the program was started with this text: come to the front.
    virtual void on_text_from_another_copy(std::u16string_view text);
    virtual void on_picture_failed(const Picture& picture);

    // Runs the form's loop, with the other forms disabled while it has an owner,
    // until the form is closed.
    void do_modal();
    // Asks the window to close; the loop ends when can_close agrees.
    void close();
    // Marks a rectangle of the form for painting.
    void invalidate(Point origin, Point size);
    // Starts a timer of the form's window, with a new id each time (the controls' timers
    // take theirs from the same count); its ticks reach on_timer_message.
    int start_timer(double seconds);
    void stop_timer(int id);

    // The control that gives the form its bar of menus and soft keys; only one.
    void register_menu_main(ControlMenuMain& menu);
    void unregister_menu_main(ControlMenuMain& menu);
    ControlMenuMain* menu_main() const { return menu_main_; }
    // The menu items shown in the form's bar, and the manager that shows them.
    MenuList& menu_list();
    MenuManager& menu_manager();

    platform::WindowHandle window() const;
    Form* owner() const { return owner_; }
    bool in_modal() const { return in_modal_; }
    bool full_screen() const { return full_screen_; }
    void set_full_screen(bool full_screen) { full_screen_ = full_screen; }
    const Font& font() const { return font_; }
    const Picture& background() const { return background_; }

    static Form* current_modal();
    static const std::vector<Form*>& live_forms();
    // The class of every form window, named after the program ("SkinnerClass_" and
    // its name); set before the first form is made.
    static void set_window_class(std::u16string name);

private:
    friend class FormImpl;

    void read_form_properties();
    void fit_to_window();
    // Brings the form's window, or the enabled window it owns, to the front.
    void come_to_front();
    // Shows the bar again when the form's loop runs once more.
    void reactivate_menu();

    Form* owner_;
    Font font_;
    Picture background_;
    int start_position_ = START_SKIN;
    int start_position_x_ = START_SKIN;
    int start_position_y_ = START_SKIN;
    bool first_placement_ = true;
    bool in_modal_ = false;
    bool full_screen_ = false;
    ControlMenuMain* menu_main_ = nullptr;
};

} // namespace skinner
