#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/device_context.h"
#include "platform/base/geometry.h"
#include "platform/base/message.h"

// The hand-held shell: the top bar (the active window's title and its OK or close
// button), the bottom bar (menu bar buttons or the two soft keys), pop-up menus, the
// Back key, tap-and-hold, message boxes, the clipboard and opening documents.
namespace platform {

// The command a window receives when its title-bar OK button is tapped.
constexpr std::uintptr_t command_ok = 1;

// One button of a window's bottom bar; tapping it posts command with its id.
struct MenuBarItem {
    std::u16string text;
    std::uint32_t command = 0;
    bool enabled = true;
};

// The bar shown while the window (or a window inside it) is active.
void set_menu_bar(WindowHandle window, std::vector<MenuBarItem> items);
void remove_menu_bar(WindowHandle window);
void show_menu_bar(WindowHandle window, bool show);
// The OK button in the window's top bar instead of the close button.
void show_ok_button(WindowHandle window, bool show);

// Where an item of the bottom bar shown now lies on the screen (a pop-up menu opens
// over it); empty when there is no such item.
Rect menu_bar_item_rect(int index);

// Draws both bars over the screen (the screen composition calls it).
void draw_shell(DeviceContext& context);
// Pointer input on the bars; true when the shell took it.
bool shell_pointer(std::uint32_t message, Point screen_point);
// F1 and F2: the two soft keys (index 0 and 1) of the active window's bar.
void press_soft_key(int index);
// The Back key: on a Smartphone the active window receives hot_key (the key in the
// high word of lparam, 0x1000 in the low word on release); elsewhere it is Escape.
void press_back_key(bool released);

struct PopupItem {
    std::u16string text;
    std::u16string shortcut;
    std::uint32_t command = 0;
    bool enabled = true;
    bool checked = false;
    bool separator_after = false;
    std::vector<PopupItem> items; // a sub-menu
};
// Shows a pop-up menu at a point of the screen (kept inside the screen) and runs a
// nested loop until an entry is chosen by pointer or keys (its command) or the menu
// is dismissed (0).
std::uint32_t track_popup_menu(const std::vector<PopupItem>& items, Point at, WindowHandle owner);

// Waits while the stylus stays down at the point without moving; true when it was
// held 500 ms (the window's pointer messages then stay untouched), false when it
// was lifted or moved first (those messages stay queued for the window).
bool recognize_tap_and_hold(WindowHandle window, Point client_point);

enum class MessageBoxButtons { ok, ok_cancel, yes_no };
constexpr int answer_ok = 1;
constexpr int answer_cancel = 2;
constexpr int answer_yes = 6;
constexpr int answer_no = 7;

struct MessageBoxRequest {
    WindowHandle owner = no_window;
    std::u16string text;
    std::u16string caption;
    MessageBoxButtons buttons = MessageBoxButtons::ok;
};
// Shows a modal message box and answers the button chosen. Without a presenter, or
// on a thread other than the presenter's, the text goes to standard error and the
// first button answers at once.
int message_box(const MessageBoxRequest& request);
using MessageBoxPresenter = std::function<int(const MessageBoxRequest&)>;
// Installs the presenter for the calling thread (the one that owns the screen).
void set_message_box_presenter(MessageBoxPresenter presenter);
// Every box shown so far, for tests and scripts.
std::vector<MessageBoxRequest> shown_message_boxes();

void set_clipboard_text(std::u16string_view text);
std::u16string clipboard_text();
// A back end that has a desktop clipboard shares it: the shell then writes to and
// reads from it instead of keeping the text itself.
struct ClipboardBridge {
    std::function<void(std::u16string_view)> put;
    std::function<std::u16string()> get;
};
void set_clipboard_bridge(ClipboardBridge bridge);

// Opens a document or web address with the desktop's handler, without waiting.
bool open_document(std::u16string_view path);

} // namespace platform
