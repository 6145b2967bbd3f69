#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "png/pixel_buffer.h"

struct QelPngImage {
    int width = 0;
    int height = 0;
    QelPixelBuffer rgba;  // width x height x 4 bytes: red, green, blue, alpha, rows top to bottom
};

// Decodes the bytes of a PNG file. Nothing when they are not a PNG image of a kind the
// decoder supports. Data that breaks off still gives an image: pixels it did not
// reach are transparent black.
std::optional<QelPngImage> qel_decode_png(std::span<const uint8_t> bytes);
