#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/base/geometry.h"

namespace platform {

enum class ImageKind { Gif, Bmp, Jpeg };

struct ImageShape {
    ImageKind kind;
    Size size;
};

// The largest width and height the image decompressor accepts.
constexpr int max_image_side = 10000;

// Walks the container structure of a GIF, BMP or JPEG file without decoding it and
// accepts it only when every block it names lies within the bytes and the file ends
// where its format says it does, so a decoder never meets a truncated file or one that
// lies about its size.
std::optional<ImageShape> check_image(std::span<const uint8_t> bytes);

} // namespace platform
