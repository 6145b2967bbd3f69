#pragma once

#include <cstdint>

#include "platform/window.h"

// The platform's one-line edit window (class "edit"): it keeps and draws its own text
// with the platform's font, takes characters, the editing keys, the stylus and the
// clipboard keys itself, and tells its parent of every change of its text with a
// command message. Its text is one line of UTF-16 whose characters are never split.
namespace platform {

constexpr char16_t edit_class[] = u"edit";

namespace edit_messages {
constexpr std::uint32_t set_text = 12;          // lparam: const char16_t*, ending in 0
constexpr std::uint32_t get_text = 13;          // wparam: room in units (with the 0), lparam: char16_t*
constexpr std::uint32_t get_text_length = 14;   // answers the length in units
// Anchor and caret: get writes them through wparam and lparam (std::uint32_t*, either
// may be null); set takes them as wparam and lparam (a position past the end is the
// end).
constexpr std::uint32_t get_selection = 0xB0;
constexpr std::uint32_t set_selection = 0xB1;
constexpr std::uint32_t set_password_char = 0xCC; // wparam: the character, 0 for none
constexpr std::uint32_t first_visible = 0xCE;     // answers the first character in view
constexpr std::uint32_t set_readonly = 0xCF;      // wparam: non-zero for read-only
constexpr std::uint32_t get_input_mode = 0xDD;
constexpr std::uint32_t set_input_mode = 0xDE;    // wparam: an input mode below
constexpr std::uint32_t cut = 0x300;
constexpr std::uint32_t copy = 0x301;
constexpr std::uint32_t paste = 0x302;
constexpr std::uint32_t clear = 0x303;
} // namespace edit_messages

// Input modes: digits only, or any text.
constexpr std::uintptr_t input_mode_numbers = 2;
constexpr std::uintptr_t input_mode_text = 3;

// The notification in the high half of the command's wparam (the low half is 0) when
// the text changed; lparam is the edit window.
constexpr std::uint32_t edit_change = 0x300;

// Creates an edit window as described, with the edit's own class and procedure.
WindowHandle create_edit_window(WindowSpec description);

} // namespace platform
