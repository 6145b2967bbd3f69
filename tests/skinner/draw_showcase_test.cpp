#include <gtest/gtest.h>

#include <cmath>

#include "skinner/draw/canvas.h"
#include "skinner/draw/font.h"
#include "skinner/draw/picture.h"
#include "tests/skinner/draw_fixture.h"
#include "tests/support/reference_image.h"

namespace skinner {
namespace {

using testing::SkinFolder;
using testing::Target;

// A 24 x 24 button: a dark rim with light corners, a striped centre.
std::unique_ptr<platform::Surface> button_art()
{
    auto art = platform::Surface::create(24, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const bool rim = x < 6 || y < 6 || x >= 18 || y >= 18;
            const bool corner = (x < 6 || x >= 18) && (y < 6 || y >= 18);
            uint32_t pixel = ((x / 3 + y / 3) % 2) ? 0x80C0FF : 0x4060C0;
            if (rim)
                pixel = 0x203060;
            if (corner)
                pixel = 0xF0A030;
            art->set_pixel(x, y, pixel);
        }
    return art;
}

// A disc: the cut-out mask white inside, the alpha mask fading outwards.
std::unique_ptr<platform::Surface> disc(bool fading)
{
    auto mask = platform::Surface::create(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const double r = std::hypot(x - 15.5, y - 15.5) / 16.0;
            const int level = fading ? std::clamp(static_cast<int>(255 * (1.0 - r)), 0, 255) : (r < 1.0 ? 255 : 0);
            mask->set_pixel(x, y, static_cast<uint32_t>(level * 0x010101));
        }
    return mask;
}

std::unique_ptr<platform::Surface> gradient(uint32_t from, uint32_t to)
{
    auto art = platform::Surface::create(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint32_t pixel = 0;
            for (const int shift : {16, 8, 0}) {
                const int a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
                pixel |= static_cast<uint32_t>(a + (b - a) * (x + y) / 62) << shift;
            }
            art->set_pixel(x, y, pixel);
        }
    return art;
}

// Renders pictures in every nine-slice mode, masked and blended pictures, and text in
// several fonts and alignments into one image, compared with its reference.
TEST(DrawShowcase, RendersEveryModeAsItsReference)
{
    SkinFolder skin("showcase");
    skin.write_png("button", *button_art());
    // Cut-out artwork is white where its mask is black.
    auto icon_art = gradient(0xFF2020, 0x2020FF);
    const auto icon_mask = disc(false);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (icon_mask->pixel(x, y) == 0)
                icon_art->set_pixel(x, y, 0xFFFFFF);
    skin.write_png("icon", *icon_art);
    skin.write_png("icon_1", *icon_mask);
    skin.write_png("glow", *gradient(0xFFFF00, 0xFF00FF));
    skin.write_png("glow_8", *disc(true));

    Target target(480, 360, 0xE8E8E8);
    CanvasImpl canvas(target.context, {0, 0}, {480, 360});
    // Background stripes show what masks and blending let through.
    for (int x = 0; x < 480; x += 16)
        canvas.fill_rectangle({x, 0}, {8, 360}, {200, 210, 220, 0});

    Picture stretched(skin.skin_path(), u"button", false, 1);
    stretched.set_points({0, 0}, {6, 6}, {18, 18}, {24, 24}, true);
    Picture tiled = stretched;
    tiled.set_points({0, 0}, {6, 6}, {18, 18}, {24, 24}, false);
    const Picture whole(skin.skin_path(), u"button", false, 1);
    canvas.draw_picture(stretched, {10, 10}, {170, 70});
    canvas.draw_picture(tiled, {180, 10}, {340, 70});
    canvas.draw_picture(whole, {350, 10}, {470, 70});
    canvas.draw_picture(stretched, {10, 80}, {20, 100}); // corners larger than the destination

    const Picture icon(skin.skin_path(), u"icon", false, 1);
    const Picture icon_big(skin.skin_path(), u"icon", false, 2);
    const Picture glow(skin.skin_path(), u"glow", false, 1);
    Picture glow_stretched = glow;
    glow_stretched.set_points({0, 0}, {0, 0}, {32, 32}, {32, 32}, true);
    canvas.draw_picture(icon, {40, 80}, {72, 112});
    canvas.draw_picture(icon_big, {90, 80}, {154, 144});
    canvas.draw_picture(glow, {170, 80}, {202, 112});
    canvas.draw_picture(glow_stretched, {220, 80}, {340, 140});

    const struct {
        const char16_t* specification;
        int horizontal;
        int vertical;
    } lines[] = {
        {u"12 0 0 0 Tahoma", LEFT, TOP},
        {u"14 1 0 0 Tahoma", CENTER, VCENTER},
        {u"12 0 1 0 Tahoma", RIGHT, BOTTOM},
        {u"10 0 0 1 DejaVu Sans Mono", LEFT, VCENTER},
        {u"18 1 1 0 DejaVu Serif", CENTER, VCENTER},
    };
    int y = 160;
    for (const auto& line : lines) {
        Font font(1);
        font.set_specification(line.specification);
        canvas.fill_rectangle({10, y}, {460, 30}, {255, 255, 255, 0});
        canvas.draw_text(font, {20, 40, 120, 0}, std::u16string(line.specification) + u" \u00C4\u00D6\u00DC \u2026", {10, y},
            {460, 30}, line.horizontal, line.vertical);
        y += 34;
    }
    Font font(1);
    font.set_specification(u"12 0 0 0 Tahoma");
    canvas.fill_rectangle({350, 80}, {120, 24}, {255, 255, 255, 0});
    canvas.draw_text_ellipsis(font, {160, 0, 0, 0}, u"A very long ring tone name.mp3", {350, 80}, {120, 24}, LEFT, VCENTER);

    EXPECT_TRUE(ui_test::matches_reference(*target.surface, "skinner/draw_showcase"));
}

} // namespace
} // namespace skinner
