// links: skinner
// The raw BMP reader over arbitrary bytes: it must refuse or read, never step outside.
#include <cstddef>
#include <cstdint>
#include <span>

#include "skinner/draw/raw_bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto surface = skinner::read_raw_bmp(std::span(data, size), u"fuzz");
    if (surface) {
        // Touch every pixel so a wrongly sized surface shows.
        uint32_t sum = 0;
        for (int y = 0; y < surface->height(); ++y)
            for (int x = 0; x < surface->width(); ++x)
                sum += surface->row(y)[x];
        volatile uint32_t sink = sum;
        (void)sink;
    }
    return 0;
}
