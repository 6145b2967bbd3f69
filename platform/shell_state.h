#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/base/message_queue.h"
#include "platform/font.h"
#include "platform/shell.h"

// The shell of a session: bars, message boxes and the clipboard; only the shell
// functions and the session read it.
namespace platform {

struct MenuBar {
    std::vector<MenuBarItem> items;
    bool visible = true;
};

// Which part of the bars a point is over.
struct BarHit {
    enum class Part { none, title_button, bottom_item } part = Part::none;
    int item = -1;
    friend bool operator==(const BarHit&, const BarHit&) = default;
};

struct ShellState {
    std::mutex mutex;
    std::map<WindowHandle, MenuBar> bars;
    std::set<WindowHandle> ok_buttons;
    BarHit pressed;
    std::vector<MessageBoxRequest> shown_boxes;
    MessageBoxPresenter presenter;
    ThreadId presenter_thread = 0; // the only thread that may show its boxes
    std::u16string clipboard;
    ClipboardBridge bridge;
    // The bars' font follows the bar height, which a rotation may change.
    std::shared_ptr<Font> bar_font;
    int bar_font_height = -1;
};

} // namespace platform
