#pragma once

#include "skinner/menu/menu_manager.h"

namespace skinner {

// The Smartphone's two soft keys (F1 and F2 on this screen): each shows the text of
// what it holds; a key that holds one entry acts at once, one that holds several opens
// them as a pop-up menu at its side of the screen. The Back key goes to an edit box
// with the focus, or else to the form as Escape and Backspace.
class MenuManagerSmartphone : public MenuManager {
public:
    static constexpr std::uint32_t left_key_command = 18201;
    static constexpr std::uint32_t right_key_command = 18200;

    explicit MenuManagerSmartphone(Form& form);
    ~MenuManagerSmartphone() override;

    bool on_command(std::uintptr_t id) override;
    void on_hot_key(std::uintptr_t wparam, std::intptr_t lparam) override;
    void show() override;
    void set_visible(bool visible) override;

private:
    MenuItemDescription key(bool left) const;
    void press(bool left);

    bool built_ = false;
    bool want_to_go_back_ = false;
};

} // namespace skinner
