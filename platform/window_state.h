#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/message_queue.h"
#include "platform/surface.h"
#include "platform/window.h"

// The window table of a session; only the window functions and the session read it.
namespace platform {

struct WindowRecord {
    WindowHandle handle = no_window;
    std::shared_ptr<MessageQueue> queue;
    std::u16string class_name;
    WindowHandle parent = no_window;
    WindowHandle owner = no_window;
    std::atomic<bool> visible{false};
    std::atomic<bool> enabled{true};

    // Owner thread only.
    std::uint32_t style = 0;
    Rect rect;
    WindowProcedure procedure;
    std::vector<WindowHandle> children;
    std::unique_ptr<Surface> surface;
    bool destroying = false;

    std::mutex text_mutex;
    std::u16string text;
};

struct WindowTable {
    std::mutex mutex;
    std::unordered_map<WindowHandle, std::shared_ptr<WindowRecord>> windows;
    std::vector<WindowHandle> top_level; // bottom to top
    WindowHandle active = no_window;
    WindowHandle focus = no_window;
    WindowHandle capture = no_window;
    int cursor = cursors::arrow;
    std::u16string composition;
    // Shift, Ctrl and Alt held down, by virtual key.
    std::set<std::uint32_t> modifiers_down;
};

} // namespace platform
