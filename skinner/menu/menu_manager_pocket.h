#pragma once

#include <string>
#include <vector>

#include "skinner/menu/menu_manager.h"

namespace skinner {

// The Pocket PC's bar of buttons: one button per menu item, in the list's order, with
// commands 100, 101, ...; an item with a sub-menu opens it as a pop-up menu over its
// button, filled by the form just before.
class MenuManagerPocket : public MenuManager {
public:
    // The first command of the bar's buttons.
    static constexpr std::uint32_t first_command = 100;

    explicit MenuManagerPocket(Form& form);
    ~MenuManagerPocket() override;

    bool on_command(std::uintptr_t id) override;
    void on_popup(std::vector<platform::PopupItem>& menu, std::intptr_t id) override;
    void show() override;
    void set_visible(bool visible) override;

private:
    void build();
    void rebuild();
    // The item behind a button's command, when the list still holds it there.
    const MenuItem* item_of(std::uintptr_t id) const;

    int resource_id_ = 0;
    // The command of every button, by position.
    std::vector<std::u16string> commands_;
    // What the last pop-up showed, for its choice.
    MenuItemDescription popup_;
};

} // namespace skinner
