#pragma once

#include <vector>

#include "liba/nocopy.h"

namespace skinner {

class MenuItem;
class MenuManager;

// The menu items of one form, in their order (a stable sort by order key after every
// addition). Any change marks the form's menu manager for a rebuild, which happens
// when the menu shows next.
class MenuList : liba::Nocopy {
public:
    explicit MenuList(MenuManager& manager)
        : manager_(manager)
    {
    }

    // Adding an item that is in the list already changes nothing.
    void add(MenuItem& item);
    void remove(MenuItem& item);
    // Something an item shows has changed.
    void refresh();

    const std::vector<MenuItem*>& items() const { return items_; }

private:
    MenuManager& manager_;
    std::vector<MenuItem*> items_;
};

} // namespace skinner
