#include "platform/image_loader.h"

#include <fstream>
#include <vector>

#include "liba/text.h"
#include "platform/gif_decoder.h"
#include "platform/image_check.h"
#include "platform/sdl/sdl_image_decoder.h"

namespace platform {
namespace {

// Larger than any picture a skin holds: a 10000 x 10000 image at 24 bits with room.
constexpr std::streamoff max_file_bytes = 320 * 1024 * 1024;

} // namespace

std::unique_ptr<Surface> decode_image(std::span<const uint8_t> bytes)
{
    const auto shape = check_image(bytes);
    if (!shape)
        return nullptr;
    // SDL_image's GIF decoder writes out of bounds on corrupt compressed data.
    if (shape->kind == ImageKind::Gif)
        return decode_gif(bytes);
    return sdl::decode_bmp_or_jpeg(bytes, *shape);
}

std::unique_ptr<Surface> load_image_file(const std::u16string& path)
{
    std::ifstream file(liba::to_narrow(path), std::ios::binary | std::ios::ate);
    if (!file)
        return nullptr;
    const std::streamoff size = file.tellg();
    if (size <= 0 || size > max_file_bytes)
        return nullptr;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size))
        return nullptr;
    return decode_image(bytes);
}

} // namespace platform
