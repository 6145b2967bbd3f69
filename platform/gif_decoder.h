#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/surface.h"

namespace platform {

// Decodes the first frame of a GIF file into a surface of the logical screen's size
// (the background colour around the frame). Every code of the compressed stream is
// checked, so corrupt data gives wrong pixels or a refusal, never a stray write.
// Null when the file is not a GIF this decoder can read.
std::unique_ptr<Surface> decode_gif(std::span<const uint8_t> bytes);

} // namespace platform
