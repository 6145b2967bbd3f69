#include "platform/image_loader.h"

#include <SDL.h>
#include <SDL_image.h>

#include <fstream>
#include <mutex>
#include <vector>

#include "liba/text.h"
#include "platform/gif_decoder.h"
#include "platform/image_check.h"

namespace platform {
namespace {

// Larger than any picture a skin holds: a 10000 x 10000 image at 24 bits with room.
constexpr std::streamoff max_file_bytes = 320 * 1024 * 1024;

std::mutex& decoder_lock()
{
    static std::mutex lock;
    return lock;
}

const char* sdl_type(ImageKind kind)
{
    return kind == ImageKind::Bmp ? "BMP" : "JPG";
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SdlSurface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

} // namespace

std::unique_ptr<Surface> decode_image(std::span<const uint8_t> bytes)
{
    const auto shape = check_image(bytes);
    if (!shape)
        return nullptr;
    // SDL_image's GIF decoder writes out of bounds on corrupt compressed data.
    if (shape->kind == ImageKind::Gif)
        return decode_gif(bytes);

    SdlSurface pixels;
    {
        const std::lock_guard hold(decoder_lock());
        static const bool jpeg_ready = (IMG_Init(IMG_INIT_JPG) & IMG_INIT_JPG) != 0;
        if (shape->kind == ImageKind::Jpeg && !jpeg_ready)
            return nullptr;
        SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
        if (!stream)
            return nullptr;
        SdlSurface decoded(IMG_LoadTyped_RW(stream, 1, sdl_type(shape->kind)));
        if (!decoded)
            return nullptr;
        pixels.reset(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    }
    if (!pixels || pixels->w != shape->size.width || pixels->h != shape->size.height)
        return nullptr;
    auto surface = Surface::create(pixels->w, pixels->h);
    if (!surface)
        return nullptr;
    if (SDL_MUSTLOCK(pixels.get()) && SDL_LockSurface(pixels.get()) != 0)
        return nullptr;
    for (int y = 0; y < pixels->h; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(pixels->pixels) + static_cast<ptrdiff_t>(y) * pixels->pitch);
        uint32_t* out = surface->row(y);
        for (int x = 0; x < pixels->w; ++x)
            out[x] = in[x] & 0x00FFFFFF;
    }
    if (SDL_MUSTLOCK(pixels.get()))
        SDL_UnlockSurface(pixels.get());
    return surface;
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
