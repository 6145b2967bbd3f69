// links: skinner
// One frame of a busy form: a 480 x 640 back buffer, 40 nine-slice pictures (stretched,
// tiled, cut-out and blended) and 20 lines of text. Prints milliseconds per frame.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "liba/text.h"
#include "platform/png_writer.h"
#include "skinner/draw/canvas.h"
#include "skinner/draw/font.h"
#include "skinner/draw/picture.h"

namespace {

using namespace skinner;

std::unique_ptr<platform::Surface> art(int width, int height, uint32_t seed)
{
    auto surface = platform::Surface::create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            surface->set_pixel(x, y, (seed * 2654435761u + static_cast<uint32_t>(x * 40503 + y * 9973)) & 0xFFFFFF);
    return surface;
}

std::unique_ptr<platform::Surface> disc_mask(int side, bool grey)
{
    auto surface = platform::Surface::create(side, side);
    const int r = side / 2;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int d = (x - r) * (x - r) + (y - r) * (y - r);
            const uint32_t level = d < r * r ? (grey ? static_cast<uint32_t>(255 - 255 * d / (r * r)) : 255u) : 0u;
            surface->set_pixel(x, y, level * 0x010101);
        }
    return surface;
}

} // namespace

int main()
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "melodrift_bench_canvas";
    std::filesystem::create_directories(folder);
    const auto save = [&](const char* name, const platform::Surface& surface) {
        platform::write_png(surface, liba::to_wide((folder / (std::string(name) + ".png")).string()));
    };
    save("frame", *art(24, 24, 1));
    save("tile", *art(16, 16, 2));
    save("icon", *art(32, 32, 3));
    save("icon_1", *disc_mask(32, false));
    save("glow", *art(32, 32, 4));
    save("glow_8", *disc_mask(32, true));
    const std::u16string skin = liba::to_wide((folder / "bench.skin").string());

    Picture frame(skin, u"frame", false, 1);
    frame.set_points({0, 0}, {6, 6}, {18, 18}, {24, 24}, true);
    Picture tile(skin, u"tile", false, 1);
    tile.set_points({0, 0}, {4, 4}, {12, 12}, {16, 16}, false);
    const Picture icon(skin, u"icon", false, 1);
    Picture glow(skin, u"glow", false, 1);
    glow.set_points({0, 0}, {0, 0}, {32, 32}, {32, 32}, true);
    Font font(1);
    font.set_specification(u"12 0 0 0 Tahoma");
    Font bold(1);
    bold.set_specification(u"14 1 0 0 Tahoma");

    auto surface = platform::Surface::create(480, 640);
    platform::DeviceContext context;
    context.select(surface.get());

    const auto draw_frame = [&] {
        CanvasImpl canvas(context, {0, 0}, {480, 640});
        canvas.fill_rectangle({0, 0}, {480, 640}, {0, 255, 255, 0});
        for (int i = 0; i < 40; ++i) {
            const Point at{(i % 4) * 120, (i / 4) * 40};
            switch (i % 8) {
            case 0: case 1: case 2: case 3:
                canvas.draw_picture(frame, at, at + Point{116, 36});
                break;
            case 4: case 5:
                canvas.draw_picture(tile, at, at + Point{116, 36});
                break;
            case 6:
                canvas.draw_picture(icon, at, at + Point{32, 32});
                break;
            default:
                canvas.draw_picture(glow, at, at + Point{64, 36});
                break;
            }
        }
        for (int line = 0; line < 20; ++line)
            canvas.draw_text_ellipsis(line % 2 ? bold : font, {0, 0, 0, 0},
                u"Ringtone_" + liba::to_wide(std::to_string(line)) + u".mp3 \u2013 00:42.5 / 03:17.0", {8, 400 + line * 12},
                {300, 12}, LEFT, VCENTER);
    };

    draw_frame(); // glyph caches and first-use work
    constexpr int frames = 300;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i)
        draw_frame();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("canvas_frame: 480x640, 40 pictures + 20 text lines: %.3f ms per frame (%d frames; goal < 4 ms)\n",
        ms / frames, frames);
    std::filesystem::remove_all(folder);
    return 0;
}
