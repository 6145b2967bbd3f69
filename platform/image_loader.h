#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/surface.h"

namespace platform {

// The image decompressor: GIF (own decoder), BMP and JPEG (SDL_image) files to 32-bit
// surfaces. Files whose
// structure does not hold together (check_image) are refused before any decoding,
// as is anything larger than max_image_side on either axis. Null on failure.
// Safe to call from any thread.
std::unique_ptr<Surface> decode_image(std::span<const uint8_t> bytes);
std::unique_ptr<Surface> load_image_file(const std::u16string& path);

} // namespace platform
