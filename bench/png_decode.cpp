// links: png /usr/lib/x86_64-linux-gnu/libpng16.so
// Decodes one 480 x 640 RGBA picture with the program's own decoder and with libpng,
// and prints the milliseconds per decode of each and their ratio.
#include <libpng16/png.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "png/png_image.h"

namespace {

constexpr int width = 480;
constexpr int height = 640;
constexpr int rounds = 60;

// Skin-like artwork: soft gradients, a few round shapes with anti-aliased edges and
// a translucent shadow, a little grain.
std::vector<uint8_t> paint_artwork()
{
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    uint32_t grain = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = rgba.data() + (size_t(y) * width + x) * 4;
            grain = grain * 1103515245u + 12345u;
            const int noise = int(grain >> 29);
            double r = 40 + 150.0 * y / height, g = 60 + 120.0 * x / width, b = 160 + 60 * std::sin(x * 0.02);
            double alpha = 255;
            for (int i = 0; i < 6; ++i) {
                const double cx = 80 + i * 60, cy = 100 + i * 90, radius = 40 + i * 6;
                const double edge = std::clamp(radius - std::hypot(x - cx, y - cy), 0.0, 1.0);
                r += edge * (200 - r);
                g += edge * (40 * i - g);
                b += edge * (255 - 30 * i - b);
            }
            if (y > height - 60)
                alpha = 255.0 * (height - y) / 60;
            pixel[0] = uint8_t(std::clamp(r + noise, 0.0, 255.0));
            pixel[1] = uint8_t(std::clamp(g + noise, 0.0, 255.0));
            pixel[2] = uint8_t(std::clamp(b, 0.0, 255.0));
            pixel[3] = uint8_t(alpha);
        }
    }
    return rgba;
}

std::vector<uint8_t> encode_with_libpng(const std::vector<uint8_t>& rgba)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr))
        return {};
    std::vector<uint8_t> file(size);
    if (!png_image_write_to_memory(&image, file.data(), &size, 0, rgba.data(), 0, nullptr))
        return {};
    file.resize(size);
    return file;
}

struct MemoryReader {
    const uint8_t* bytes;
    size_t size;
    size_t position;
};

void read_from_memory(png_structp png, png_bytep out, size_t count)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->size - reader->position < count)
        png_error(png, "end of data");
    std::memcpy(out, reader->bytes + reader->position, count);
    reader->position += count;
}

bool decode_with_libpng(const std::vector<uint8_t>& file, std::vector<uint8_t>& rgba)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{file.data(), file.size(), 0};
    std::vector<png_bytep> rows(height);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, read_from_memory);
    png_read_info(png, info);
    rgba.resize(size_t(width) * height * 4);
    for (int y = 0; y < height; ++y)
        rows[y] = rgba.data() + size_t(y) * width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

double milliseconds_of(const auto& decode)
{
    const auto start = std::chrono::steady_clock::now();
    decode();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main()
{
    const std::vector<uint8_t> artwork = paint_artwork();
    const std::vector<uint8_t> file = encode_with_libpng(artwork);
    if (file.empty()) {
        std::fprintf(stderr, "png_decode: libpng could not encode the test picture\n");
        return 1;
    }

    std::vector<uint8_t> reference;
    const auto own = qel_decode_png(file);
    if (!decode_with_libpng(file, reference) || !own || own->width != width || own->height != height
        || !std::equal(reference.begin(), reference.end(), own->rgba.data())) {
        std::fprintf(stderr, "png_decode: the two decoders disagree\n");
        return 1;
    }

    // The two take turns, and each keeps its best time, so that other load on the
    // machine weighs on both alike.
    double own_ms = 1e9;
    double libpng_ms = 1e9;
    for (int round = 0; round < rounds; ++round) {
        own_ms = std::min(own_ms, milliseconds_of([&] { qel_decode_png(file); }));
        libpng_ms = std::min(libpng_ms, milliseconds_of([&] { decode_with_libpng(file, reference); }));
    }
    std::printf("picture: %d x %d RGBA, %zu bytes of PNG (%.1f%% of the pixels)\n", width, height, file.size(),
                100.0 * double(file.size()) / double(artwork.size()));
    std::printf("own decoder: %.3f ms per decode\n", own_ms);
    std::printf("libpng:      %.3f ms per decode\n", libpng_ms);
    std::printf("ratio own / libpng: %.2f\n", own_ms / libpng_ms);
    return 0;
}
