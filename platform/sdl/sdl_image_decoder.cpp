#include "platform/sdl/sdl_image_decoder.h"

#include <SDL.h>
#include <SDL_image.h>

#include <mutex>
#include <utility>

namespace platform::sdl {
namespace {

// SDL_image is one library for the whole process, and not safe to call from several
// threads at once.
std::mutex sdl_image_lock;
bool jpeg_tried = false;
bool jpeg_ready = false;

const char* sdl_type(ImageKind kind)
{
    return kind == ImageKind::Bmp ? "BMP" : "JPG";
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SdlSurface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

} // namespace

std::unique_ptr<Surface> decode_bmp_or_jpeg(std::span<const uint8_t> bytes, const ImageShape& shape)
{
    SdlSurface pixels;
    {
        const std::lock_guard hold(sdl_image_lock);
        if (!std::exchange(jpeg_tried, true))
            jpeg_ready = (IMG_Init(IMG_INIT_JPG) & IMG_INIT_JPG) != 0;
        if (shape.kind == ImageKind::Jpeg && !jpeg_ready)
            return nullptr;
        SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
        if (!stream)
            return nullptr;
        SdlSurface decoded(IMG_LoadTyped_RW(stream, 1, sdl_type(shape.kind)));
        if (!decoded)
            return nullptr;
        pixels.reset(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    }
    if (!pixels || pixels->w != shape.size.width || pixels->h != shape.size.height)
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

} // namespace platform::sdl
