#pragma once

#include <cstdint>

#include "platform/surface.h"

namespace skinner {

// Four bytes as the skin stores them: red, green, blue and a fourth byte that fills
// and text ignore.
struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t fourth = 0;

    platform::Colour to_platform() const { return {red, green, blue}; }

    friend bool operator==(const Colour&, const Colour&) = default;
};

} // namespace skinner
