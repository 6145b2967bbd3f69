#include <gtest/gtest.h>

#include "platform/image_loader.h"
#include "skinner/draw/raw_bmp_reader.h"
#include "tests/skinner/draw_fixture.h"

namespace skinner {
namespace {

using testing::SkinFolder;

struct Made {
    std::string name;
    std::string drawing; // ImageMagick arguments before the output file
};

const Made bitmaps[] = {
    {"1bit.bmp", "-size 9x3 xc:red -fill blue -draw 'point 2,1' -type Palette"},
    {"4bit.bmp", "-size 64x3 gradient:red-blue +dither -colors 10 -type Palette"},
    {"8bit.bmp", "-size 40x10 plasma:fractal -seed 3 +dither -colors 100 -type Palette -compress None"},
    {"24bit.bmp", "-size 7x3 plasma:fractal -seed 1 -type TrueColor"},
    {"32bit.bmp", "-size 5x4 gradient:green-yellow -define bmp3:alpha=true -alpha on BMP3:"},
    {"core.bmp", "-size 6x2 plasma:fractal -seed 2 -type TrueColor BMP2:"},
};

std::vector<uint8_t> make(const SkinFolder& folder, const Made& made)
{
    const auto colon = made.drawing.rfind(':');
    const bool prefixed = colon != std::string::npos && colon + 1 == made.drawing.size();
    const testing::fs::path file = folder.path(made.name);
    const std::string command = "convert " + made.drawing + (prefixed ? "" : " ") + "'" + file.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return SkinFolder::read_bytes(file);
}

void expect_same_pixels(const platform::Surface& a, const platform::Surface& b)
{
    ASSERT_EQ(a.width(), b.width());
    ASSERT_EQ(a.height(), b.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            ASSERT_EQ(a.pixel(x, y) & 0xFFFFFF, b.pixel(x, y) & 0xFFFFFF) << x << "," << y;
}

TEST(DrawRawBmp, ReadsEveryUncompressedDepthLikeTheDecompressor)
{
    const SkinFolder folder("raw_bmp_depths");
    for (const Made& made : bitmaps) {
        SCOPED_TRACE(made.name);
        const std::vector<uint8_t> bytes = make(folder, made);
        const auto reference = platform::decode_image(bytes);
        const auto raw = read_raw_bmp(bytes, u"picture");
        ASSERT_TRUE(reference);
        if (made.name == "core.bmp") {
            EXPECT_EQ(raw, nullptr); // the old 12-byte header is not one the raw reader knows
            continue;
        }
        ASSERT_TRUE(raw);
        expect_same_pixels(*raw, *reference);
    }
}

// A 24-bit bitmap written by hand: 2 x 2, rows bottom-up unless top_down.
std::vector<uint8_t> handmade(bool top_down, uint16_t bits = 24)
{
    const uint32_t stride = (bits * 2 + 31) / 32 * 4;
    std::vector<uint8_t> b(54 + 2 * stride, 0);
    const auto put = [&](size_t at, uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            b[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, static_cast<uint32_t>(b.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, 2, 4);
    put(22, top_down ? static_cast<uint32_t>(-2) : 2u, 4);
    put(26, 1, 2);
    put(28, bits, 2);
    // Stored rows: the top row is first when top-down, last when bottom-up.
    const uint32_t top[2] = {0xFF0000, 0x00FF00};
    const uint32_t bottom[2] = {0x0000FF, 0xFFFFFF};
    const size_t first = 54, second = 54 + stride;
    for (int x = 0; x < 2; ++x) {
        if (bits == 24) {
            put((top_down ? first : second) + 3 * x, top[x], 3);
            put((top_down ? second : first) + 3 * x, bottom[x], 3);
        } else {
            const auto rgb555 = [](uint32_t c) { return ((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | ((c >> 3) & 31); };
            put((top_down ? first : second) + 2 * x, rgb555(top[x]), 2);
            put((top_down ? second : first) + 2 * x, rgb555(bottom[x]), 2);
        }
    }
    return b;
}

TEST(DrawRawBmp, RowOrderAndSixteenBitPixels)
{
    for (const bool top_down : {false, true})
        for (const uint16_t bits : {uint16_t{24}, uint16_t{16}}) {
            SCOPED_TRACE(std::to_string(bits) + (top_down ? " top-down" : " bottom-up"));
            const auto raw = read_raw_bmp(handmade(top_down, bits), u"hand");
            ASSERT_TRUE(raw);
            EXPECT_EQ(raw->pixel(0, 0), 0xFF0000u);
            EXPECT_EQ(raw->pixel(1, 0), 0x00FF00u);
            EXPECT_EQ(raw->pixel(0, 1), 0x0000FFu);
            EXPECT_EQ(raw->pixel(1, 1), 0xFFFFFFu);
        }
}

TEST(DrawRawBmp, RefusesTruncationsAndInconsistentHeaders)
{
    const std::vector<uint8_t> good = handmade(false);
    ASSERT_TRUE(read_raw_bmp(good, u"good"));
    for (size_t length = 0; length < good.size(); ++length)
        EXPECT_EQ(read_raw_bmp(std::span(good.data(), length), u"cut"), nullptr) << length;

    const auto patched = [&](size_t at, uint32_t value, int count) {
        std::vector<uint8_t> bytes = good;
        for (int i = 0; i < count; ++i)
            bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return bytes;
    };
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        int count;
    };
    const Case cases[] = {
        {"pixel offset past the end", 10, 0xFFFFFFF0u, 4},
        {"pixel offset inside the header", 10, 20, 4},
        {"header size past the end", 14, 0x7FFFFFFFu, 4},
        {"header too small", 14, 12, 4},
        {"zero width", 18, 0, 4},
        {"negative width", 18, 0xFFFFFFFEu, 4},
        {"absurd width", 18, 0x40000000u, 4},
        {"absurd height", 22, 0xC0000000u, 4},
        {"run-length compressed", 30, 1, 4},
        {"two bits a pixel", 28, 2, 2},
        {"wider than its pixels", 18, 3, 4},
        {"magic", 0, 'X', 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read_raw_bmp(patched(c.at, c.value, c.count), u"bad"), nullptr) << c.what;
}

TEST(DrawRawBmp, PaletteMustFitBeforeThePixels)
{
    const SkinFolder folder("raw_bmp_palette");
    std::vector<uint8_t> bytes = make(folder, bitmaps[2]); // 8 bits a pixel
    ASSERT_TRUE(read_raw_bmp(bytes, u"eight"));
    ASSERT_GT(bytes.size(), 14u + 124 + 4 * 100);
    bytes.resize(14 + 124 + 10); // the palette broken off
    EXPECT_EQ(read_raw_bmp(bytes, u"eight"), nullptr);
}

} // namespace
} // namespace skinner
