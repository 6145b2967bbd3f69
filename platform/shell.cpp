#include "platform/shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "liba/text.h"
#include "platform/font.h"
#include "platform/base/keys.h"
#include "platform/screen.h"
#include "platform/session_state.h"
#include "platform/window.h"

namespace platform {

namespace {

constexpr Colour title_colour{16, 64, 160};
constexpr Colour title_text_colour{255, 255, 255};
constexpr Colour bar_colour{214, 211, 206};
constexpr Colour bar_text_colour{0, 0, 0};
constexpr Colour bar_disabled_colour{128, 128, 128};
constexpr Colour bar_pressed_colour{160, 160, 160};
constexpr Colour bar_divider_colour{128, 128, 128};

ShellState& shell()
{
    return Session::current().state().shell;
}

// The active window's nearest window (itself or an owner) that has a bar.
WindowHandle bar_window()
{
    auto& s = shell();
    for (WindowHandle w = root_window(active_window()); w != no_window; w = owner_window(w)) {
        std::lock_guard lock(s.mutex);
        if (s.bars.count(w))
            return w;
    }
    return no_window;
}

std::vector<MenuBarItem> visible_items(WindowHandle window)
{
    auto& s = shell();
    std::lock_guard lock(s.mutex);
    const auto found = s.bars.find(window);
    if (found == s.bars.end() || !found->second.visible)
        return {};
    return found->second.items;
}

bool has_ok_button(WindowHandle window)
{
    auto& s = shell();
    std::lock_guard lock(s.mutex);
    return s.ok_buttons.count(root_window(window)) > 0;
}

Rect top_bar()
{
    return {0, 0, screen_size().width, bar_height()};
}

Rect bottom_bar()
{
    const Size size = screen_size();
    return {0, size.height - bar_height(), size.width, bar_height()};
}

Rect title_button()
{
    const Rect bar = top_bar();
    return {bar.right() - bar.height, 0, bar.height, bar.height};
}

// Bottom bar cells: equal widths, at least two cells so that soft keys sit in halves.
Rect item_cell(int index, int count)
{
    const Rect bar = bottom_bar();
    const int cells = std::max(count, 2);
    const int width = bar.width / cells;
    return {bar.x + index * width, bar.y, width, bar.height};
}

BarHit hit_test(Point p)
{
    if (bar_height() == 0)
        return {};
    if (top_bar().contains(p))
        return title_button().contains(p) ? BarHit{BarHit::Part::title_button, -1} : BarHit{};
    if (!bottom_bar().contains(p))
        return {};
    const auto items = visible_items(bar_window());
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        if (item_cell(i, static_cast<int>(items.size())).contains(p))
            return {BarHit::Part::bottom_item, i};
    }
    return {};
}

std::shared_ptr<Font> bar_font()
{
    auto& s = shell();
    const int height = bar_height();
    std::lock_guard lock(s.mutex);
    if (s.bar_font_height != height) {
        s.bar_font_height = height;
        s.bar_font = Font::create({-std::max(height * 9 / 20, 10), 700, false, false, u"Tahoma"});
    }
    return s.bar_font ? s.bar_font : Font::stock();
}

void draw_centred(DeviceContext& context, const Font& font, const Rect& cell, std::u16string_view text, Colour colour)
{
    const Size extent = font.text_extent(text);
    context.draw_text(font, {cell.x + (cell.width - extent.width) / 2, cell.y + (cell.height - extent.height) / 2},
        text, colour);
}

void activate_bar_part(const BarHit& hit)
{
    if (hit.part == BarHit::Part::title_button) {
        const WindowHandle window = root_window(active_window());
        if (has_ok_button(window))
            post_message(window, messages::command, command_ok);
        else
            post_message(window, messages::close);
    } else if (hit.part == BarHit::Part::bottom_item) {
        const WindowHandle window = bar_window();
        const auto items = visible_items(window);
        if (hit.item < static_cast<int>(items.size()) && items[hit.item].enabled)
            post_message(window, messages::command, items[hit.item].command);
    }
}

void redraw_bars()
{
    screen_damaged(top_bar());
    screen_damaged(bottom_bar());
}

} // namespace

void set_menu_bar(WindowHandle window, std::vector<MenuBarItem> items)
{
    {
        auto& s = shell();
        std::lock_guard lock(s.mutex);
        s.bars[window].items = std::move(items);
    }
    redraw_bars();
}

void remove_menu_bar(WindowHandle window)
{
    {
        auto& s = shell();
        std::lock_guard lock(s.mutex);
        s.bars.erase(window);
    }
    redraw_bars();
}

void show_menu_bar(WindowHandle window, bool show)
{
    {
        auto& s = shell();
        std::lock_guard lock(s.mutex);
        s.bars[window].visible = show;
    }
    redraw_bars();
}

void show_ok_button(WindowHandle window, bool show)
{
    {
        auto& s = shell();
        std::lock_guard lock(s.mutex);
        if (show)
            s.ok_buttons.insert(window);
        else
            s.ok_buttons.erase(window);
    }
    redraw_bars();
}

Rect menu_bar_item_rect(int index)
{
    const int count = static_cast<int>(visible_items(bar_window()).size());
    if (bar_height() == 0 || index < 0 || index >= count)
        return {};
    return item_cell(index, count);
}

void draw_shell(DeviceContext& context)
{
    if (bar_height() == 0)
        return;
    const auto font = bar_font();
    BarHit pressed;
    {
        auto& s = shell();
        std::lock_guard lock(s.mutex);
        pressed = s.pressed;
    }

    const Rect top = top_bar();
    context.fill(top, title_colour);
    const WindowHandle active = root_window(active_window());
    if (font && active != no_window) {
        const Size extent = font->text_extent(u"X");
        context.draw_text(*font, {top.x + 6, (top.height - extent.height) / 2}, window_text(active), title_text_colour);
        const Rect button = title_button();
        if (pressed.part == BarHit::Part::title_button)
            context.invert(button);
        draw_centred(context, *font, button, has_ok_button(active) ? u"ok" : u"\u00D7", title_text_colour);
    }

    const Rect bottom = bottom_bar();
    context.fill(bottom, bar_colour);
    context.fill({bottom.x, bottom.y, bottom.width, 1}, bar_divider_colour);
    const auto items = visible_items(bar_window());
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const Rect cell = item_cell(i, static_cast<int>(items.size()));
        if (pressed == BarHit{BarHit::Part::bottom_item, i})
            context.fill(cell, bar_pressed_colour);
        if (i > 0)
            context.fill({cell.x, cell.y + 4, 1, cell.height - 8}, bar_divider_colour);
        if (font)
            draw_centred(context, *font, cell, items[i].text, items[i].enabled ? bar_text_colour : bar_disabled_colour);
    }
}

bool shell_pointer(std::uint32_t message, Point screen_point)
{
    auto& s = shell();
    BarHit pressed;
    {
        std::lock_guard lock(s.mutex);
        pressed = s.pressed;
    }
    const BarHit hit = hit_test(screen_point);
    if (message == messages::left_down || message == messages::left_double_click) {
        if (hit.part == BarHit::Part::none)
            return false;
        std::lock_guard lock(s.mutex);
        s.pressed = hit;
    } else if (message == messages::left_up) {
        if (pressed.part == BarHit::Part::none)
            return hit.part != BarHit::Part::none;
        {
            std::lock_guard lock(s.mutex);
            s.pressed = {};
        }
        if (hit == pressed)
            activate_bar_part(hit);
    } else {
        return pressed.part != BarHit::Part::none || hit.part != BarHit::Part::none;
    }
    redraw_bars();
    return true;
}

void press_soft_key(int index)
{
    const auto items = visible_items(bar_window());
    if (index >= 0 && index < static_cast<int>(items.size()))
        activate_bar_part({BarHit::Part::bottom_item, index});
}

void press_back_key(bool released)
{
    if (device_kind() != DeviceKind::smartphone) {
        deliver_key(released ? messages::key_up : messages::key_down, keys::escape);
        return;
    }
    const WindowHandle window = root_window(active_window());
    const std::intptr_t lparam = static_cast<std::intptr_t>((keys::escape << 16) | (released ? 0x1000 : 0));
    post_message(window, messages::hot_key, 0, lparam);
}

bool recognize_tap_and_hold(WindowHandle window, Point client_point)
{
    constexpr auto hold_time = std::chrono::milliseconds(500);
    constexpr int tolerance = 4; // pixels a trembling stylus may wander
    const auto deadline = now() + hold_time;
    Message m;
    while (wait_message(m, {}, deadline)) {
        if (m.message == messages::quit)
            return false;
        if (messages::is_input(m.message)) {
            const bool small_move = m.window == window && m.message == messages::mouse_move &&
                                    std::abs(point_param_x(m.lparam) - client_point.x) <= tolerance &&
                                    std::abs(point_param_y(m.lparam) - client_point.y) <= tolerance;
            if (!small_move)
                return false;
            peek_message(m, {window, messages::mouse_move, messages::mouse_move});
            continue;
        }
        // Everything else keeps flowing while the stylus is held.
        if (peek_message(m, {m.window, m.message, m.message}))
            dispatch(m);
    }
    return true;
}

int message_box(const MessageBoxRequest& request)
{
    MessageBoxPresenter presenter;
    {
        auto& s = shell();
        std::lock_guard lock(s.mutex);
        s.shown_boxes.push_back(request);
        // A desktop's message box belongs to the thread that owns the window; a box
        // asked for on another thread (a worker's fatal error) goes to standard error.
        if (s.presenter_thread == current_thread_id())
            presenter = s.presenter;
    }
    if (presenter)
        return presenter(request);
    std::fprintf(stderr, "[%s] %s\n", liba::to_narrow(request.caption).c_str(), liba::to_narrow(request.text).c_str());
    return request.buttons == MessageBoxButtons::yes_no ? answer_yes : answer_ok;
}

void set_message_box_presenter(MessageBoxPresenter presenter)
{
    auto& s = shell();
    std::lock_guard lock(s.mutex);
    s.presenter = std::move(presenter);
    s.presenter_thread = current_thread_id();
}

std::vector<MessageBoxRequest> shown_message_boxes()
{
    auto& s = shell();
    std::lock_guard lock(s.mutex);
    return s.shown_boxes;
}

void set_clipboard_text(std::u16string_view text)
{
    auto& s = shell();
    std::unique_lock lock(s.mutex);
    if (const auto put = s.bridge.put) {
        lock.unlock();
        put(text);
        return;
    }
    s.clipboard = text;
}

std::u16string clipboard_text()
{
    auto& s = shell();
    std::unique_lock lock(s.mutex);
    if (const auto get = s.bridge.get) {
        lock.unlock();
        return get();
    }
    return s.clipboard;
}

void set_clipboard_bridge(ClipboardBridge bridge)
{
    auto& s = shell();
    std::lock_guard lock(s.mutex);
    s.bridge = std::move(bridge);
}

bool open_document(std::u16string_view path)
{
    const std::string target = liba::to_narrow(path);
    // Two forks: the handler is adopted by init and never waited for by us.
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (fork() == 0) {
            const int null = open("/dev/null", O_RDWR);
            if (null >= 0) {
                dup2(null, STDIN_FILENO);
                dup2(null, STDOUT_FILENO);
            }
            execlp("xdg-open", "xdg-open", target.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace platform
