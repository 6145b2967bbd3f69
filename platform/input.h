#pragma once

#include <cstdint>
#include <string_view>

#include "platform/base/geometry.h"

// Input as the back ends and scripts report it, given its meaning here, once: F1 and
// F2 are the two soft keys, Escape is the Back key, F11 rotates the screen, Shift,
// Ctrl and Alt are remembered while held; every other key, text and the pointer go
// to the windows (platform/window.h).
namespace platform {

void input_key(std::uint32_t virtual_key, bool down, bool repeat = false);
// Typed text: one character arrives as a character message, longer text (an input
// method's result) as a composition.
void input_text(std::u16string_view text);
// left_down, left_up, left_double_click or mouse_move at a point of the screen.
void input_pointer(std::uint32_t message, Point screen_point);

// Whether Shift, Ctrl or Alt (by virtual key) is held down now.
bool modifier_down(std::uint32_t virtual_key);

} // namespace platform
