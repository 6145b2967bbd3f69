#include "platform/input.h"

#include <mutex>

#include "platform/base/keys.h"
#include "platform/screen.h"
#include "platform/session_state.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace platform {

namespace {

bool is_modifier(std::uint32_t key) { return key == keys::shift || key == keys::control || key == keys::alt; }

void remember_modifier(std::uint32_t key, bool down)
{
    auto& table = Session::current().state().windows;
    std::lock_guard lock(table.mutex);
    if (down)
        table.modifiers_down.insert(key);
    else
        table.modifiers_down.erase(key);
}

} // namespace

void input_key(std::uint32_t virtual_key, bool down, bool repeat)
{
    switch (virtual_key) {
    case keys::f1:
    case keys::f2:
        if (down)
            press_soft_key(virtual_key == keys::f1 ? 0 : 1);
        return;
    case keys::f11:
        if (down && !repeat)
            rotate_screen();
        return;
    case keys::escape:
        press_back_key(!down);
        return;
    default:
        break;
    }
    if (is_modifier(virtual_key))
        remember_modifier(virtual_key, down);
    deliver_key(down ? messages::key_down : messages::key_up, virtual_key);
}

void input_text(std::u16string_view text)
{
    if (text.size() == 1)
        deliver_key(messages::character, text[0]);
    else if (!text.empty())
        deliver_composition(text);
}

void input_pointer(std::uint32_t message, Point screen_point) { deliver_pointer(message, screen_point); }

bool modifier_down(std::uint32_t virtual_key)
{
    auto& table = Session::current().state().windows;
    std::lock_guard lock(table.mutex);
    return table.modifiers_down.count(virtual_key) > 0;
}

} // namespace platform
