// links: png
// Feeds arbitrary bytes to the PNG decoder as a file, and to its inflater as a zlib stream.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "png/inflate.h"
#include "png/qel_raw_png_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QelRawPngDecoder decoder;
    if (decoder.decode(data, size) == 1) {
        // Reading every pixel proves the buffer is as large as the decoder says; the
        // copy is skipped for pictures too large to copy quickly.
        const size_t pixels = size_t(decoder.output_width()) * decoder.output_height();
        if (pixels > 0 && pixels <= 1u << 20) {
            std::vector<uint8_t> bgra(pixels * 4);
            decoder.to_bgra(bgra.data());
        }
    }

    size_t inflated = 0;
    qel_inflate({data, size}, [&](std::span<const uint8_t> run) {
        inflated += run.size();
        return inflated < (16u << 20);
    });
    return 0;
}
