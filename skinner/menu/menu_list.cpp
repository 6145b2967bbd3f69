#include "skinner/menu/menu_list.h"

#include <algorithm>

#include "skinner/menu/menu_item.h"
#include "skinner/menu/menu_manager.h"

namespace skinner {

void MenuList::add(MenuItem& item)
{
    if (std::find(items_.begin(), items_.end(), &item) != items_.end())
        return;
    items_.push_back(&item);
    std::stable_sort(items_.begin(), items_.end(),
        [](const MenuItem* a, const MenuItem* b) { return a->order_key() < b->order_key(); });
    refresh();
}

void MenuList::remove(MenuItem& item)
{
    const auto found = std::find(items_.begin(), items_.end(), &item);
    if (found == items_.end())
        return;
    items_.erase(found);
    refresh();
}

void MenuList::refresh() { manager_.mark_for_rebuild(); }

} // namespace skinner
