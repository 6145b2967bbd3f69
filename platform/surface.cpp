#include "platform/surface.h"

namespace platform {

std::unique_ptr<Surface> Surface::create(int width, int height)
{
    if (width <= 0 || height <= 0 || width > max_side || height > max_side)
        return nullptr;
    return std::unique_ptr<Surface>(new Surface(width, height));
}

Surface::Surface(int width, int height)
    : width_(width)
    , height_(height)
    , pixels_(static_cast<size_t>(width) * height, 0)
{
}

uint32_t Surface::pixel(int x, int y) const
{
    if (!bounds().contains({x, y}))
        return 0;
    return row(y)[x];
}

void Surface::set_pixel(int x, int y, uint32_t value)
{
    if (bounds().contains({x, y}))
        row(y)[x] = value;
}

} // namespace platform
