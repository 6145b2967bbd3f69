#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "liba/nocopy.h"
#include "platform/base/geometry.h"

namespace platform {

// A colour as drawing calls take it. In a pixel it is 0x00RRGGBB, so the lowest byte
// of a pixel is its blue channel.
struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    uint32_t pixel() const { return (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue; }
    static Colour from_pixel(uint32_t p)
    {
        return {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)};
    }

    friend bool operator==(const Colour&, const Colour&) = default;
};

class DeviceContext;

// A 32-bit top-down pixel image: row 0 is the top, rows are packed without padding.
// Bitmaps and bitmap sections are both surfaces; the pixels are open for direct access.
class Surface : liba::Nocopy {
public:
    // Null for an empty or absurd size (either side above max_side).
    static std::unique_ptr<Surface> create(int width, int height);
    static constexpr int max_side = 16384;

    int width() const { return width_; }
    int height() const { return height_; }
    Rect bounds() const { return {0, 0, width_, height_}; }

    uint32_t* row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const uint32_t* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
    uint32_t* pixels() { return pixels_.data(); }
    const uint32_t* pixels() const { return pixels_.data(); }

    // Out-of-range reads give 0 and out-of-range writes are ignored.
    uint32_t pixel(int x, int y) const;
    void set_pixel(int x, int y, uint32_t value);

private:
    friend class DeviceContext;
    Surface(int width, int height);

    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
    const DeviceContext* selected_in_ = nullptr;
};

} // namespace platform
