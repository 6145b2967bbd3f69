#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/image_check.h"
#include "platform/surface.h"

namespace platform::sdl {

// Decodes a BMP or JPEG file whose structure check_image has accepted into a 32-bit
// surface of the shape it announced; null on failure. Any thread.
std::unique_ptr<Surface> decode_bmp_or_jpeg(std::span<const uint8_t> bytes, const ImageShape& shape);

} // namespace platform::sdl
