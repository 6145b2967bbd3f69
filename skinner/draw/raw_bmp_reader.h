#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "platform/surface.h"

namespace skinner {

// Reads an uncompressed BMP (1, 4, 8, 16, 24 or 32 bits a pixel, bottom-up or
// top-down) straight from its headers, for archive members the image decompressor
// gave nothing for. Null unless the headers are consistent and every pixel row lies
// within the bytes.
std::unique_ptr<platform::Surface> read_raw_bmp(std::span<const uint8_t> bytes, std::u16string_view name);

} // namespace skinner
