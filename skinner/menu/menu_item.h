#pragma once

#include <string>
#include <vector>

namespace skinner {

class Control;

// What a menu item reports about itself when the bar or a pop-up menu is built.
struct MenuItemDescription {
    // What its listener receives as the command: an item's id, a button's id.
    std::u16string command;
    // Receives the command (Listener::on_command) when the entry is chosen.
    Control* listener = nullptr;
    std::u16string text;
    std::u16string shortcut; // shown after a tab
    bool enabled = true;
    bool separator_after = false;
    bool checked = false;
    int image = -1; // none
    std::vector<MenuItemDescription> items; // a sub-menu
};

// An entry that a form's menu list holds: a menu-item control, or a button that is a
// soft-key entry.
class MenuItem {
public:
    virtual ~MenuItem() = default;
    virtual MenuItemDescription describe() const = 0;
    // Its entries come from the form (Listener::on_menu_update) just before they show.
    virtual bool has_sub_menu() const { return false; }
    // Which soft key shows it: "#smartphone_ok#" the left one, "#smartphone_menu#" and
    // "#smartphone_tab#" the right one's pop-up, anything else the right one as an
    // entry of its own.
    virtual std::u16string placement() const = 0;
    // The list keeps its items in this order.
    virtual int order_key() const = 0;
};

} // namespace skinner
