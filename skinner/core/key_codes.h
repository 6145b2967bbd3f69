#pragma once

#include <cstdint>

// The key codes that controls receive: the form turns the platform's virtual keys into
// these before any control sees them; any other key is 0.
namespace skinner {

namespace key {
constexpr int none = 0;
constexpr int shift = 1;
constexpr int ctrl = 2;
constexpr int alt = 3;
constexpr int left = 4;
constexpr int right = 5;
constexpr int up = 6;
constexpr int down = 7;
constexpr int escape = 8;
constexpr int enter = 9;
constexpr int space = 10;
constexpr int backspace = 11;
constexpr int del = 12;
constexpr int insert = 13;
constexpr int home = 14;
constexpr int end = 15;
constexpr int page_down = 16;
constexpr int page_up = 17;
constexpr int tab = 18;
constexpr int applications = 19;
constexpr int letter_a = 20; // A to Z: 20 to 45
constexpr int digit_0 = 46; // 0 to 9: 46 to 55
} // namespace key

int key_code(std::uint32_t virtual_key);

// Whether a modifier (key::shift, key::ctrl or key::alt) is held down now; false for
// any other code.
bool modifier_down(int modifier);

} // namespace skinner
