#include "skinner/menu/menu_manager_smartphone.h"

#include "liba/log.h"
#include "platform/base/keys.h"
#include "platform/base/message.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "skinner/core/form.h"
#include "skinner/core/key_codes.h"
#include "skinner/menu/soft_keys.h"

namespace skinner {

namespace {

constexpr std::intptr_t key_released = 0x1000;

bool is_edit_box(platform::WindowHandle window)
{
    const std::u16string class_name = platform::window_class(window);
    return class_name == u"EDIT" || class_name == u"CAPEDIT";
}

} // namespace

MenuManagerSmartphone::MenuManagerSmartphone(Form& form)
    : MenuManager(form)
{
}

MenuManagerSmartphone::~MenuManagerSmartphone()
{
    if (built_)
        platform::remove_menu_bar(form_.window());
}

MenuItemDescription MenuManagerSmartphone::key(bool left) const
{
    const FilledDescription describe = [this](const MenuItem& item) { return describe_filled(item); };
    return left ? left_soft_key(list(), describe, form_.properties())
                : right_soft_key(list(), describe, form_.properties());
}

void MenuManagerSmartphone::show()
{
    if (!built_) {
        built_ = true;
        platform::set_menu_bar(form_.window(), {{u"", left_key_command}, {u"", right_key_command}});
    }
    if (!take_rebuild_mark())
        return;
    const MenuItemDescription left = key(true);
    const MenuItemDescription right = key(false);
    platform::set_menu_bar(
        form_.window(), {{left.text, left_key_command, left.enabled}, {right.text, right_key_command, right.enabled}});
}

void MenuManagerSmartphone::set_visible(bool visible)
{
    if (!built_)
        return;
    platform::show_menu_bar(form_.window(), visible);
    if (visible)
        mark_for_rebuild();
}

void MenuManagerSmartphone::press(bool left)
{
    const MenuItemDescription pressed = key(left);
    if (pressed.items.empty()) {
        deliver(pressed);
        return;
    }
    const platform::Rect work = platform::work_area(true);
    run_popup(pressed.items, {left ? 0 : platform::screen_size().width, work.bottom() + 1});
}

bool MenuManagerSmartphone::on_command(std::uintptr_t id)
{
    if (id != left_key_command && id != right_key_command)
        return false;
    press(id == left_key_command);
    return true;
}

void MenuManagerSmartphone::on_hot_key(std::uintptr_t, std::intptr_t lparam)
{
    const bool released = (lparam & key_released) != 0;
    const platform::WindowHandle focus = platform::focus_window();
    if (focus != platform::no_window && is_edit_box(focus)) {
        // An edit box takes Back as the key that deletes a character.
        platform::post_message(
            focus, released ? platform::messages::key_up : platform::messages::key_down, platform::keys::backspace);
        return;
    }
    if (!released) {
        const bool handled = form_.on_key_down(key::escape) || form_.on_key_down(key::backspace);
        if (!handled && !form_.owner()) {
            liba::log() << u"want_to_go_back = true\n";
            want_to_go_back_ = true;
        }
        return;
    }
    form_.on_key_up(key::escape);
    form_.on_key_up(key::backspace);
    if (want_to_go_back_) {
        want_to_go_back_ = false;
        // There is no application before this one on this screen to go back to.
        liba::log() << u"SHSendBackToFocusWindow\n";
    }
}

} // namespace skinner
