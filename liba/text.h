#pragma once

#include <string>
#include <string_view>

// Wide text is UTF-16 (std::u16string). 8-bit text at the boundaries (file names,
// libraries, files without a byte-order mark) is UTF-8.
namespace liba {

// A byte that is not part of a valid UTF-8 sequence becomes the lone surrogate
// U+DC80..U+DCFF of its value, which to_narrow turns back into that byte: any byte
// string, a file name that is not UTF-8 above all, survives the trip through wide text
// byte for byte.
std::u16string to_wide(std::string_view bytes);
std::string to_narrow(std::u16string_view text);

// 8-bit text meant to be read (tags, text files without a byte-order mark): a byte
// that is not part of a valid UTF-8 sequence stands for the character of the same
// value (Latin-1), as legacy 8-bit text mostly is.
std::u16string text_to_wide(std::string_view bytes);

// Lower-cases by the Unicode simple case mapping of the Basic Latin, Latin-1,
// Latin Extended-A, Greek and Cyrillic blocks (what file names on a phone hold).
std::u16string to_lower(std::u16string_view text);
char16_t to_lower(char16_t c);

// The halves of a character outside the basic plane.
constexpr bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
constexpr bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

} // namespace liba
