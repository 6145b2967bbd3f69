#include <gtest/gtest.h>

#include "liba/log.h"
#include "platform/font.h"
#include "skinner/draw/canvas.h"
#include "skinner/draw/font.h"
#include "skinner/draw/hdc_selector.h"
#include "tests/skinner/draw_fixture.h"

namespace skinner {
namespace {

using testing::Target;

constexpr uint32_t white = 0xFFFFFF;

// The bounding box of every pixel that is not white.
platform::Rect inked(const Target& target)
{
    int left = target.surface->width(), top = target.surface->height(), right = -1, bottom = -1;
    for (int y = 0; y < target.surface->height(); ++y)
        for (int x = 0; x < target.surface->width(); ++x)
            if (target.at(x, y) != white) {
                left = std::min(left, x), top = std::min(top, y);
                right = std::max(right, x), bottom = std::max(bottom, y);
            }
    return right < 0 ? platform::Rect{} : platform::Rect{left, top, right - left + 1, bottom - top + 1};
}

Font tahoma(const char16_t* specification = u"12 0 0 0 Tahoma")
{
    Font font(1);
    font.set_specification(specification);
    return font;
}

TEST(DrawCanvas, ClipStackIntersectsAndRestores)
{
    Target target(10, 1, white);
    CanvasImpl canvas(target.context, {1, 0}, {8, 1});
    canvas.push_clip({3, 0}, {10, 1}); // 3..8
    canvas.push_clip({0, 0}, {5, 1});  // 3..4
    canvas.fill_rectangle({0, 0}, {10, 1}, {255, 0, 0, 9});
    canvas.pop_clip();
    canvas.fill_rectangle({6, 0}, {10, 1}, {0, 0, 255, 0}); // 6..8
    canvas.pop_clip();
    canvas.fill_rectangle({0, 0}, {2, 1}, {0, 255, 0, 0}); // 1
    EXPECT_EQ(target.row(0), (std::vector<uint32_t>{white, 0x00FF00, white, 0xFF0000, 0xFF0000, white, 0x0000FF,
                                 0x0000FF, 0x0000FF, white}));
}

TEST(DrawCanvas, DisjointClipDrawsNothing)
{
    Target target(6, 1, white);
    CanvasImpl canvas(target.context, {0, 0}, {2, 1});
    canvas.push_clip({4, 0}, {2, 1});
    canvas.fill_rectangle({0, 0}, {6, 1}, {0, 0, 0, 0});
    EXPECT_EQ(inked(target), platform::Rect{});
}

TEST(DrawCanvas, MeasureTextGivesExtentAndZeroWidthWhenEmpty)
{
    Target target(1, 1, white);
    CanvasImpl canvas(target.context, {0, 0}, {1, 1});
    const Font font = tahoma();
    const Point size = canvas.measure_text(font, u"Melodrift");
    EXPECT_GT(size.x, 0);
    EXPECT_EQ(size.y, font.handle()->metrics().height);
    EXPECT_EQ(canvas.measure_text(font, u""), (Point{0, size.y}));
    // A font that has no platform font measures with the stock one.
    const Font empty(1);
    EXPECT_EQ(canvas.measure_text(empty, u"abc").x, platform::Font::stock()->text_extent(u"abc").width);
}

TEST(DrawCanvas, TextIsAlignedInsideItsRectangle)
{
    const Font font = tahoma(u"12 1 0 0 Tahoma");
    struct Case {
        int horizontal;
        int vertical;
    };
    const Case cases[] = {{LEFT, TOP}, {CENTER, VCENTER}, {RIGHT, BOTTOM}};
    for (const Case& c : cases) {
        Target target(200, 60, white);
        CanvasImpl canvas(target.context, {0, 0}, {200, 60});
        canvas.draw_text(font, {0, 0, 0, 0}, u"Hello", {10, 10}, {180, 40}, c.horizontal, c.vertical);
        const platform::Rect ink = inked(target);
        ASSERT_FALSE(ink.empty());
        const int left_gap = ink.x - 10, right_gap = 190 - ink.right();
        const int top_gap = ink.y - 10, bottom_gap = 50 - ink.bottom();
        if (c.horizontal == LEFT) {
            EXPECT_LT(left_gap, 3);
        } else if (c.horizontal == CENTER) {
            EXPECT_NEAR(left_gap, right_gap, 3);
        } else {
            EXPECT_LT(right_gap, 3);
        }
        if (c.vertical == TOP) {
            EXPECT_LT(top_gap, bottom_gap);
        } else if (c.vertical == VCENTER) {
            EXPECT_NEAR(top_gap, bottom_gap, 6);
        } else {
            EXPECT_GT(top_gap, bottom_gap);
        }
    }
}

TEST(DrawCanvas, TextIsClippedToItsRectangle)
{
    Target target(200, 40, white);
    CanvasImpl canvas(target.context, {0, 0}, {200, 40});
    canvas.draw_text(tahoma(), {0, 0, 0, 0}, u"WWWWWWWWWWWW", {20, 0}, {30, 40}, LEFT, VCENTER);
    const platform::Rect ink = inked(target);
    ASSERT_FALSE(ink.empty());
    EXPECT_GE(ink.x, 20);
    EXPECT_LE(ink.right(), 50);
}

// Draws with and without ellipsis and compares with plain drawings of the expected text.
void expect_drawn_as(const std::u16string& text, int width, const std::u16string& expected)
{
    const Font font = tahoma();
    Target with(240, 30, white), plain(240, 30, white);
    {
        CanvasImpl canvas(with.context, {0, 0}, {240, 30});
        canvas.draw_text_ellipsis(font, {0, 0, 0, 0}, text, {0, 0}, {width, 30}, LEFT, TOP);
    }
    {
        CanvasImpl canvas(plain.context, {0, 0}, {240, 30});
        canvas.draw_text(font, {0, 0, 0, 0}, expected, {0, 0}, {width, 30}, LEFT, TOP);
    }
    for (int y = 0; y < 30; ++y)
        ASSERT_EQ(with.row(y), plain.row(y)) << "row " << y;
}

TEST(DrawCanvas, EllipsisOnlyWhenTheTextIsWiderThanItsRectangle)
{
    const Font font = tahoma();
    const platform::Font& face = *font.handle();
    const std::u16string text = u"Ringtone_001.mp3";
    const int full = face.text_extent(text).width;
    const int dots = face.text_extent(u"\u2026").width;
    const std::vector<int> widths = face.prefix_widths(text);

    expect_drawn_as(text, full + 5, text);
    expect_drawn_as(text, full, text);
    // One pixel short: the longest prefix that leaves room for the ellipsis.
    size_t kept = 0;
    while (kept < widths.size() && widths[kept] + dots <= full - 1)
        ++kept;
    ASSERT_GT(kept, 0u);
    ASSERT_LT(kept, text.size());
    expect_drawn_as(text, full - 1, text.substr(0, kept) + u"\u2026");
    // No room even for the first character: the ellipsis alone.
    expect_drawn_as(text, dots, u"\u2026");
}

TEST(DrawCanvas, EllipsisNeverSplitsASurrogatePair)
{
    const Font font = tahoma();
    const platform::Font& face = *font.handle();
    const std::u16string text = u"ab\U0001F3B5cd";
    const std::vector<int> widths = face.prefix_widths(text);
    const int dots = face.text_extent(u"\u2026").width;
    // Room for "ab" and the ellipsis, and for the first half of the pair as well.
    expect_drawn_as(text, widths[2] + dots, u"ab\u2026");
}

TEST(DrawCanvasDeathTest, SelectingASurfaceTwiceIsFatal)
{
    auto surface = platform::Surface::create(2, 2);
    EXPECT_EXIT(
        {
            HDCSelector first(*surface);
            HDCSelector second(*surface);
        },
        ::testing::ExitedWithCode(liba::fatal_exit_code), "Failed to select bitmap into context");
}

TEST(DrawCanvas, SelectorReleasesItsSurface)
{
    auto surface = platform::Surface::create(2, 2);
    {
        HDCSelector selector(*surface);
        selector.context().fill(surface->bounds(), {1, 2, 3});
    }
    HDCSelector again(*surface);
    EXPECT_EQ(again.context().surface(), surface.get());
    EXPECT_EQ(surface->pixel(1, 1), 0x010203u);
}

} // namespace
} // namespace skinner
