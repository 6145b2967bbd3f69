#include "skinner/menu/menu_manager_pocket.h"

#include <algorithm>

#include "liba/log.h"
#include "platform/base/message.h"
#include "platform/window.h"
#include "skinner/core/form.h"
#include "skinner/core/framework_state.h"

namespace skinner {

namespace {

std::u16string without_ampersands(std::u16string text)
{
    text.erase(std::remove(text.begin(), text.end(), u'&'), text.end());
    return text;
}

} // namespace

MenuManagerPocket::MenuManagerPocket(Form& form)
    : MenuManager(form)
{
}

MenuManagerPocket::~MenuManagerPocket()
{
    if (resource_id_ == 0)
        return;
    platform::remove_menu_bar(form_.window());
    liba::log() << u"~MenuManagerPocket() returning id " << resource_id_ << u"\n";
    framework_state().free_menu_bar_ids.push_back(resource_id_);
}

// A window takes one of the few bar ids while it has a bar; a sixth window with a bar
// is a program that leaks its forms.
void MenuManagerPocket::build()
{
    std::vector<int>& free_ids = framework_state().free_menu_bar_ids;
    if (free_ids.empty())
        liba::fatal_error(u"ControlMenuMainImpl", u"Add more tolbar ids to the resource file! :)");
    resource_id_ = free_ids.back();
    free_ids.pop_back();
    liba::log() << u"MenuManagerPocket::build() creating " << resource_id_ << u"\n";
    platform::set_menu_bar(form_.window(), {});
}

void MenuManagerPocket::rebuild()
{
    std::vector<platform::MenuBarItem> buttons;
    commands_.clear();
    const std::vector<MenuItem*>& items = list().items();
    for (const MenuItem* item : items) {
        const MenuItemDescription description = item->describe();
        const auto command = static_cast<std::uint32_t>(first_command + commands_.size());
        buttons.push_back({without_ampersands(description.text), command, description.enabled});
        commands_.push_back(description.command);
        liba::log() << u"wince_bug_resource_id=" << description.image << u" text=" << description.text << u" id="
                    << description.command << u"\n";
    }
    platform::set_menu_bar(form_.window(), std::move(buttons));
}

void MenuManagerPocket::show()
{
    if (resource_id_ == 0)
        build();
    if (take_rebuild_mark())
        rebuild();
}

void MenuManagerPocket::set_visible(bool visible)
{
    liba::log() << u"MenuManagerPocket::set_visible=" << (visible ? u"true" : u"false") << u"\n";
    if (resource_id_ == 0)
        return;
    platform::show_menu_bar(form_.window(), visible);
    if (visible)
        mark_for_rebuild();
}

const MenuItem* MenuManagerPocket::item_of(std::uintptr_t id) const
{
    if (id < first_command || id - first_command >= commands_.size())
        return nullptr;
    const size_t position = id - first_command;
    const std::vector<MenuItem*>& items = list().items();
    if (position >= items.size() || items[position]->describe().command != commands_[position])
        return nullptr;
    return items[position];
}

bool MenuManagerPocket::on_command(std::uintptr_t id)
{
    const MenuItem* item = item_of(id);
    if (!item)
        return false;
    if (!item->has_sub_menu()) {
        deliver(item->describe());
        return true;
    }
    // The pop-up is filled through the window's pop-up message, as the platform does.
    std::vector<platform::PopupItem> menu;
    platform::send_message(form_.window(), platform::messages::menu_popup, reinterpret_cast<std::uintptr_t>(&menu),
        static_cast<std::intptr_t>(id));
    if (menu.empty())
        return true;
    std::vector<const MenuItemDescription*> chosen;
    popup_items(popup_.items, chosen);
    const platform::Rect button = platform::menu_bar_item_rect(static_cast<int>(id - first_command));
    const std::uint32_t command = platform::track_popup_menu(menu, {button.x, button.y}, form_.window());
    if (command >= 1 && command <= chosen.size())
        deliver(*chosen[command - 1]);
    return true;
}

void MenuManagerPocket::on_popup(std::vector<platform::PopupItem>& menu, std::intptr_t id)
{
    const MenuItem* item = id < 0 ? nullptr : item_of(static_cast<std::uintptr_t>(id));
    menu.clear();
    popup_ = {};
    if (!item)
        return;
    popup_ = describe_filled(*item);
    std::vector<const MenuItemDescription*> chosen;
    menu = popup_items(popup_.items, chosen);
}

} // namespace skinner
