#pragma once

#include "skinner/menu/menu_main_button.h"

namespace skinner {

// A menu command with a sub-menu whose entries the form gives just before it shows
// (Listener::on_menu_update receives the description and fills its items). An entry
// the form gives no listener sends its command through this item.
class MenuMainSubMenu : public MenuMainButton {
public:
    using MenuMainButton::MenuMainButton;

    bool has_sub_menu() const override { return true; }
};

} // namespace skinner
