#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/device_context.h"
#include "platform/face_finder.h"
#include "platform/font.h"

namespace platform {
namespace {

std::shared_ptr<Font> make_font(int height, int weight = 400, bool italic = false,
    bool underline = false, std::u16string face = u"Tahoma")
{
    return Font::create({height, weight, italic, underline, std::move(face)});
}

TEST(DrawFontFace, TahomaResolvesToAnInstalledSansFace)
{
    const auto face = find_face(u"Tahoma", 400, false);
    ASSERT_TRUE(face);
    EXPECT_TRUE(std::filesystem::exists(face->path)) << face->path;
    EXPECT_FALSE(face->family.empty());
    EXPECT_FALSE(face->embolden);
    EXPECT_FALSE(face->oblique);
}

TEST(DrawFontFace, BoldAndItalicComeFromAFaceOrAreSynthesised)
{
    const auto regular = find_face(u"Tahoma", 400, false);
    const auto bold = find_face(u"Tahoma", 700, false);
    const auto italic = find_face(u"Tahoma", 400, true);
    ASSERT_TRUE(regular && bold && italic);
    EXPECT_TRUE(bold->path != regular->path || bold->embolden);
    EXPECT_TRUE(italic->path != regular->path || italic->oblique);
}

TEST(DrawFontFace, UnknownAndEmptyNamesStillFindAFace)
{
    EXPECT_TRUE(find_face(u"No Such Face 42", 400, false));
    EXPECT_TRUE(find_face(u"", 400, false));
}

TEST(DrawFont, NegativeHeightIsTheCharacterHeight)
{
    const auto font = make_font(-37);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->character_height(), 37);
    EXPECT_GT(font->metrics().height, 37); // the cell adds the leading of the face
    EXPECT_EQ(font->metrics().height, font->metrics().ascent + font->metrics().descent);
}

TEST(DrawFont, PositiveHeightIsTheCellHeight)
{
    for (const int height : {12, 20, 43}) {
        const auto font = make_font(height);
        ASSERT_TRUE(font);
        EXPECT_NEAR(font->metrics().height, height, 1) << height;
        EXPECT_LT(font->character_height(), height);
    }
}

TEST(DrawFont, ZeroHeightTakesTheDefault)
{
    const auto font = make_font(0);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->character_height(), Font::default_character_height);
}

TEST(DrawFont, StockFontIsTheDefaultSansFaceAtTheDefaultHeight)
{
    const auto stock = Font::stock();
    ASSERT_TRUE(stock);
    EXPECT_EQ(stock, Font::stock());
    EXPECT_EQ(stock->character_height(), Font::default_character_height);
    EXPECT_FALSE(stock->family().empty());
}

TEST(DrawFont, ExtentAndPrefixWidthsAgree)
{
    const auto font = make_font(-16);
    ASSERT_TRUE(font);
    for (const std::u16string text : {u"Ringtone_001.mp3", u"W", u"a b\tc", u"\u00C4\u0416\u2026"}) {
        const std::vector<int> widths = font->prefix_widths(text);
        ASSERT_EQ(widths.size(), text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            EXPECT_EQ(widths[i], font->text_extent(text.substr(0, i + 1)).width);
            if (i > 0) {
                EXPECT_GE(widths[i], widths[i - 1]);
            }
        }
        EXPECT_EQ(font->text_extent(text).height, font->metrics().height);
    }
}

TEST(DrawFont, EmptyTextHasNoWidthButALineHeight)
{
    const auto font = make_font(-16);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->text_extent(u""), (Size{0, font->metrics().height}));
    EXPECT_TRUE(font->prefix_widths(u"").empty());
}

TEST(DrawFont, SurrogatePairAddsItsWidthAtItsSecondUnit)
{
    const auto font = make_font(-16);
    ASSERT_TRUE(font);
    const std::u16string text = u"a\U0001F600b";
    const std::vector<int> widths = font->prefix_widths(text);
    ASSERT_EQ(widths.size(), 4u);
    EXPECT_EQ(widths[1], widths[0]);
    EXPECT_GT(widths[2], widths[1]);
    EXPECT_EQ(widths[3], font->text_extent(text).width);
    // A lone surrogate is measured as a replacement character, never skipped.
    EXPECT_GT(font->text_extent(std::u16string(1, char16_t(0xD800))).width, 0);
}

TEST(DrawFont, LargerAndBolderTextIsWider)
{
    const auto small = make_font(-12);
    const auto large = make_font(-24);
    const auto bold = make_font(-24, 700);
    ASSERT_TRUE(small && large && bold);
    const std::u16string text = u"Melodrift";
    EXPECT_GT(large->text_extent(text).width, small->text_extent(text).width);
    EXPECT_GE(bold->text_extent(text).width, large->text_extent(text).width);
}

struct TextCanvas {
    TextCanvas(int width, int height)
        : surface(Surface::create(width, height))
    {
        dc.select(surface.get());
        dc.fill(surface->bounds(), {255, 255, 255});
    }

    // The bounding box of every pixel that is no longer white.
    Rect inked() const
    {
        int left = surface->width(), top = surface->height(), right = -1, bottom = -1;
        for (int y = 0; y < surface->height(); ++y)
            for (int x = 0; x < surface->width(); ++x)
                if (surface->pixel(x, y) != 0xFFFFFF) {
                    left = std::min(left, x), top = std::min(top, y);
                    right = std::max(right, x), bottom = std::max(bottom, y);
                }
        return right < 0 ? Rect{} : Rect{left, top, right - left + 1, bottom - top + 1};
    }

    std::unique_ptr<Surface> surface;
    DeviceContext dc;
};

TEST(DrawText, InksInsideTheExtentInTheTextColour)
{
    const auto font = make_font(-20);
    ASSERT_TRUE(font);
    TextCanvas canvas(200, 60);
    const std::u16string text = u"Hello";
    canvas.dc.draw_text(*font, {10, 5}, text, {200, 0, 0});
    const Rect ink = canvas.inked();
    const Size extent = font->text_extent(text);
    ASSERT_FALSE(ink.empty());
    EXPECT_GE(ink.x, 10);
    EXPECT_GE(ink.y, 5);
    EXPECT_LE(ink.right(), 10 + extent.width + 1);
    EXPECT_LE(ink.bottom(), 5 + extent.height);
    bool solid_found = false;
    for (int y = ink.y; y < ink.bottom(); ++y)
        for (int x = ink.x; x < ink.right(); ++x)
            solid_found |= canvas.surface->pixel(x, y) == Colour{200, 0, 0}.pixel();
    EXPECT_TRUE(solid_found);
}

TEST(DrawText, StopsAtTheClip)
{
    const auto font = make_font(-20);
    ASSERT_TRUE(font);
    TextCanvas canvas(200, 40);
    canvas.dc.set_clip({0, 0, 15, 40});
    canvas.dc.draw_text(*font, {2, 2}, u"WWWWWW", {0, 0, 0});
    const Rect ink = canvas.inked();
    ASSERT_FALSE(ink.empty());
    EXPECT_LE(ink.right(), 15);
}

TEST(DrawText, UnderlineRunsTheWholeWidthBelowTheBaseline)
{
    const auto plain = make_font(-20);
    const auto underlined = make_font(-20, 400, false, true);
    ASSERT_TRUE(plain && underlined);
    TextCanvas a(120, 40), b(120, 40);
    a.dc.draw_text(*plain, {0, 0}, u"ab", {0, 0, 0});
    b.dc.draw_text(*underlined, {0, 0}, u"ab", {0, 0, 0});
    const int width = underlined->text_extent(u"ab").width;
    EXPECT_EQ(b.inked().x, 0);
    EXPECT_GE(b.inked().right(), width);
    EXPECT_GT(b.inked().bottom(), a.inked().bottom());
    EXPECT_GT(b.inked().bottom(), underlined->metrics().ascent);
}

TEST(DrawFontThread, WorkersMeasureTheSameFontAsTheUiThread)
{
    const auto font = make_font(-18);
    ASSERT_TRUE(font);
    const std::u16string text = u"Converting Ringtone_007.mp3 \u2026 42%";
    const Size expected = font->text_extent(text);
    std::vector<std::thread> workers;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&, t] {
            for (int round = 0; round < 50; ++round) {
                // Characters first seen here fill the glyph cache while others read it.
                const std::u16string fresh(1, static_cast<char16_t>(u'A' + t * 50 + round));
                font->prefix_widths(fresh + text);
                if (font->text_extent(text) != expected)
                    ++mismatches;
            }
        });
    auto surface = Surface::create(300, 40);
    DeviceContext dc;
    dc.select(surface.get());
    for (int round = 0; round < 20; ++round)
        dc.draw_text(*font, {0, 0}, text, {0, 0, 0});
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(mismatches.load(), 0);
}

TEST(DrawFontThread, FontsAreCreatedAndDestroyedOnSeveralThreads)
{
    std::vector<std::thread> workers;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&, t] {
            for (int round = 0; round < 5; ++round)
                if (!make_font(-10 - t - round, t % 2 ? 700 : 400))
                    ++failures;
        });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(failures.load(), 0);
}

} // namespace
} // namespace platform
