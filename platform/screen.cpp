#include "platform/screen.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/device_context.h"
#include "platform/session_state.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace platform {

namespace {

constexpr Colour desktop_colour{0, 0, 0};

ScreenState& state()
{
    return Session::current().state().screen;
}

// Copies a window and, above it, its children, clipped to the visible part of its
// parent chain.
void draw_window(DeviceContext& context, WindowHandle window, Point parent_origin, const Rect& clip)
{
    const Rect rect = window_rect(window).moved(parent_origin.x, parent_origin.y);
    const Rect visible = rect.intersected(clip);
    const Surface* surface = window_surface(window);
    if (visible.empty() || !surface)
        return;
    context.set_clip(visible);
    context.copy(rect, *surface, {0, 0});
    for (const WindowHandle child : child_windows(window)) {
        if (is_window_visible(child))
            draw_window(context, child, {rect.x, rect.y}, visible);
    }
}

void compose(Surface& surface, const Rect& area)
{
    DeviceContext context;
    context.select(&surface);
    context.set_clip(area);
    context.fill(area, desktop_colour);
    for (const WindowHandle window : top_level_windows()) {
        if (is_window_visible(window))
            draw_window(context, window, {0, 0}, area);
    }
    context.set_clip(area);
    draw_shell(context);
    context.select(nullptr);
}

} // namespace

std::optional<Size> parse_screen_size(std::string_view text)
{
    int width = 0;
    int height = 0;
    char extra = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%dx%d%c", &width, &height, &extra) != 2)
        return std::nullopt;
    if (width < 64 || height < 64 || width > 4096 || height > 4096)
        return std::nullopt;
    return Size{width, height};
}

std::optional<DeviceKind> parse_device_kind(std::string_view text)
{
    if (text == "pocketpc")
        return DeviceKind::pocket_pc;
    if (text == "smartphone")
        return DeviceKind::smartphone;
    return std::nullopt;
}

void configure_screen(const ScreenConfig& config)
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.config = config;
    s.pending = {0, 0, config.size.width, config.size.height};
}

Size screen_size()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return s.config.size;
}

DeviceKind device_kind()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return s.config.device;
}

std::u16string platform_type()
{
    return device_kind() == DeviceKind::smartphone ? u"SmartPhone" : u"PocketPC";
}

void set_full_screen(bool full_screen)
{
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        if (s.full_screen == full_screen)
            return;
        s.full_screen = full_screen;
    }
    const Size size = screen_size();
    screen_damaged({0, 0, size.width, size.height});
}

bool full_screen()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return s.full_screen;
}

int bar_height_for(Size screen, DeviceKind device, bool full_screen)
{
    if (full_screen)
        return 0;
    if (device == DeviceKind::pocket_pc)
        return screen.width == 480 || screen.width == 640 ? 52 : 26;
    switch (screen.width) {
    case 176: return 20;
    case 240: return 27;
    case 352: return 40;
    case 480: return 54;
    default: return 0;
    }
}

int bar_height()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return bar_height_for(s.config.size, s.config.device, s.full_screen);
}

InputPanelInfo input_panel_info()
{
    const Size size = screen_size();
    return {false, {0, 0, size.width, size.height}};
}

Rect work_area(bool consult_input_panel)
{
    const Size size = screen_size();
    const int bar = bar_height();
    if (consult_input_panel && !full_screen()) {
        const InputPanelInfo panel = input_panel_info();
        if (panel.shown)
            return {0, bar, panel.visible_desktop.right(), panel.visible_desktop.bottom() - bar};
    }
    return {0, bar, size.width, size.height - 2 * bar};
}

void rotate_screen()
{
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        std::swap(s.config.size.width, s.config.size.height);
        s.pending = {0, 0, s.config.size.width, s.config.size.height};
    }
    for (const WindowHandle window : top_level_windows())
        send_message(window, messages::setting_change, setting_screen);
}

void screen_damaged(const Rect& area)
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    const Rect whole{0, 0, s.config.size.width, s.config.size.height};
    s.pending = s.pending.united(area.intersected(whole));
}

namespace {

// Composes what changed since the last call; the caller holds no lock.
Surface& bring_up_to_date()
{
    auto& s = state();
    Rect pending;
    Surface* surface;
    {
        std::lock_guard lock(s.mutex);
        const Size size = s.config.size;
        if (!s.surface || s.surface->width() != size.width || s.surface->height() != size.height) {
            s.surface = Surface::create(size.width, size.height);
            s.pending = {0, 0, size.width, size.height};
        }
        pending = s.pending;
        s.pending = {};
        s.unpresented = s.unpresented.united(pending);
        surface = s.surface.get();
    }
    if (!pending.empty())
        compose(*surface, pending);
    return *surface;
}

} // namespace

Rect take_screen_damage()
{
    bring_up_to_date();
    auto& s = state();
    std::lock_guard lock(s.mutex);
    const Rect damage = s.unpresented;
    s.unpresented = {};
    return damage;
}

const Surface& screen_surface()
{
    return bring_up_to_date();
}

void title_changed(WindowHandle)
{
    const Size size = screen_size();
    screen_damaged({0, 0, size.width, bar_height()});
}

void raise_screen()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.raise_requested = true;
}

bool take_raise_request()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return std::exchange(s.raise_requested, false);
}

} // namespace platform
