#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "liba/line_edit.h"

namespace platform {

class Font;

// One line of edit text as it is shown: each character as itself, or as the password
// character when there is one; for every index of the text its place in the shown
// text and its offset in pixels from the start of the line.
struct LineLayout {
    std::u16string shown;
    std::vector<size_t> shown_index;
    std::vector<int> x;
    std::vector<size_t> boundaries; // the character boundaries, 0 to the length

    int width() const { return x.back(); }
    // The character boundary nearest to an offset from the start of the line.
    size_t index_at(int offset) const;
    // The shown text between two indexes of the text.
    std::u16string_view shown_between(size_t from, size_t to) const;
};

// Measured with the font; without one every offset is 0.
LineLayout lay_out_line(const Font* font, const liba::LineEdit& edit, char16_t password_char);

} // namespace platform
