#include <gtest/gtest.h>

#include "platform/device_context.h"

namespace platform {
namespace {

constexpr Colour red{255, 0, 0};
constexpr Colour green{0, 255, 0};
constexpr Colour blue{0, 0, 255};
constexpr Colour white{255, 255, 255};
constexpr Colour black{0, 0, 0};

// A surface with a context selected into it.
struct Canvas {
    explicit Canvas(int width, int height, Colour background = black)
        : surface(Surface::create(width, height))
    {
        dc.select(surface.get());
        dc.fill(surface->bounds(), background);
    }

    Colour at(int x, int y) const { return Colour::from_pixel(surface->pixel(x, y)); }

    // One character per pixel of row y: R, G, B, W, K (black) or ? for anything else.
    std::string row(int y) const
    {
        std::string letters;
        for (int x = 0; x < surface->width(); ++x) {
            const Colour c = at(x, y);
            letters += c == red ? 'R' : c == green ? 'G' : c == blue ? 'B' : c == white ? 'W' : c == black ? 'K' : '?';
        }
        return letters;
    }

    std::unique_ptr<Surface> surface;
    DeviceContext dc;
};

std::unique_ptr<Surface> strip(std::initializer_list<Colour> colours)
{
    auto made = Surface::create(static_cast<int>(colours.size()), 1);
    int x = 0;
    for (const Colour c : colours)
        made->set_pixel(x++, 0, c.pixel());
    return made;
}

TEST(DrawSurface, RefusesEmptyAndAbsurdSizes)
{
    EXPECT_EQ(Surface::create(0, 5), nullptr);
    EXPECT_EQ(Surface::create(5, -1), nullptr);
    EXPECT_EQ(Surface::create(Surface::max_side + 1, 1), nullptr);
    ASSERT_NE(Surface::create(3, 2), nullptr);
}

TEST(DrawRaster, FillStaysInsideClipOriginAndSurface)
{
    Canvas canvas(8, 3);
    canvas.dc.set_origin({2, 0});
    canvas.dc.set_clip({-1, 0, 4, 2}); // surface columns 1..4, rows 0..1
    canvas.dc.fill({-10, -10, 100, 100}, red);
    EXPECT_EQ(canvas.row(0), "KRRRRKKK");
    EXPECT_EQ(canvas.row(1), "KRRRRKKK");
    EXPECT_EQ(canvas.row(2), "KKKKKKKK");

    canvas.dc.clear_clip();
    canvas.dc.fill({4, 2, 10, 1}, blue); // runs off the right edge
    EXPECT_EQ(canvas.row(2), "KKKKKKBB");
}

TEST(DrawRaster, PixelReadsOnlyInsideClip)
{
    Canvas canvas(4, 4, green);
    canvas.dc.set_clip({1, 1, 2, 2});
    EXPECT_EQ(canvas.dc.pixel({1, 1}), green);
    EXPECT_EQ(canvas.dc.pixel({0, 0}), std::nullopt);
    EXPECT_EQ(canvas.dc.pixel({5, 1}), std::nullopt);
    canvas.dc.set_pixel({0, 0}, red);
    EXPECT_EQ(canvas.at(0, 0), green);
}

TEST(DrawRaster, CopyCombinesByRasterOperation)
{
    struct Case {
        RasterOp op;
        Colour destination;
        Colour source;
        Colour expected;
    };
    const Case cases[] = {
        {RasterOp::Copy, red, Colour{1, 2, 3}, Colour{1, 2, 3}},
        {RasterOp::And, Colour{0xF0, 0x0F, 0xFF}, Colour{0x3C, 0x3C, 0x00}, Colour{0x30, 0x0C, 0x00}},
        {RasterOp::Or, Colour{0xF0, 0x0F, 0x00}, Colour{0x0C, 0x30, 0x81}, Colour{0xFC, 0x3F, 0x81}},
    };
    for (const Case& c : cases) {
        Canvas canvas(1, 1, c.destination);
        const auto source = strip({c.source});
        canvas.dc.copy({0, 0, 1, 1}, *source, {0, 0}, c.op);
        EXPECT_EQ(canvas.at(0, 0), c.expected) << static_cast<int>(c.op);
    }
}

TEST(DrawRaster, MaskOrThenImageAndCutsOutTransparentPixels)
{
    // Mask: white where the picture is opaque. Image: white where it is transparent.
    Canvas canvas(4, 1, green);
    const auto mask = strip({white, black, black, white});
    const auto image = strip({red, white, white, blue});
    canvas.dc.copy({0, 0, 4, 1}, *mask, {0, 0}, RasterOp::Or);
    canvas.dc.copy({0, 0, 4, 1}, *image, {0, 0}, RasterOp::And);
    EXPECT_EQ(canvas.row(0), "RGGB");
}

TEST(DrawRaster, CopyClipsToSourceAndDestination)
{
    Canvas canvas(6, 1);
    const auto source = strip({red, green, blue});
    canvas.dc.set_clip({0, 0, 5, 1});
    canvas.dc.copy({1, 0, 10, 1}, *source, {-1, 0}); // first and last pixels lie outside the source
    EXPECT_EQ(canvas.row(0), "KKRGBK");
}

TEST(DrawRaster, OverlappingCopyWithinOneSurfaceReadsOriginalPixels)
{
    Canvas canvas(5, 1);
    canvas.dc.fill({0, 0, 1, 1}, red);
    canvas.dc.fill({1, 0, 1, 1}, green);
    canvas.dc.fill({2, 0, 1, 1}, blue);
    canvas.dc.copy({1, 0, 3, 1}, *canvas.surface, {0, 0});
    EXPECT_EQ(canvas.row(0), "RRGBK");
}

TEST(DrawRaster, InvertFlipsColourBitsTwiceBackToStart)
{
    Canvas canvas(3, 1, Colour{10, 200, 30});
    canvas.dc.invert({1, 0, 1, 1});
    EXPECT_EQ(canvas.at(1, 0), (Colour{245, 55, 225}));
    EXPECT_EQ(canvas.at(0, 0), (Colour{10, 200, 30}));
    canvas.dc.invert({1, 0, 1, 1});
    EXPECT_EQ(canvas.at(1, 0), (Colour{10, 200, 30}));
}

TEST(DrawRaster, StretchTakesNearestPixel)
{
    struct Case {
        Rect destination;
        Rect source_area;
        std::string expected;
    };
    const Case cases[] = {
        {{0, 0, 6, 1}, {0, 0, 3, 1}, "RRGGBB"},
        {{0, 0, 6, 1}, {0, 0, 2, 1}, "RRRGGG"},
        {{0, 0, 2, 1}, {0, 0, 4, 1}, "GW"},
        {{1, 0, 3, 1}, {3, 0, 1, 1}, "KWWWKK"},
        {{0, 0, 6, 1}, {2, 0, 4, 1}, "BWWKKK"}, // the last two source pixels lie outside
    };
    const auto source = strip({red, green, blue, white});
    for (const Case& c : cases) {
        Canvas canvas(6, 1);
        canvas.dc.stretch(c.destination, *source, c.source_area);
        EXPECT_EQ(canvas.row(0).substr(0, c.expected.size()), c.expected);
    }
}

TEST(DrawRaster, StretchScalesRowsAndHonoursTheClip)
{
    auto source = Surface::create(2, 2);
    source->set_pixel(0, 0, red.pixel());
    source->set_pixel(1, 0, green.pixel());
    source->set_pixel(0, 1, blue.pixel());
    source->set_pixel(1, 1, white.pixel());
    Canvas canvas(4, 4);
    canvas.dc.set_clip({0, 0, 3, 4});
    canvas.dc.stretch({0, 0, 4, 4}, *source, source->bounds(), RasterOp::Or);
    EXPECT_EQ(canvas.row(0), "RRGK");
    EXPECT_EQ(canvas.row(1), "RRGK");
    EXPECT_EQ(canvas.row(2), "BBWK");
    EXPECT_EQ(canvas.row(3), "BBWK");
}

TEST(DrawRaster, BlendFollowsTheTruncatingFormula)
{
    // Every channel becomes d + a * (s - d) / 256, the division truncating toward zero.
    struct Case {
        uint8_t alpha;
        uint8_t source;
        uint8_t destination;
        uint8_t expected;
    };
    const Case cases[] = {
        {0, 200, 100, 100},
        {255, 200, 100, 199},  // 100 + 25500 / 256 = 100 + 99
        {255, 0, 255, 1},      // 255 - 65025 / 256 = 255 - 254
        {128, 0, 255, 128},    // 255 - 32640 / 256 = 255 - 127
        {128, 255, 0, 127},    // 32640 / 256 = 127
        {1, 0, 255, 255},      // -255 / 256 truncates to 0
        {77, 10, 250, 178},    // 250 - 18480 / 256 = 250 - 72
    };
    for (const Case& c : cases) {
        Canvas canvas(1, 1, Colour{c.destination, c.destination, 7});
        const auto colour = strip({Colour{c.source, 0, 0}});
        const auto alpha = strip({Colour{0, 0, c.alpha}});
        canvas.dc.blend({0, 0, 1, 1}, *colour, *alpha, {0, 0});
        const Colour out = canvas.at(0, 0);
        EXPECT_EQ(out.red, c.expected) << int(c.alpha) << " " << int(c.source) << " " << int(c.destination);
        EXPECT_EQ(out.green, c.destination + c.alpha * (0 - c.destination) / 256);
        EXPECT_EQ(out.blue, 7 + c.alpha * (0 - 7) / 256);
    }
}

TEST(DrawRaster, BlendReadsAlphaFromTheLowestByteOnly)
{
    Canvas canvas(2, 1, black);
    const auto colour = strip({white, white});
    const auto alpha = strip({Colour{255, 255, 0}, Colour{0, 0, 255}});
    canvas.dc.blend({0, 0, 2, 1}, *colour, *alpha, {0, 0});
    EXPECT_EQ(canvas.at(0, 0), black);
    EXPECT_EQ(canvas.at(1, 0), (Colour{254, 254, 254}));
}

TEST(DrawContext, SurfaceSelectsIntoOneContextAtATime)
{
    auto surface = Surface::create(2, 2);
    DeviceContext first;
    DeviceContext second;
    ASSERT_TRUE(first.select(surface.get()));
    EXPECT_FALSE(second.select(surface.get()));
    EXPECT_EQ(second.surface(), nullptr);
    second.fill({0, 0, 2, 2}, red); // nothing selected: draws nothing
    EXPECT_EQ(surface->pixel(0, 0), 0u);
    ASSERT_TRUE(first.select(nullptr));
    EXPECT_TRUE(second.select(surface.get()));
}

TEST(DrawContext, ReleasesItsSurfaceWhenDestroyed)
{
    auto surface = Surface::create(1, 1);
    {
        DeviceContext scoped;
        ASSERT_TRUE(scoped.select(surface.get()));
    }
    DeviceContext next;
    EXPECT_TRUE(next.select(surface.get()));
}

} // namespace
} // namespace platform
