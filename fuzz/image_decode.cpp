// links: platform
// The image decompressor over arbitrary bytes: the structure check must stop every
// file the decoders could read past the end of.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/image_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    platform::decode_image(std::span(data, size));
    return 0;
}
