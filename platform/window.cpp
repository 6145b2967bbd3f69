#include "platform/window.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/screen.h"
#include "platform/session_state.h"
#include "platform/shell.h"

namespace platform {

namespace {

// A whole-window invalidation from any thread: clipped to the client on the UI thread.
constexpr Rect everything{0, 0, INT_MAX / 2, INT_MAX / 2};

WindowTable& table()
{
    return Session::current().state().windows;
}

// Handles are never reused, not even by a later session.
std::atomic<WindowHandle> last_handle{no_window};

std::shared_ptr<WindowRecord> find(WindowHandle window)
{
    if (window == no_window)
        return nullptr;
    auto& t = table();
    std::lock_guard lock(t.mutex);
    const auto found = t.windows.find(window);
    return found == t.windows.end() ? nullptr : found->second;
}

WindowHandle read(WindowHandle WindowTable::*field)
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    return t.*field;
}

void write(WindowHandle WindowTable::*field, WindowHandle value)
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    t.*field = value;
}

std::vector<WindowHandle>& siblings_of(WindowTable& t, const WindowRecord& record)
{
    if (record.parent != no_window) {
        const auto parent = t.windows.find(record.parent);
        if (parent != t.windows.end())
            return parent->second->children;
    }
    return t.top_level;
}

void resize_surface(WindowRecord& record)
{
    const int width = std::max(record.rect.width, 1);
    const int height = std::max(record.rect.height, 1);
    if (!record.surface || record.surface->width() != width || record.surface->height() != height)
        record.surface = Surface::create(width, height);
}

Rect client_area(const WindowRecord& record)
{
    return {0, 0, record.rect.width, record.rect.height};
}

void damage_screen(WindowHandle window)
{
    screen_damaged(screen_rect(window));
}

void invalidate_tree(WindowHandle window)
{
    invalidate(window);
    for (const WindowHandle child : child_windows(window))
        invalidate_tree(child);
}

// The window that takes over activation when the active one goes away or hides.
WindowHandle successor_of(WindowHandle leaving)
{
    const WindowHandle owner = owner_window(leaving);
    if (owner != no_window && is_window_visible(owner) && is_window_enabled(owner))
        return owner;
    const auto windows = top_level_windows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (*it != leaving && is_window_visible(*it) && is_window_enabled(*it))
            return *it;
    }
    return no_window;
}

} // namespace

WindowHandle create_window(const WindowSpec& spec)
{
    const bool child = (spec.style & styles::child) != 0;
    const WindowHandle parent = child ? spec.parent : no_window;
    const WindowHandle owner = child ? no_window : (spec.owner != no_window ? spec.owner : spec.parent);
    if ((parent != no_window && !is_window(parent)) || (owner != no_window && !is_window(owner)))
        return no_window;
    if (child && parent == no_window)
        return no_window;

    auto record = std::make_shared<WindowRecord>();
    record->queue = MessageQueue::current();
    record->class_name = spec.class_name;
    record->text = spec.title;
    record->parent = parent;
    record->owner = owner;
    record->style = spec.style & ~(styles::visible | styles::disabled);
    record->enabled = (spec.style & styles::disabled) == 0;
    record->procedure = spec.procedure ? spec.procedure : WindowProcedure(default_window_procedure);
    const Rect work = child ? Rect{0, 0, window_rect(parent).width, window_rect(parent).height} : work_area();
    record->rect = spec.rect;
    if (record->rect.x == use_default || record->rect.y == use_default) {
        record->rect.x = work.x;
        record->rect.y = work.y;
    }
    if (record->rect.width == use_default || record->rect.height == use_default) {
        record->rect.width = work.width;
        record->rect.height = work.height;
    }
    resize_surface(*record);

    WindowHandle handle;
    {
        auto& t = table();
        std::lock_guard lock(t.mutex);
        handle = ++last_handle;
        record->handle = handle;
        t.windows[handle] = record;
        siblings_of(t, *record).push_back(handle);
    }
    record->queue->register_window(handle);
    send_message(handle, messages::create);
    if (!is_window(handle))
        return no_window;
    if (spec.style & styles::visible)
        show_window(handle, true);
    return handle;
}

void destroy_window(WindowHandle window)
{
    const auto record = find(window);
    if (!record || record->destroying)
        return;
    record->destroying = true;
    show_window(window, false);

    for (const WindowHandle other : top_level_windows()) {
        if (owner_window(other) == window)
            destroy_window(other);
    }
    if (capture_window() == window)
        release_capture();
    if (focus_window() == window)
        write(&WindowTable::focus, no_window);
    if (active_window() == window)
        write(&WindowTable::active, no_window);

    send_message(window, messages::destroy);
    for (const WindowHandle child : child_windows(window))
        destroy_window(child);

    {
        auto& t = table();
        std::lock_guard lock(t.mutex);
        std::erase(siblings_of(t, *record), window);
        t.windows.erase(window);
    }
    record->queue->forget_window(window);
}

bool is_window(WindowHandle window)
{
    return find(window) != nullptr;
}

ThreadId window_thread(WindowHandle window)
{
    const auto record = find(window);
    return record ? record->queue->thread() : 0;
}

WindowProcedure window_procedure(WindowHandle window)
{
    const auto record = find(window);
    return record ? record->procedure : WindowProcedure();
}

WindowProcedure set_window_procedure(WindowHandle window, WindowProcedure procedure)
{
    const auto record = find(window);
    if (!record)
        return {};
    std::swap(record->procedure, procedure);
    return procedure;
}

std::intptr_t default_window_procedure(const Message& message)
{
    switch (message.message) {
    case messages::paint:
        validate(message.window);
        return 0;
    case messages::close:
        destroy_window(message.window);
        return 0;
    case messages::erase_background:
        return 1;
    default:
        return 0;
    }
}

std::u16string window_class(WindowHandle window)
{
    const auto record = find(window);
    return record ? record->class_name : std::u16string();
}

std::u16string window_text(WindowHandle window)
{
    const auto record = find(window);
    if (!record)
        return {};
    std::lock_guard lock(record->text_mutex);
    return record->text;
}

void set_window_text(WindowHandle window, std::u16string_view text)
{
    const auto record = find(window);
    if (!record)
        return;
    {
        std::lock_guard lock(record->text_mutex);
        record->text = text;
    }
    title_changed(window);
}

std::uint32_t window_style(WindowHandle window)
{
    const auto record = find(window);
    if (!record)
        return 0;
    return record->style | (record->visible ? styles::visible : 0) | (record->enabled ? 0 : styles::disabled);
}

WindowHandle parent_window(WindowHandle window)
{
    const auto record = find(window);
    return record ? record->parent : no_window;
}

WindowHandle owner_window(WindowHandle window)
{
    const auto record = find(window);
    return record ? record->owner : no_window;
}

WindowHandle root_window(WindowHandle window)
{
    while (const WindowHandle parent = parent_window(window))
        window = parent;
    return window;
}

std::vector<WindowHandle> top_level_windows()
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    return t.top_level;
}

std::vector<WindowHandle> child_windows(WindowHandle window)
{
    const auto record = find(window);
    if (!record)
        return {};
    std::lock_guard lock(table().mutex);
    return record->children;
}

Rect window_rect(WindowHandle window)
{
    const auto record = find(window);
    return record ? record->rect : Rect{};
}

Rect screen_rect(WindowHandle window)
{
    Rect rect = window_rect(window);
    for (WindowHandle parent = parent_window(window); parent != no_window; parent = parent_window(parent)) {
        const Rect outer = window_rect(parent);
        rect = rect.moved(outer.x, outer.y);
    }
    return rect;
}

void move_window(WindowHandle window, const Rect& rect)
{
    const auto record = find(window);
    if (!record || record->rect == rect)
        return;
    const bool resized = record->rect.width != rect.width || record->rect.height != rect.height;
    damage_screen(window);
    record->rect = rect;
    damage_screen(window);
    if (resized) {
        resize_surface(*record);
        send_message(window, messages::size, 0,
            make_point_param(std::max(rect.width, 0), std::max(rect.height, 0)));
        invalidate(window);
    }
}

bool show_window(WindowHandle window, bool show)
{
    const auto record = find(window);
    if (!record)
        return false;
    const bool was_visible = record->visible.exchange(show);
    if (was_visible == show)
        return was_visible;
    damage_screen(window);
    if (show) {
        invalidate_tree(window);
    } else if (active_window() == window || focus_window() == window) {
        if (active_window() == window)
            set_active_window(successor_of(window));
        else
            set_focus(no_window);
    }
    return was_visible;
}

bool is_window_visible(WindowHandle window)
{
    for (auto record = find(window); record; record = find(record->parent)) {
        if (!record->visible)
            return false;
    }
    return window != no_window && is_window(window);
}

bool enable_window(WindowHandle window, bool enable)
{
    const auto record = find(window);
    if (!record)
        return false;
    return record->enabled.exchange(enable);
}

bool is_window_enabled(WindowHandle window)
{
    const auto record = find(window);
    return record && record->enabled;
}

void bring_to_top(WindowHandle window)
{
    const auto record = find(window);
    if (!record)
        return;
    {
        auto& t = table();
        std::lock_guard lock(t.mutex);
        auto& siblings = siblings_of(t, *record);
        std::erase(siblings, window);
        siblings.push_back(window);
    }
    damage_screen(window);
    if (record->parent != no_window)
        return;
    for (const WindowHandle other : top_level_windows()) {
        if (owner_window(other) == window)
            bring_to_top(other);
    }
}

void set_active_window(WindowHandle window)
{
    window = root_window(window);
    const WindowHandle previous = active_window();
    if (window == previous)
        return;
    write(&WindowTable::active, window);
    if (is_window(previous))
        send_message(previous, messages::activate, 0, static_cast<std::intptr_t>(window));
    if (window == no_window) {
        set_focus(no_window);
        return;
    }
    bring_to_top(window);
    send_message(window, messages::activate, 1, static_cast<std::intptr_t>(previous));
    const WindowHandle focus = focus_window();
    if (focus == no_window || root_window(focus) != window)
        set_focus(window);
}

WindowHandle active_window()
{
    return read(&WindowTable::active);
}

WindowHandle set_focus(WindowHandle window)
{
    const WindowHandle previous = focus_window();
    if (window == previous || (window != no_window && !is_window(window)))
        return previous;
    write(&WindowTable::focus, window);
    if (is_window(previous))
        send_message(previous, messages::kill_focus, window);
    if (window != no_window) {
        if (root_window(window) != active_window())
            set_active_window(window);
        if (focus_window() == window)
            send_message(window, messages::set_focus, previous);
    }
    return previous;
}

WindowHandle focus_window()
{
    return read(&WindowTable::focus);
}

void set_capture(WindowHandle window)
{
    const WindowHandle previous = capture_window();
    if (previous == window)
        return;
    write(&WindowTable::capture, window);
    if (is_window(previous))
        send_message(previous, messages::capture_changed, 0, static_cast<std::intptr_t>(window));
}

void release_capture()
{
    set_capture(no_window);
}

WindowHandle capture_window()
{
    return read(&WindowTable::capture);
}

void invalidate(WindowHandle window, std::optional<Rect> area)
{
    const auto record = find(window);
    if (!record || !record->visible)
        return;
    record->queue->invalidate(window, area.value_or(everything));
}

void validate(WindowHandle window)
{
    if (const auto record = find(window))
        record->queue->take_dirty(window);
}

Rect dirty_area(WindowHandle window)
{
    const auto record = find(window);
    return record ? record->queue->dirty(window).intersected(client_area(*record)) : Rect{};
}

Surface* window_surface(WindowHandle window)
{
    const auto record = find(window);
    return record ? record->surface.get() : nullptr;
}

void window_drawn(WindowHandle window, const Rect& area)
{
    const Rect on_screen = screen_rect(window);
    screen_damaged(area.moved(on_screen.x, on_screen.y).intersected(on_screen));
}

PaintSession::PaintSession(WindowHandle window) : window_(window)
{
    const auto record = find(window);
    if (!record)
        return;
    area_ = record->queue->take_dirty(window).intersected(client_area(*record));
    if (area_.empty())
        area_ = {};
    context_.select(record->surface.get());
    context_.set_clip(area_);
}

PaintSession::~PaintSession()
{
    context_.select(nullptr);
    if (!area_.empty())
        window_drawn(window_, area_);
}

bool set_timer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds)
{
    const auto record = find(window);
    if (!record)
        return false;
    record->queue->set_timer(window, id, std::chrono::milliseconds(milliseconds));
    return true;
}

bool kill_timer(WindowHandle window, std::uintptr_t id)
{
    const auto record = find(window);
    return record && record->queue->kill_timer(window, id);
}

bool post_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    const auto record = find(window);
    return record && record->queue->post(Message{window, message, wparam, lparam});
}

std::intptr_t send_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    const auto record = find(window);
    if (!record)
        return 0;
    const Message m{window, message, wparam, lparam};
    if (record->queue != MessageQueue::current())
        return record->queue->send_from_other_thread([m] { return dispatch(m); });
    return dispatch(m);
}

std::intptr_t dispatch(const Message& message)
{
    const auto record = find(message.window);
    if (!record)
        return 0;
    // A copy, so that a procedure may replace itself while it runs.
    const WindowProcedure procedure = record->procedure;
    return procedure(message);
}

void set_cursor(int cursor)
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    t.cursor = cursor;
}

int current_cursor()
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    return t.cursor;
}

WindowHandle window_from_point(Point screen_point)
{
    const std::function<WindowHandle(const std::vector<WindowHandle>&, Point)> search =
        [&search](const std::vector<WindowHandle>& windows, Point p) -> WindowHandle {
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
            const auto record = find(*it);
            if (!record || !record->visible || !record->rect.contains(p))
                continue;
            const Point inner{p.x - record->rect.x, p.y - record->rect.y};
            const WindowHandle child = search(child_windows(*it), inner);
            return child != no_window ? child : *it;
        }
        return no_window;
    };
    return search(top_level_windows(), screen_point);
}

Point screen_to_client(WindowHandle window, Point screen_point)
{
    const Rect rect = screen_rect(window);
    return {screen_point.x - rect.x, screen_point.y - rect.y};
}

void deliver_pointer(std::uint32_t message, Point screen_point)
{
    WindowHandle target = capture_window();
    if (target == no_window) {
        if (shell_pointer(message, screen_point))
            return;
        target = window_from_point(screen_point);
    }
    const auto record = find(target);
    if (!record || !is_window_enabled(target))
        return;
    const Point p = screen_to_client(target, screen_point);
    record->queue->post_input(Message{target, message, 0, make_point_param(p.x, p.y)});
}

void deliver_key(std::uint32_t message, std::uintptr_t wparam)
{
    WindowHandle target = focus_window();
    if (target == no_window)
        target = active_window();
    const auto record = find(target);
    if (!record || !is_window_enabled(target))
        return;
    record->queue->post_input(Message{target, message, wparam, 0});
}

void deliver_composition(std::u16string_view text)
{
    {
        auto& t = table();
        std::lock_guard lock(t.mutex);
        t.composition = text;
    }
    deliver_key(messages::ime_composition, 0);
}

std::u16string composition_result()
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    return t.composition;
}

} // namespace platform
