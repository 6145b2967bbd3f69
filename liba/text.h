#pragma once

#include <string>
#include <string_view>

// Wide text is UTF-16 (std::u16string). 8-bit text at the boundaries (file names,
// libraries, files without a byte-order mark) is UTF-8; a byte that is not part of a
// valid UTF-8 sequence stands for the character of the same value (Latin-1), so no
// input is lost and legacy 8-bit text still reads sensibly.
namespace liba {

std::u16string to_wide(std::string_view bytes);
std::string to_narrow(std::u16string_view text);

// Lower-cases by the Unicode simple case mapping of the Basic Latin, Latin-1,
// Latin Extended-A, Greek and Cyrillic blocks (what file names on a phone hold).
std::u16string to_lower(std::u16string_view text);
char16_t to_lower(char16_t c);

// The halves of a character outside the basic plane.
constexpr bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
constexpr bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

} // namespace liba
