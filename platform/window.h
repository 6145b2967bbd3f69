#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "liba/nocopy.h"
#include "platform/device_context.h"
#include "platform/base/geometry.h"
#include "platform/base/message.h"
#include "platform/base/message_queue.h"

// Windows are the program's own objects inside the emulated screen. A window belongs
// to the thread that created it: only that thread changes it and runs its procedure.
// Posting, sending, timers, invalidation, the title and the existence check work from
// any thread.
namespace platform {

using WindowProcedure = std::function<std::intptr_t(const Message&)>;

namespace styles {
constexpr std::uint32_t popup = 0x80000000;
constexpr std::uint32_t child = 0x40000000;
constexpr std::uint32_t visible = 0x10000000;
constexpr std::uint32_t disabled = 0x08000000;
constexpr std::uint32_t clip_children = 0x02000000;
constexpr std::uint32_t border = 0x00800000;
constexpr std::uint32_t system_menu = 0x00080000;
constexpr std::uint32_t tab_stop = 0x00010000;
constexpr std::uint32_t auto_horizontal_scroll = 0x00000080;
} // namespace styles

// Standard cursors by their well-known identifiers.
namespace cursors {
constexpr int arrow = 32512;
constexpr int ibeam = 32513;
constexpr int wait = 32514;
constexpr int size_nwse = 32642;
constexpr int size_nesw = 32643;
constexpr int size_we = 32644;
constexpr int size_ns = 32645;
constexpr int size_all = 32646;
constexpr int no = 32648;
constexpr int hand = 32649;
constexpr int app_starting = 32650;
constexpr int help = 32651;
} // namespace cursors

// A position or size left to the platform: the window then covers the work area.
constexpr int use_default = -0x7FFF'FFFF;

struct WindowSpec {
    std::u16string class_name;
    std::u16string title;
    std::uint32_t style = 0;
    Rect rect{use_default, use_default, use_default, use_default};
    WindowHandle parent = no_window; // child windows: the window they sit in
    WindowHandle owner = no_window;  // top-level windows: the window they belong to
    WindowProcedure procedure;       // empty: default_window_procedure
};

// Creates the window and sends it create; no_window when the parent or owner is gone.
WindowHandle create_window(const WindowSpec& spec);
// Destroys owned windows, then sends destroy to the window and (afterwards) to its
// children; queued messages, timers and paints of all of them are dropped.
void destroy_window(WindowHandle window);
bool is_window(WindowHandle window);
ThreadId window_thread(WindowHandle window);

WindowProcedure window_procedure(WindowHandle window);
// Installs a new procedure and answers the one it replaces.
WindowProcedure set_window_procedure(WindowHandle window, WindowProcedure procedure);
std::intptr_t default_window_procedure(const Message& message);

std::u16string window_class(WindowHandle window);
std::u16string window_text(WindowHandle window);
void set_window_text(WindowHandle window, std::u16string_view text);
std::uint32_t window_style(WindowHandle window);
WindowHandle parent_window(WindowHandle window);
WindowHandle owner_window(WindowHandle window);
// The window's top-level ancestor (itself when it has no parent).
WindowHandle root_window(WindowHandle window);
// Top-level windows from the bottom of the z-order to the top.
std::vector<WindowHandle> top_level_windows();
// Child windows from the bottom of their z-order to the top.
std::vector<WindowHandle> child_windows(WindowHandle window);

// Position in the parent's client area (on the screen for top-level windows) and size.
Rect window_rect(WindowHandle window);
Rect screen_rect(WindowHandle window);
// Moves and sizes; a change of size sends size and repaints the whole window.
void move_window(WindowHandle window, const Rect& rect);
// Answers whether the window was visible before.
bool show_window(WindowHandle window, bool show);
// Visible itself and all its ancestors.
bool is_window_visible(WindowHandle window);
// Answers whether the window was enabled before.
bool enable_window(WindowHandle window, bool enable);
bool is_window_enabled(WindowHandle window);
// Raises a window to the top of its siblings; a top-level window takes the windows it
// owns along, above itself.
void bring_to_top(WindowHandle window);

// The active top-level window receives activate; the previous one is told first.
void set_active_window(WindowHandle window);
WindowHandle active_window();
// Moves the keyboard focus (kill focus to the old window, then set focus to the new
// one) and activates the new one's top-level window. Answers the previous focus.
WindowHandle set_focus(WindowHandle window);
WindowHandle focus_window();
// All pointer input goes to the capturing window; the window losing the capture is
// sent capture_changed.
void set_capture(WindowHandle window);
void release_capture();
WindowHandle capture_window();

// Marks an area of the client (nothing: all of it) for painting.
void invalidate(WindowHandle window, std::optional<Rect> area = std::nullopt);
void validate(WindowHandle window);
Rect dirty_area(WindowHandle window);
// The window's client pixels. What is drawn there appears on the screen after
// window_drawn (paint sessions report it themselves).
Surface* window_surface(WindowHandle window);
void window_drawn(WindowHandle window, const Rect& area);

// Draws the area awaiting paint: open it in the paint message, draw through the
// context (clipped to the area), and the screen shows it when the session ends.
class PaintSession : liba::Nocopy {
public:
    explicit PaintSession(WindowHandle window);
    ~PaintSession();
    DeviceContext& context() { return context_; }
    Rect area() const { return area_; }

private:
    WindowHandle window_;
    Rect area_;
    DeviceContext context_;
};

// Window timers: a timer message with the id every period; setting an existing timer
// restarts it.
bool set_timer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds);
bool kill_timer(WindowHandle window, std::uintptr_t id);

bool post_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam = 0,
    std::intptr_t lparam = 0);
// Runs the window's procedure now (on its thread, waiting, when called from another).
std::intptr_t send_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam = 0,
    std::intptr_t lparam = 0);
// Runs the procedure of the message's window; messages of windows that are gone and
// thread messages are dropped (0).
std::intptr_t dispatch(const Message& message);

// The standard cursor shown over the screen.
void set_cursor(int cursor);
int current_cursor();

// The topmost visible window at a point of the screen.
WindowHandle window_from_point(Point screen_point);
Point screen_to_client(WindowHandle window, Point screen_point);

// Input from the back ends: pointer messages go to the capturing window or the window
// under the point, keys and text to the focused window (else the active one); input
// for a disabled window is dropped.
void deliver_pointer(std::uint32_t message, Point screen_point);
void deliver_key(std::uint32_t message, std::uintptr_t wparam);
// A finished input-method composition: the focused window receives ime_composition
// and reads the text with composition_result().
void deliver_composition(std::u16string_view text);
std::u16string composition_result();

} // namespace platform
