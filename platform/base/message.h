#pragma once

#include <cstdint>

namespace platform {

// Windows are named by handles that are never reused, so a message that outlives its
// window can be recognised and dropped. 0 names no window.
using WindowHandle = std::uintptr_t;
constexpr WindowHandle no_window = 0;

// One message of a thread's queue. The parameters are wide enough to carry pointers.
struct Message {
    WindowHandle window = no_window;
    std::uint32_t message = 0;
    std::uintptr_t wparam = 0;
    std::intptr_t lparam = 0;
};

// Message numbers, the hand-held platform's well-known values.
namespace messages {
constexpr std::uint32_t create = 1;
constexpr std::uint32_t destroy = 2;
constexpr std::uint32_t size = 5;             // lparam: width | height << 16
constexpr std::uint32_t activate = 6;         // wparam: 1 activated, 0 deactivated
constexpr std::uint32_t set_focus = 7;        // wparam: window that lost the focus
constexpr std::uint32_t kill_focus = 8;       // wparam: window that gets the focus
constexpr std::uint32_t paint = 15;
constexpr std::uint32_t close = 16;
constexpr std::uint32_t quit = 18;            // wparam: exit code
constexpr std::uint32_t erase_background = 20;
constexpr std::uint32_t setting_change = 26;  // wparam: what changed (setting_screen, ...)
constexpr std::uint32_t copy_data = 74;       // lparam: const CopyData*
constexpr std::uint32_t key_down = 256;       // wparam: virtual key
constexpr std::uint32_t key_up = 257;
constexpr std::uint32_t character = 258;      // wparam: UTF-16 code unit
constexpr std::uint32_t system_key_down = 260;
constexpr std::uint32_t system_key_up = 261;
constexpr std::uint32_t ime_composition = 271;  // the text: composition_result()
constexpr std::uint32_t command = 273;        // wparam: command id
constexpr std::uint32_t timer = 275;          // wparam: timer id
constexpr std::uint32_t menu_popup = 279;
constexpr std::uint32_t mouse_move = 512;     // lparam: client x | y << 16 (16-bit signed each)
constexpr std::uint32_t left_down = 513;
constexpr std::uint32_t left_up = 514;
constexpr std::uint32_t left_double_click = 515;
constexpr std::uint32_t right_down = 516;
constexpr std::uint32_t right_up = 517;
constexpr std::uint32_t capture_changed = 533;  // lparam: window that takes the capture
constexpr std::uint32_t hot_key = 786;
constexpr std::uint32_t user = 1024;

constexpr bool is_input(std::uint32_t message)
{
    return (message >= key_down && message <= ime_composition) ||
           (message >= mouse_move && message <= right_up);
}
} // namespace messages

// wparam values of setting_change.
constexpr std::uintptr_t setting_work_area = 47;
constexpr std::uintptr_t setting_input_panel = 224;
constexpr std::uintptr_t setting_screen = 12290;

// Payload of copy_data: a tag and bytes (a UTF-16 text is sent as its code units).
struct CopyData {
    std::uintptr_t tag = 0;
    const void* data = nullptr;
    std::uint32_t size = 0;
};

// Pointer positions travel in lparam as two 16-bit signed halves.
constexpr std::intptr_t make_point_param(int x, int y)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(x) & 0xFFFFu) |
                                      ((static_cast<std::uint32_t>(y) & 0xFFFFu) << 16));
}
constexpr int point_param_x(std::intptr_t lparam) { return static_cast<std::int16_t>(lparam & 0xFFFF); }
constexpr int point_param_y(std::intptr_t lparam) { return static_cast<std::int16_t>((lparam >> 16) & 0xFFFF); }

} // namespace platform
