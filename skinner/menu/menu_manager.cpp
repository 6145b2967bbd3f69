#include "skinner/menu/menu_manager.h"

#include <utility>

#include "skinner/core/control.h"
#include "skinner/core/form.h"
#include "skinner/menu/menu_manager_pocket.h"
#include "skinner/menu/menu_manager_smartphone.h"
#include "skinner/skin/device.h"

namespace skinner {

std::unique_ptr<MenuManager> MenuManager::create(Form& form)
{
    if (is_smartphone())
        return std::make_unique<MenuManagerSmartphone>(form);
    return std::make_unique<MenuManagerPocket>(form);
}

MenuManager::MenuManager(Form& form)
    : form_(form)
    , list_(*this)
{
}

MenuManager::~MenuManager() = default;

void MenuManager::on_popup(std::vector<platform::PopupItem>&, std::intptr_t) { }

void MenuManager::on_hot_key(std::uintptr_t, std::intptr_t) { }

bool MenuManager::take_rebuild_mark() { return std::exchange(rebuild_, false); }

MenuItemDescription MenuManager::describe_filled(const MenuItem& item) const
{
    MenuItemDescription description = item.describe();
    if (!item.has_sub_menu())
        return description;
    description.items.clear();
    if (description.listener)
        description.listener->on_menu_update(description);
    else
        form_.on_menu_update(description);
    give_listener(description.items, description.listener);
    return description;
}

void MenuManager::give_listener(std::vector<MenuItemDescription>& entries, Control* listener)
{
    for (MenuItemDescription& entry : entries) {
        if (!entry.listener)
            entry.listener = listener;
        give_listener(entry.items, entry.listener);
    }
}

std::vector<platform::PopupItem> MenuManager::popup_items(
    const std::vector<MenuItemDescription>& entries, std::vector<const MenuItemDescription*>& chosen)
{
    std::vector<platform::PopupItem> items;
    for (size_t i = 0; i < entries.size(); ++i) {
        const MenuItemDescription& entry = entries[i];
        chosen.push_back(&entry);
        platform::PopupItem item;
        item.text = entry.text;
        item.shortcut = entry.shortcut;
        item.command = static_cast<std::uint32_t>(chosen.size());
        item.enabled = entry.enabled;
        item.checked = entry.checked;
        item.separator_after = entry.separator_after && i + 1 < entries.size();
        item.items = popup_items(entry.items, chosen);
        items.push_back(std::move(item));
    }
    return items;
}

void MenuManager::run_popup(const std::vector<MenuItemDescription>& entries, Point at)
{
    if (entries.empty())
        return;
    std::vector<const MenuItemDescription*> chosen;
    const std::vector<platform::PopupItem> items = popup_items(entries, chosen);
    const std::uint32_t command = platform::track_popup_menu(items, at, form_.window());
    if (command >= 1 && command <= chosen.size())
        deliver(*chosen[command - 1]);
}

void MenuManager::deliver(const MenuItemDescription& entry)
{
    if (entry.listener && entry.enabled)
        entry.listener->on_command(entry.listener, entry.command);
}

} // namespace skinner
