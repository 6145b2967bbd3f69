#pragma once

#include <string_view>

namespace skinner {

// The skin's alignment words: "LEFT", "CENTER", "RIGHT" across and "TOP", "VCENTER",
// "BOTTOM" down (the values of HAlignment and VAlignment). Any other word keeps the
// current value.
int horizontal_alignment_of(std::u16string_view word, int current);
int vertical_alignment_of(std::u16string_view word, int current);

} // namespace skinner
