#include "png/png_image.h"

#include "png/qel_raw_png_decoder.h"

std::optional<QelPngImage> qel_decode_png(std::span<const uint8_t> bytes)
{
    QelRawPngDecoder decoder;
    if (decoder.decode(bytes.data(), bytes.size()) < 0 || decoder.output_width() == 0)
        return std::nullopt;
    QelPngImage image;
    image.width = int(decoder.output_width());
    image.height = int(decoder.output_height());
    image.rgba = decoder.take_rgba();
    return image;
}
