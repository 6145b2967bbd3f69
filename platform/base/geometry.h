#pragma once

#include <algorithm>

namespace platform {

struct Point {
    int x = 0;
    int y = 0;

    friend bool operator==(const Point&, const Point&) = default;
    friend Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
    friend Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
};

struct Size {
    int width = 0;
    int height = 0;

    friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle by its top-left corner and size; it covers x <= px < x + width.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool empty() const { return width <= 0 || height <= 0; }
    bool contains(Point p) const { return p.x >= x && p.y >= y && p.x < right() && p.y < bottom(); }
    Rect moved(int dx, int dy) const { return {x + dx, y + dy, width, height}; }

    // The common part; empty rectangles come out with zero size.
    Rect intersected(const Rect& other) const
    {
        const int left = std::max(x, other.x);
        const int top = std::max(y, other.y);
        const int far_x = std::min(right(), other.right());
        const int far_y = std::min(bottom(), other.bottom());
        if (far_x <= left || far_y <= top)
            return {left, top, 0, 0};
        return {left, top, far_x - left, far_y - top};
    }

    // The smallest rectangle that holds both; an empty one adds nothing.
    Rect united(const Rect& other) const
    {
        if (other.empty())
            return *this;
        if (empty())
            return other;
        const int left = std::min(x, other.x);
        const int top = std::min(y, other.y);
        return {left, top, std::max(right(), other.right()) - left, std::max(bottom(), other.bottom()) - top};
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace platform
