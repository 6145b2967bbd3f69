#include <gtest/gtest.h>

#include "skinner/draw/canvas.h"
#include "skinner/draw/image_record.h"
#include "skinner/draw/picture.h"
#include "tests/skinner/draw_fixture.h"

namespace skinner {
namespace {

using testing::image;
using testing::SkinFolder;
using testing::solid;
using testing::Target;

constexpr uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF, black = 0;

std::string test_name()
{
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// A one-row image whose pixel x has the colour x + 1 (distinct, never black).
std::unique_ptr<platform::Surface> numbered_row(int width)
{
    auto made = platform::Surface::create(width, 1);
    for (int x = 0; x < width; ++x)
        made->set_pixel(x, 0, static_cast<uint32_t>(x + 1));
    return made;
}

std::vector<uint32_t> numbers(std::initializer_list<int> sources)
{
    std::vector<uint32_t> pixels;
    for (const int x : sources)
        pixels.push_back(static_cast<uint32_t>(x + 1));
    return pixels;
}

// Draws the picture over a whole one-row target of the given width.
std::vector<uint32_t> draw_row(const Picture& picture, int width)
{
    Target target(width, 1, black);
    CanvasImpl canvas(target.context, {0, 0}, {width, 1});
    picture.draw(canvas, {0, 0}, {width, 1});
    return target.row(0);
}

TEST(DrawPicture, WholeImageIsATiledCentre)
{
    SkinFolder skin(test_name());
    skin.write_png("strip", *numbered_row(4));
    Picture picture(skin.skin_path(), u"strip", false, 1);
    ASSERT_TRUE(picture.has_bitmap());
    EXPECT_EQ(picture.size(), (Point{4, 1}));
    EXPECT_FALSE(picture.stretch());
    // A tiled centre of 4 pixels into 10 draws 4, 4 and 2 of them.
    EXPECT_EQ(draw_row(picture, 10), numbers({0, 1, 2, 3, 0, 1, 2, 3, 0, 1}));
}

TEST(DrawPicture, CornersWiderThanTheDestinationShrinkEvenly)
{
    SkinFolder skin(test_name());
    skin.write_png("frame", *numbered_row(20));
    Picture picture(skin.skin_path(), u"frame", false, 1);
    picture.set_points({0, 0}, {8, 0}, {12, 1}, {20, 1}, true);
    // Corners 8 + 8 into 10 pixels: 5 and 5, the left one from its outer edge, the
    // right one up to its outer edge; no room for the centre.
    EXPECT_EQ(draw_row(picture, 10), numbers({0, 1, 2, 3, 4, 15, 16, 17, 18, 19}));
    // An odd excess takes its extra pixel from the far corner.
    EXPECT_EQ(draw_row(picture, 9), numbers({0, 1, 2, 3, 4, 16, 17, 18, 19}));
}

TEST(DrawPicture, CornerDeficitMovesToTheOtherCorner)
{
    SkinFolder skin(test_name());
    skin.write_png("lopsided", *numbered_row(12));
    Picture picture(skin.skin_path(), u"lopsided", false, 1);
    picture.set_points({0, 0}, {0, 0}, {2, 1}, {12, 1}, true); // left 0, right 10
    EXPECT_EQ(draw_row(picture, 4), numbers({8, 9, 10, 11}));
}

TEST(DrawPicture, EdgesAndCentreStretchOrTile)
{
    struct Case {
        bool stretch;
        int width;
        std::vector<uint32_t> expected;
    };
    // Corners of 1 pixel (sources 0 and 5), a centre of 4 (sources 1 to 4).
    const Case cases[] = {
        {false, 12, numbers({0, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 5})},
        {true, 10, numbers({0, 1, 1, 2, 2, 3, 3, 4, 4, 5})},
        {true, 4, numbers({0, 2, 4, 5})},
    };
    SkinFolder skin(test_name());
    skin.write_png("bar", *numbered_row(6));
    for (const Case& c : cases) {
        Picture picture(skin.skin_path(), u"bar", false, 1);
        picture.set_points({0, 0}, {1, 0}, {5, 1}, {6, 1}, c.stretch);
        EXPECT_EQ(draw_row(picture, c.width), c.expected) << c.stretch << " " << c.width;
    }
}

TEST(DrawPicture, NineSliceCoversAllFourSides)
{
    // 3 x 3: a different colour in every cell; corners and edges of 1 pixel.
    SkinFolder skin(test_name());
    skin.write_png("box", *image({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}));
    Picture picture(skin.skin_path(), u"box", false, 1);
    picture.set_points({0, 0}, {1, 1}, {2, 2}, {3, 3}, true);
    Target target(6, 5, black);
    CanvasImpl canvas(target.context, {0, 0}, {6, 5});
    picture.draw(canvas, {1, 1}, {5, 5}); // 4 x 4
    EXPECT_EQ(target.row(0), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(target.row(1), (std::vector<uint32_t>{0, 1, 2, 2, 3, 0}));
    EXPECT_EQ(target.row(2), (std::vector<uint32_t>{0, 4, 5, 5, 6, 0}));
    EXPECT_EQ(target.row(3), (std::vector<uint32_t>{0, 4, 5, 5, 6, 0}));
    EXPECT_EQ(target.row(4), (std::vector<uint32_t>{0, 7, 8, 8, 9, 0}));
}

TEST(DrawPicture, DrawingStaysInsideTheCanvasClip)
{
    SkinFolder skin(test_name());
    skin.write_png("plain", *solid(2, 2, red));
    Picture picture(skin.skin_path(), u"plain", false, 1);
    Target target(6, 1, black);
    CanvasImpl canvas(target.context, {0, 0}, {6, 1});
    canvas.push_clip({2, 0}, {2, 1});
    picture.draw(canvas, {0, 0}, {6, 1});
    EXPECT_EQ(target.row(0), (std::vector<uint32_t>{black, black, red, red, black, black}));
}

TEST(DrawPicture, PreScaledImageIsPreferredAndUsedUnscaled)
{
    SkinFolder skin(test_name());
    skin.write_png("logo", *solid(2, 2, red));
    skin.write_png("logo_x2", *solid(3, 3, blue));
    const Picture at_two(skin.skin_path(), u"logo", false, 2);
    ASSERT_TRUE(at_two.has_bitmap());
    EXPECT_EQ(at_two.size(), (Point{3, 3}));
    EXPECT_EQ(at_two.record()->bitmap()->pixel(1, 1) & white, blue);

    const Picture at_three(skin.skin_path(), u"logo", false, 3);
    ASSERT_TRUE(at_three.has_bitmap());
    EXPECT_EQ(at_three.size(), (Point{6, 6}));
    EXPECT_EQ(at_three.record()->bitmap()->pixel(5, 5) & white, red);
}

TEST(DrawPicture, ScalingEnlargesImageAndMaskByWholePixels)
{
    SkinFolder skin(test_name());
    skin.write_png("dot", *image({{red, green}}));
    skin.write_png("dot_1", *image({{white, black}}));
    const Picture picture(skin.skin_path(), u"dot", false, 2);
    ASSERT_TRUE(picture.has_bitmap());
    const platform::Surface& bitmap = *picture.record()->bitmap();
    const platform::Surface& mask = *picture.record()->mask();
    ASSERT_EQ(bitmap.width(), 4);
    ASSERT_EQ(bitmap.height(), 2);
    EXPECT_EQ(bitmap.pixel(1, 1) & white, red);
    EXPECT_EQ(bitmap.pixel(2, 0) & white, green);
    EXPECT_EQ(mask.pixel(1, 0) & white, white);
    EXPECT_EQ(mask.pixel(2, 1) & white, black);
}

TEST(DrawPicture, CutOutMaskKeepsTheBackgroundWhereItIsBlack)
{
    SkinFolder skin(test_name());
    skin.write_png("icon", *image({{red, white, blue}}));
    skin.write_png("icon_1", *image({{white, black, white}}));
    const Picture picture(skin.skin_path(), u"icon", false, 1);
    ASSERT_FALSE(picture.record()->alpha());
    EXPECT_EQ(draw_row(picture, 3), (std::vector<uint32_t>{red, black, blue}));

    Target target(3, 1, green);
    CanvasImpl canvas(target.context, {0, 0}, {3, 1});
    picture.draw(canvas, {0, 0}, {3, 1});
    EXPECT_EQ(target.row(0), (std::vector<uint32_t>{red, green, blue}));
}

TEST(DrawPicture, AlphaMaskBlendsWithTheDestination)
{
    SkinFolder skin(test_name());
    skin.write_png("glow", *solid(4, 1, white));
    skin.write_png("glow_8", *image({{0x000000, 0x808080, 0xFFFFFF, 0x00FF40}}));
    const Picture picture(skin.skin_path(), u"glow", false, 1);
    ASSERT_TRUE(picture.record()->alpha());
    Target target(4, 1, 0x204060);
    CanvasImpl canvas(target.context, {0, 0}, {4, 1});
    picture.draw(canvas, {0, 0}, {4, 1});
    const auto expect = [](int d, int a) { return static_cast<uint32_t>(d + a * (255 - d) / 256); };
    const auto mixed = [&](int a) { return (expect(0x20, a) << 16) | (expect(0x40, a) << 8) | expect(0x60, a); };
    EXPECT_EQ(target.at(0, 0), 0x204060u);
    EXPECT_EQ(target.at(1, 0), mixed(128));
    EXPECT_EQ(target.at(2, 0), mixed(255));
    EXPECT_EQ(target.at(3, 0), mixed(0x40)); // the blue channel is the alpha
}

TEST(DrawPicture, AlphaBlendFollowsStretchingAndTheClip)
{
    SkinFolder skin(test_name());
    skin.write_png("fade", *solid(2, 1, white));
    skin.write_png("fade_8", *image({{0x000000, 0xFFFFFF}}));
    Picture picture(skin.skin_path(), u"fade", false, 1);
    picture.set_points({0, 0}, {0, 0}, {2, 1}, {2, 1}, true);
    Target target(6, 1, black);
    CanvasImpl canvas(target.context, {0, 0}, {6, 1});
    canvas.push_clip({0, 0}, {5, 1});
    picture.draw(canvas, {0, 0}, {6, 1});
    EXPECT_EQ(target.row(0), (std::vector<uint32_t>{0, 0, 0, 0xFEFEFE, 0xFEFEFE, 0}));
}

TEST(DrawPicture, UniformStripsFillLikeStretching)
{
    // A one-pixel centre between corners, drawn wide: filled with its colour, tiled
    // or stretched alike; a strip under a mask that is not all white still cuts out.
    SkinFolder skin(test_name());
    skin.write_png("pill", *image({{red, green, blue}}));
    skin.write_png("hole", *image({{red, white, blue}}));
    skin.write_png("hole_1", *image({{white, black, white}}));
    for (const bool stretch : {false, true}) {
        Picture pill(skin.skin_path(), u"pill", false, 1);
        pill.set_points({0, 0}, {1, 0}, {2, 1}, {3, 1}, stretch);
        EXPECT_EQ(draw_row(pill, 5), (std::vector<uint32_t>{red, green, green, green, blue}));

        Picture hole(skin.skin_path(), u"hole", false, 1);
        hole.set_points({0, 0}, {1, 0}, {2, 1}, {3, 1}, stretch);
        Target target(5, 1, 0x123456);
        CanvasImpl canvas(target.context, {0, 0}, {5, 1});
        hole.draw(canvas, {0, 0}, {5, 1});
        EXPECT_EQ(target.row(0), (std::vector<uint32_t>{red, 0x123456, 0x123456, 0x123456, blue}));
    }
}

TEST(DrawPicture, TransparencyFollowsTheMaskThroughTheNineSliceMapping)
{
    SkinFolder skin(test_name());
    skin.write_png("shape", *solid(6, 1, red));
    skin.write_png("shape_1", *image({{black, white, white, black, white, black}}));
    Picture picture(skin.skin_path(), u"shape", false, 1);
    picture.set_points({0, 0}, {1, 0}, {5, 1}, {6, 1}, false);
    const Point origin{10, 0}, far{22, 1};
    // Destination 12 wide: corner source 0, tiled centre sources 1..4, corner source 5.
    const bool expected[12] = {true, false, false, true, false, false, false, true, false, false, false, true};
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(picture.is_transparent({10 + x, 0}, origin, far), expected[x]) << x;
    EXPECT_TRUE(picture.is_transparent({9, 0}, origin, far));
    EXPECT_TRUE(picture.is_transparent({22, 0}, origin, far));

    picture.set_points({0, 0}, {1, 0}, {5, 1}, {6, 1}, true);
    // Stretched centre: sources 1 to 4 over 10 pixels, source 3 at offsets 5 and 6.
    EXPECT_FALSE(picture.is_transparent({11, 0}, origin, far));
    EXPECT_TRUE(picture.is_transparent({16, 0}, origin, far));
    EXPECT_TRUE(picture.is_transparent({17, 0}, origin, far));
    EXPECT_FALSE(picture.is_transparent({18, 0}, origin, far));

    const Picture unmasked(skin.skin_path(), u"shape_1", false, 1);
    EXPECT_FALSE(unmasked.is_transparent({0, 0}, {0, 0}, {6, 1}));
}

TEST(DrawPicture, SharedRecordLivesAsLongAsItsLastPicture)
{
    SkinFolder skin(test_name());
    skin.write_png("shared", *solid(1, 1, red));
    const size_t before = ImageRecord::cached_count();
    {
        Picture first(skin.skin_path(), u"shared", false, 1);
        Picture second(skin.skin_path(), u"shared", false, 1);
        EXPECT_EQ(first.record(), second.record());
        EXPECT_EQ(ImageRecord::cached_count(), before + 1);
        Picture copy = first;
        Picture assigned;
        assigned = second;
        const Picture other_scale(skin.skin_path(), u"shared", false, 2);
        EXPECT_NE(other_scale.record(), first.record());
        EXPECT_EQ(ImageRecord::cached_count(), before + 2);
    }
    EXPECT_EQ(ImageRecord::cached_count(), before);
}

TEST(DrawPicture, MissingImageKeepsARecordWithoutBitmapAndDrawsNothing)
{
    SkinFolder skin(test_name());
    const Picture picture(skin.skin_path(), u"absent", false, 1);
    EXPECT_TRUE(picture.has_record());
    EXPECT_FALSE(picture.has_bitmap());
    EXPECT_EQ(picture.size(), (Point{0, 0}));
    EXPECT_EQ(draw_row(picture, 3), (std::vector<uint32_t>{black, black, black}));

    const Picture empty;
    EXPECT_FALSE(empty.has_record());
    EXPECT_EQ(draw_row(empty, 2), (std::vector<uint32_t>{black, black}));
}

} // namespace
} // namespace skinner
