#pragma once

#include <cstdint>

namespace skinner {

// A position or a size in form pixels: one pair of 32-bit integers serves both, as
// the skin stores sizes in point records.
struct Point {
    int32_t x = 0;
    int32_t y = 0;

    friend bool operator==(const Point&, const Point&) = default;
    friend Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
    friend Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
};

} // namespace skinner
