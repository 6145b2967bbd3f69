#include "skinner/core/form_impl.h"

#include <algorithm>

#include "liba/log.h"
#include "os/registry.h"
#include "platform/base/clock.h"
#include "platform/device_context.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "skinner/core/form.h"
#include "skinner/core/framework_state.h"
#include "skinner/core/key_codes.h"
#include "skinner/draw/canvas.h"
#include "skinner/menu/menu_manager.h"
#include "skinner/skin/device.h"

namespace skinner {

namespace {

constexpr std::uint32_t work_area_message = 1028;
// The colours an undrawn buffer starts with, so that what no control covers shows.
constexpr platform::Colour buffer_colour{0, 255, 255};
constexpr platform::Colour flicker_colour{255, 0, 255};

bool read_flicker_switch()
{
    std::uint32_t flicker = 0;
    os::read_registry_number(u"HKEY_CURRENT_USER\\Software\\Quenbry", u"Flicker", flicker);
    return flicker != 0;
}

Point point_of(std::intptr_t lparam) { return {platform::point_param_x(lparam), platform::point_param_y(lparam)}; }

platform::WindowHandle make_window(Form* owner)
{
    platform::WindowSpec spec;
    spec.class_name = framework_state().window_class;
    spec.title = u"Loading...";
    spec.style = platform::styles::visible | platform::styles::clip_children |
        (owner ? platform::styles::popup : (is_smartphone() ? 0 : platform::styles::system_menu));
    spec.owner = owner ? owner->window() : platform::no_window;
    return platform::create_window(spec);
}

} // namespace

FormImpl::FormImpl(Form& form, Form* owner)
    : form_(form)
    , flicker_(read_flicker_switch())
{
    attach(make_window(owner));
    menu_manager_ = MenuManager::create(form);
}

FormImpl::~FormImpl()
{
    // The bar goes while its window is still there.
    menu_manager_.reset();
    const platform::WindowHandle own = window();
    detach();
    platform::destroy_window(own);
}

platform::Rect FormImpl::client_area() const
{
    const platform::Rect rect = platform::window_rect(window());
    return {0, 0, rect.width, rect.height};
}

void FormImpl::invalidate(const platform::Rect& area)
{
    const platform::Rect clipped = area.intersected(client_area());
    if (clipped.empty())
        return;
    dirty_ = dirty_.united(clipped);
    platform::invalidate(window(), clipped);
}

void FormImpl::reset_back_buffer()
{
    back_buffer_.reset();
    dirty_ = client_area();
    platform::invalidate(window());
}

void FormImpl::draw_form(platform::Surface& target, Point offset, const platform::Rect& area)
{
    platform::DeviceContext context;
    context.select(&target);
    context.set_origin(offset);
    {
        CanvasImpl canvas(context, {area.x, area.y}, {area.width, area.height});
        canvas.draw_picture(form_.background(), form_.origin(), form_.origin() + form_.actual_size());
        form_.paint(canvas, {area.x, area.y}, {area.width, area.height});
    }
    context.select(nullptr);
}

void FormImpl::paint()
{
    platform::PaintSession session(window());
    const platform::Rect client = client_area();
    if (flicker_) {
        const platform::Rect area = dirty_.united(session.area()).intersected(client);
        dirty_ = {};
        if (auto canvas = platform::Surface::create(area.width, area.height)) {
            platform::DeviceContext fill;
            fill.select(canvas.get());
            fill.fill(canvas->bounds(), flicker_colour);
            fill.select(nullptr);
            draw_form(*canvas, {-area.x, -area.y}, area);
            session.context().copy(area, *canvas, {0, 0});
        }
        return;
    }
    if (!back_buffer_ || back_buffer_->width() != client.width || back_buffer_->height() != client.height) {
        back_buffer_ = platform::Surface::create(client.width, client.height);
        if (!back_buffer_)
            return;
        platform::DeviceContext fill;
        fill.select(back_buffer_.get());
        fill.fill(client, buffer_colour);
        fill.select(nullptr);
        dirty_ = client;
    }
    if (!dirty_.empty()) {
        draw_form(*back_buffer_, {0, 0}, dirty_);
        dirty_ = {};
    }
    const platform::Rect area = session.area();
    session.context().copy(area, *back_buffer_, {area.x, area.y});
}

void FormImpl::button_down(int button, Point point, bool double_tap)
{
    if (std::none_of(std::begin(pressed_), std::end(pressed_), [](bool pressed) { return pressed; }))
        platform::set_capture(window());
    pressed_[button] = true;
    double_tap_[button] = double_tap;
    form_.button_down(static_cast<PointerButton>(button), point, double_tap);
}

void FormImpl::button_up(int button, Point point)
{
    if (!pressed_[button])
        return;
    pressed_[button] = false;
    // The capture goes first: the control may open a dialog that needs the pointer.
    if (std::none_of(std::begin(pressed_), std::end(pressed_), [](bool pressed) { return pressed; }) &&
        platform::capture_window() == window())
        platform::release_capture();
    form_.button_up(static_cast<PointerButton>(button), point, double_tap_[button]);
}

void FormImpl::on_capture_lost()
{
    liba::log() << u"WM_CAPTURECHANGED\n";
    for (int button = 0; button < 3; ++button)
        if (pressed_[button])
            button_up(button, last_point_);
}

void FormImpl::on_left_down(Point point)
{
    const Control* under = form_.control_at(point);
    if (under && under->wants_gestures() && platform::recognize_tap_and_hold(window(), point)) {
        button_down(RIGHT_BUTTON, point, false);
        button_up(RIGHT_BUTTON, point);
        return;
    }
    button_down(LEFT_BUTTON, point, false);
}

void FormImpl::on_close()
{
    liba::log() << platform::tick_count() << u" WM_CLOSE received\n";
    if (!form_.can_close())
        return;
    platform::post_message(window(), Form::end_modal_message);
    if (Form* owner = form_.owner())
        owner->come_to_front();
    platform::show_window(window(), false);
}

void FormImpl::on_pocket_key(std::uintptr_t virtual_key, std::intptr_t character)
{
    if (character != 0 && form_.on_text(std::u16string(1, static_cast<char16_t>(character))))
        return;
    form_.on_key_down(key_code(static_cast<std::uint32_t>(virtual_key)));
}

std::intptr_t FormImpl::handle_message(const platform::Message& message, bool& pass_on)
{
    const std::intptr_t answer = handle_window_message(message, pass_on);
    // Whatever the message changed in the menu shows now.
    if (form_.menu_main() && menu_manager_)
        menu_manager_->show();
    return answer;
}

std::intptr_t FormImpl::handle_window_message(const platform::Message& message, bool& pass_on)
{
    namespace messages = platform::messages;
    const bool smartphone = is_smartphone();
    switch (message.message) {
    case messages::size:
        form_.set_rectangle({0, 0}, point_of(message.lparam));
        reset_back_buffer();
        break;
    case messages::activate:
        if (smartphone) {
            Control* focused = form_.focused();
            if (message.wparam != 0 && focused && focused->on_window_activation())
                pass_on = false;
        } else if (message.wparam != 0) {
            form_.set_active(true);
            form_.place_window();
            if (form_.menu_main())
                menu_manager_->set_visible(!form_.full_screen());
        } else {
            form_.set_active(false);
        }
        break;
    case messages::set_focus:
    case messages::kill_focus:
        if (smartphone) {
            const bool gaining = message.message == messages::set_focus;
            const auto other = static_cast<platform::WindowHandle>(message.wparam);
            const bool ours =
                platform::is_window(other) && platform::window_class(other) == platform::window_class(window());
            liba::log() << (gaining ? u"WM_SETFOCUS hwnd=" : u"WM_KILLFOCUS hwnd=")
                        << static_cast<unsigned long>(window()) << (gaining ? u" old_hwnd=" : u" new_hwnd=")
                        << static_cast<unsigned long>(other) << u" par="
                        << static_cast<unsigned long>(platform::parent_window(other))
                        << (gaining ? (ours ? u" WM_SETFOCUS from us" : u" WM_SETFOCUS from another app")
                                    : (ours ? u" WM_KILLFOCUS to us" : u" WM_KILLFOCUS to another app"))
                        << u"\n";
            if (gaining)
                pass_on = false;
        }
        break;
    case messages::paint:
        paint();
        pass_on = false;
        break;
    case messages::close:
        on_close();
        pass_on = false;
        break;
    case messages::erase_background:
        pass_on = false;
        return 1;
    case messages::setting_change:
    case work_area_message:
        if (message.wparam == platform::setting_screen || message.wparam == platform::setting_work_area) {
            form_.on_command(nullptr, u"#ScreenResolution#");
            form_.place_window();
        } else if (message.wparam == platform::setting_input_panel) {
            form_.place_window();
        }
        break;
    case messages::copy_data: {
        const auto* data = reinterpret_cast<const platform::CopyData*>(message.lparam);
        if (data && data->tag == 0) {
            form_.on_text_from_another_copy(
                std::u16string(static_cast<const char16_t*>(data->data), data->size / sizeof(char16_t)));
            pass_on = false;
            return 1;
        }
        break;
    }
    case messages::key_down:
    case messages::system_key_down:
        if (smartphone)
            form_.on_key_down(key_code(static_cast<std::uint32_t>(message.wparam)));
        break;
    case messages::key_up:
    case messages::system_key_up:
        form_.on_key_up(key_code(static_cast<std::uint32_t>(message.wparam)));
        break;
    case messages::character:
        if (smartphone && message.wparam >= 32)
            form_.on_text(std::u16string(1, static_cast<char16_t>(message.wparam)));
        break;
    case messages::ime_composition:
        form_.on_text(platform::composition_result());
        break;
    case messages::timer:
        form_.on_timer_message(static_cast<int>(message.wparam));
        break;
    case messages::mouse_move:
        last_point_ = point_of(message.lparam);
        form_.pointer_moved(last_point_);
        break;
    case messages::left_down:
        last_point_ = point_of(message.lparam);
        on_left_down(last_point_);
        break;
    case messages::left_up:
        last_point_ = point_of(message.lparam);
        button_up(LEFT_BUTTON, last_point_);
        break;
    case messages::left_double_click:
        last_point_ = point_of(message.lparam);
        button_down(LEFT_BUTTON, last_point_, true);
        break;
    case messages::capture_changed:
        on_capture_lost();
        break;
    case messages::command:
        if (menu_manager_->on_command(message.wparam))
            pass_on = false;
        break;
    case messages::menu_popup:
        if (message.wparam != 0)
            menu_manager_->on_popup(
                *reinterpret_cast<std::vector<platform::PopupItem>*>(message.wparam), message.lparam);
        break;
    case messages::hot_key:
        menu_manager_->on_hot_key(message.wparam, message.lparam);
        pass_on = false;
        break;
    case Form::key_message:
        if (!smartphone)
            on_pocket_key(message.wparam, message.lparam);
        break;
    default:
        break;
    }
    return 0;
}

} // namespace skinner
