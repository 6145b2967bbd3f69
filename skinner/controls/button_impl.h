#pragma once

#include <memory>
#include <string_view>

#include "liba/nocopy.h"
#include "skinner/draw/geometry.h"

namespace skinner {

class ControlButtonBase;
class ControlCheckBox;

// What a button does beyond drawing itself and reporting clicks: chosen by its
// "Action" word and the device (a soft-key entry, a caption, an OK or close button).
// The button tells it what happens to it; this plain one does nothing.
class ControlButtonImpl : liba::Nocopy {
public:
    // drawn: the button draws on the form and answers hit tests; focusable: it may
    // take the focus.
    ControlButtonImpl(bool drawn, bool focusable)
        : drawn_(drawn)
        , focusable_(focusable)
    {
    }
    virtual ~ControlButtonImpl() = default;

    virtual void on_text_changed(std::u16string_view) { }
    virtual void on_shown(bool) { }
    virtual void on_enabled(bool) { }
    virtual void on_checked(bool) { }
    virtual void on_clicked(int) { }
    virtual void on_pointer_down(Point, int) { }
    virtual void on_pointer_moved(Point) { }
    virtual void on_pointer_up(Point, int) { }

    bool drawn() const { return drawn_; }
    bool focusable() const { return focusable_; }

private:
    const bool drawn_;
    const bool focusable_;
};

// The behaviour of a button with this action on this device; null when the action
// gives none (the system-menu button), and the button is then neither drawn, hit nor
// focused.
std::unique_ptr<ControlButtonImpl> make_button_behaviour(ControlButtonBase& button, int action);
std::unique_ptr<ControlButtonImpl> make_check_box_behaviour(ControlCheckBox& box, int action);

} // namespace skinner
