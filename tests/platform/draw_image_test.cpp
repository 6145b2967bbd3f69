#include <gtest/gtest.h>

#include "tests/support/reference_image.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "liba/text.h"
#include "platform/image_check.h"
#include "platform/image_loader.h"
#include "platform/png_writer.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

fs::path scratch()
{
    const char* root = std::getenv("MELODRIFT_TEST_TMP");
    const fs::path folder = fs::path(root ? root : fs::temp_directory_path().string()) / "platform_draw_image";
    fs::create_directories(folder);
    return folder;
}

std::vector<uint8_t> read_bytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string run(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}

// A 20 x 10 picture: red, with a blue block at (4..7, 2..5), made by ImageMagick.
std::vector<uint8_t> make_picture(const std::string& extension, const std::string& options = "")
{
    const fs::path path = scratch() / ("picture" + std::to_string(std::hash<std::string>{}(options)) + "." + extension);
    const std::string command = "convert -size 20x10 xc:'#FF0000' -fill '#0000FF' -draw 'rectangle 4,2 7,5' "
        + options + " '" + path.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return read_bytes(path);
}

struct Format {
    std::string extension;
    std::string options;
    ImageKind kind;
    int tolerance; // JPEG is lossy
};

const Format formats[] = {
    {"gif", "", ImageKind::Gif, 0},
    {"gif", "-interlace Line", ImageKind::Gif, 0},
    {"bmp", "-type TrueColor", ImageKind::Bmp, 0},
    {"bmp", "-type Palette -compress None", ImageKind::Bmp, 0},
    {"bmp", "-type Palette -compress RLE", ImageKind::Bmp, 0},
    {"bmp", "-define bmp:format=bmp3", ImageKind::Bmp, 0},
    {"jpg", "-quality 95", ImageKind::Jpeg, 40},
    {"jpg", "-quality 90 -interlace Plane", ImageKind::Jpeg, 40},
};

void expect_near(uint32_t pixel, uint32_t expected, int tolerance)
{
    for (int shift : {16, 8, 0})
        EXPECT_NEAR(int((pixel >> shift) & 0xFF), int((expected >> shift) & 0xFF), tolerance) << std::hex << pixel;
}

TEST(DrawImage, DecodesEveryFormatToItsPixels)
{
    for (const Format& format : formats) {
        SCOPED_TRACE(format.extension + " " + format.options);
        const std::vector<uint8_t> bytes = make_picture(format.extension, format.options);
        const auto shape = check_image(bytes);
        ASSERT_TRUE(shape);
        EXPECT_EQ(shape->kind, format.kind);
        EXPECT_EQ(shape->size, (Size{20, 10}));
        const auto surface = decode_image(bytes);
        ASSERT_TRUE(surface);
        ASSERT_EQ(surface->width(), 20);
        ASSERT_EQ(surface->height(), 10);
        expect_near(surface->pixel(0, 0), 0xFF0000, format.tolerance);
        expect_near(surface->pixel(5, 3), 0x0000FF, format.tolerance);
        expect_near(surface->pixel(19, 9), 0xFF0000, format.tolerance);
    }
}

TEST(DrawImage, RefusesEveryTruncation)
{
    for (const Format& format : formats) {
        SCOPED_TRACE(format.extension + " " + format.options);
        const std::vector<uint8_t> bytes = make_picture(format.extension, format.options);
        for (size_t length = 0; length < bytes.size(); ++length) {
            const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + length);
            ASSERT_EQ(decode_image(cut), nullptr) << "kept " << length << " of " << bytes.size();
        }
    }
}

TEST(DrawImage, RefusesBitmapsThatLieAboutTheirSize)
{
    const std::vector<uint8_t> good = make_picture("bmp", "-type TrueColor");
    ASSERT_TRUE(decode_image(good));
    const auto patched = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return bytes;
    };
    EXPECT_EQ(decode_image(patched(2, static_cast<uint32_t>(good.size() + 1))), nullptr); // file size
    EXPECT_EQ(decode_image(patched(10, static_cast<uint32_t>(good.size() - 10))), nullptr); // pixel offset
    EXPECT_EQ(decode_image(patched(18, 21)), nullptr); // wider than its pixel data
    EXPECT_EQ(decode_image(patched(22, 11)), nullptr); // taller than its pixel data
    EXPECT_EQ(decode_image(patched(18, 0x80000000u)), nullptr);
    EXPECT_EQ(decode_image(patched(22, static_cast<uint32_t>(-(max_image_side + 1)))), nullptr);
}

TEST(DrawImage, RefusesGifFramesOutsideTheScreenAndJpegWithoutFrame)
{
    std::vector<uint8_t> gif = make_picture("gif");
    const auto position = [&](std::vector<uint8_t>& bytes, uint8_t marker) {
        for (size_t i = 13; i < bytes.size(); ++i)
            if (bytes[i] == marker)
                return i;
        return bytes.size();
    };
    const size_t descriptor = position(gif, 0x2C);
    ASSERT_LT(descriptor + 8, gif.size());
    std::vector<uint8_t> wide = gif;
    wide[descriptor + 5] = 0xFF; // frame width 0xFF14 > 10000
    wide[descriptor + 6] = 0xFF;
    EXPECT_EQ(decode_image(wide), nullptr);
    // A frame reaching outside the logical screen (20 x 10) would be drawn past it.
    std::vector<uint8_t> tall = gif;
    tall[descriptor + 7] = 11;
    EXPECT_EQ(decode_image(tall), nullptr);
    std::vector<uint8_t> shifted = gif;
    shifted[descriptor + 1] = 1; // left edge 1 + width 20
    EXPECT_EQ(decode_image(shifted), nullptr);
    std::vector<uint8_t> no_screen = gif;
    no_screen[6] = no_screen[7] = 0;
    EXPECT_EQ(decode_image(no_screen), nullptr);

    const std::vector<uint8_t> bare_jpeg = {0xFF, 0xD8, 0xFF, 0xD9};
    EXPECT_EQ(decode_image(bare_jpeg), nullptr);
}

TEST(DrawImage, RefusesOtherFormatsAndNoise)
{
    const std::vector<uint8_t> png = make_picture("png");
    EXPECT_EQ(decode_image(png), nullptr);
    EXPECT_EQ(decode_image(std::vector<uint8_t>(100, 0xFF)), nullptr);
    EXPECT_EQ(decode_image({}), nullptr);
}

TEST(DrawImage, LoadsFromAFileAndFailsForAMissingOne)
{
    const fs::path path = scratch() / "loaded.gif";
    ASSERT_EQ(std::system(("convert -size 8x8 xc:'#0000FF' '" + path.string() + "'").c_str()), 0);
    const auto surface = load_image_file(liba::to_wide(path.string()));
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->pixel(5, 3), 0x0000FFu);
    EXPECT_EQ(surface->width(), 8);
    EXPECT_EQ(load_image_file(liba::to_wide((scratch() / "missing.gif").string())), nullptr);
}

TEST(DrawPng, WrittenFileReadsBackPixelForPixel)
{
    // Flat colour (long matches), repeated rows (the up filter), a gradient and noise
    // (literals), over more than one match window.
    auto surface = Surface::create(300, 160);
    std::uint32_t noise = 12345;
    for (int y = 0; y < surface->height(); ++y)
        for (int x = 0; x < surface->width(); ++x) {
            noise = noise * 1103515245u + 12345u;
            std::uint32_t pixel = static_cast<uint32_t>((x << 16) | (y << 8) | ((x + y) & 0xFF));
            if (y < 40)
                pixel = 0x3060C0;
            else if (y >= 120)
                pixel = noise >> 8 & 0xFFFFFF;
            else if (x < 100)
                pixel = (x / 10 % 2) ? 0xFFFFFF : 0x000000;
            surface->set_pixel(x, y, pixel & 0xFFFFFF);
        }
    const fs::path path = scratch() / "written.png";
    ASSERT_TRUE(write_png(*surface, liba::to_wide(path.string())));
    EXPECT_FALSE(fs::exists(path.string() + ".part"));
    EXPECT_LT(fs::file_size(path), 300u * 160u * 3u / 2u);

    const auto read = ui_test::read_png(path.string());
    ASSERT_TRUE(read);
    int differing = 0;
    for (int y = 0; y < surface->height(); ++y)
        for (int x = 0; x < surface->width(); ++x)
            differing += read->pixel(x, y) != surface->pixel(x, y);
    EXPECT_EQ(differing, 0);
    // ImageMagick validates the CRCs and the zlib stream while it reads the pixels.
    EXPECT_EQ(run("identify -format '%wx%h' '" + path.string() + "'"), "300x160");
    const std::string pixels = run("convert '" + path.string() + "' -format '%[pixel:p{150,70}] %[pixel:p{3,20}]' info: 2>&1");
    EXPECT_EQ(pixels, "srgb(150,70,220) srgb(48,96,192)");
}

TEST(DrawPng, WriteFailsIntoAMissingFolder)
{
    auto surface = Surface::create(2, 2);
    EXPECT_FALSE(write_png(*surface, liba::to_wide((scratch() / "no" / "such" / "x.png").string())));
}

} // namespace
} // namespace platform
