#include "skinner/controls/control_edit_native.h"

#include <vector>

#include "liba/log.h"
#include "platform/edit_window.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "skinner/core/container.h"
#include "skinner/core/form.h"
#include "skinner/core/key_codes.h"

namespace skinner {

namespace {

struct InputModeName {
    std::u16string_view name;
    std::uintptr_t mode;
};

constexpr InputModeName input_modes[] = {
    {u"TextDefault", platform::input_mode_text},
    {u"Numbers", platform::input_mode_numbers},
};

unsigned long number(platform::WindowHandle window) { return static_cast<unsigned long>(window); }

} // namespace

ControlEditNativeImpl::ControlEditNativeImpl(ControlEdit& edit)
    : ControlEditImpl(false)
    , edit_(edit)
    , monitor_(*this)
{
    const platform::WindowHandle form = form_window();
    monitor_.attach(form);
    platform::WindowSpec spec;
    spec.style = platform::styles::child | platform::styles::border | platform::styles::tab_stop |
        platform::styles::auto_horizontal_scroll;
    spec.rect = {0, 0, 100, 30};
    spec.parent = form;
    edit_window_ = platform::create_edit_window(std::move(spec));
    attach(edit_window_);
    liba::log() << u"ControlEditNativeImpl::ControlEditNativeImpl hwnd=" << number(edit_window_)
                << u" form_hwnd=" << number(form) << u"\n";
}

ControlEditNativeImpl::~ControlEditNativeImpl()
{
    const platform::WindowHandle window = edit_window_;
    detach();
    monitor_.detach();
    platform::destroy_window(window);
}

platform::WindowHandle ControlEditNativeImpl::form_window() const
{
    const Form* form = edit_.form();
    return form ? form->window() : platform::no_window;
}

void ControlEditNativeImpl::set_input_mode(std::u16string_view mode)
{
    for (const InputModeName& entry : input_modes)
        if (entry.name == mode)
            platform::send_message(edit_window_, platform::edit_messages::set_input_mode, entry.mode);
}

void ControlEditNativeImpl::set_text(std::u16string_view text)
{
    const std::u16string terminated(text);
    platform::send_message(
        edit_window_, platform::edit_messages::set_text, 0, reinterpret_cast<std::intptr_t>(terminated.c_str()));
}

bool ControlEditNativeImpl::activate()
{
    platform::set_focus(edit_window_);
    return true;
}

void ControlEditNativeImpl::set_selection(size_t anchor, size_t caret)
{
    platform::send_message(
        edit_window_, platform::edit_messages::set_selection, anchor, static_cast<std::intptr_t>(caret));
}

void ControlEditNativeImpl::set_readonly(bool readonly)
{
    platform::send_message(edit_window_, platform::edit_messages::set_readonly, readonly ? 1 : 0);
}

void ControlEditNativeImpl::set_password_char(char16_t password_char)
{
    platform::send_message(edit_window_, platform::edit_messages::set_password_char, password_char);
}

void ControlEditNativeImpl::set_shown(bool shown) { platform::show_window(edit_window_, shown); }

void ControlEditNativeImpl::focus_gained()
{
    platform::set_focus(edit_window_);
    set_selection(0, edit_.text().size());
}

void ControlEditNativeImpl::focus_lost()
{
    // The keys go back to the form, where the control that took the focus gets them.
    if (platform::focus_window() == edit_window_)
        platform::set_focus(form_window());
}

void ControlEditNativeImpl::set_rectangle(Point position, Point size)
{
    platform::move_window(edit_window_, {position.x, position.y, size.x, size.y});
}

bool ControlEditNativeImpl::selection(size_t& anchor, size_t& caret) const
{
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    platform::send_message(edit_window_, platform::edit_messages::get_selection,
        reinterpret_cast<std::uintptr_t>(&first), reinterpret_cast<std::intptr_t>(&last));
    anchor = first;
    caret = last;
    return true;
}

void ControlEditNativeImpl::log_focus(const platform::Message& message) const
{
    const bool gaining = message.message == platform::messages::set_focus;
    const auto other = static_cast<platform::WindowHandle>(message.wparam);
    const platform::WindowHandle parent = platform::parent_window(other);
    const platform::WindowHandle form = form_window();
    const bool ours = other == form || parent == form;
    liba::log() << (gaining ? u"ControlEditNativeImpl::WM_SETFOCUS hwnd=" : u"ControlEditNativeImpl::WM_KILLFOCUS hwnd=")
                << number(edit_window_) << (gaining ? u" old_hwnd=" : u" new_hwnd=") << number(other) << u" par="
                << number(parent) << u"\n"
                << (gaining ? (ours ? u"ControlEditNativeImpl::WM_SETFOCUS from us\n"
                                    : u"ControlEditNativeImpl::WM_SETFOCUS from another app\n")
                            : (ours ? u"ControlEditNativeImpl::WM_KILLFOCUS to us\n"
                                    : u"ControlEditNativeImpl::WM_KILLFOCUS to another app\n"));
}

std::intptr_t ControlEditNativeImpl::handle_message(const platform::Message& message, bool& pass_on)
{
    namespace messages = platform::messages;
    switch (message.message) {
    case messages::set_focus:
        log_focus(message);
        // Tapped into: the field becomes the form's focused control as well.
        if (!edit_.is_focused())
            edit_.container().set_focus(&edit_);
        break;
    case messages::kill_focus:
        log_focus(message);
        break;
    case messages::key_down:
    case messages::key_up:
        if (Form* form = edit_.form()) {
            const int key = key_code(static_cast<std::uint32_t>(message.wparam));
            if (message.message == messages::key_down)
                form->on_key_down(key);
            else
                form->on_key_up(key);
        }
        break;
    case messages::left_down: {
        // A tap-and-hold opens the control's menu instead of placing the caret.
        const Point point{platform::point_param_x(message.lparam), platform::point_param_y(message.lparam)};
        if (platform::recognize_tap_and_hold(edit_window_, point)) {
            pass_on = false;
            const platform::Rect rect = platform::window_rect(edit_window_);
            edit_.show_context_menu({rect.x + point.x, rect.y + point.y});
        }
        break;
    }
    default:
        break;
    }
    return 0;
}

void ControlEditNativeImpl::on_text_changed()
{
    const auto length =
        static_cast<size_t>(platform::send_message(edit_window_, platform::edit_messages::get_text_length));
    std::vector<char16_t> buffer(length + 1);
    const auto count = static_cast<size_t>(platform::send_message(edit_window_, platform::edit_messages::get_text,
        buffer.size(), reinterpret_cast<std::intptr_t>(buffer.data())));
    const std::u16string_view text(buffer.data(), count);
    if (edit_.take_native_text(text))
        liba::log() << u"ControlEditNativeImpl::on_en_change text=" << edit_.loggable(text) << u"\n";
}

std::intptr_t ControlEditNativeImpl::ControlEditParentMonitor::handle_message(
    const platform::Message& message, bool&)
{
    if (message.message == platform::messages::command && (message.wparam >> 16) == platform::edit_change &&
        static_cast<platform::WindowHandle>(message.lparam) == impl_.edit_window_)
        impl_.on_text_changed();
    return 0;
}

} // namespace skinner
