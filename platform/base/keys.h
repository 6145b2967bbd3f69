#pragma once

#include <cstdint>

// Virtual key codes, the well-known values; digits and letters are their ASCII codes.
namespace platform::keys {
constexpr std::uint32_t backspace = 8;
constexpr std::uint32_t tab = 9;
constexpr std::uint32_t enter = 13;
constexpr std::uint32_t shift = 16;
constexpr std::uint32_t control = 17;
constexpr std::uint32_t alt = 18;
constexpr std::uint32_t escape = 27;
constexpr std::uint32_t space = 32;
constexpr std::uint32_t page_up = 33;
constexpr std::uint32_t page_down = 34;
constexpr std::uint32_t end = 35;
constexpr std::uint32_t home = 36;
constexpr std::uint32_t left = 37;
constexpr std::uint32_t up = 38;
constexpr std::uint32_t right = 39;
constexpr std::uint32_t down = 40;
constexpr std::uint32_t insert = 45;
constexpr std::uint32_t del = 46;
constexpr std::uint32_t applications = 93;
constexpr std::uint32_t f1 = 112;
constexpr std::uint32_t f2 = 113;
constexpr std::uint32_t f11 = 122;
} // namespace platform::keys
