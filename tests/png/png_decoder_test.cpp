#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "png/png_image.h"
#include "png/qel_raw_png_decoder.h"
#include "png_fixtures.h"

namespace {

using png_fixtures::Bytes;
using png_fixtures::PngBuilder;

struct Decoded {
    int result = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    Bytes rgba;
    uint32_t gamma = 0;
};

Decoded decode(const Bytes& file)
{
    QelRawPngDecoder decoder;
    Decoded decoded;
    decoded.result = decoder.decode(file.data(), file.size());
    decoded.width = decoder.output_width();
    decoded.height = decoder.output_height();
    if (decoder.rgba())
        decoded.rgba.assign(decoder.rgba(), decoder.rgba() + size_t(decoded.width) * decoded.height * 4);
    decoded.gamma = decoder.info().gamma;
    return decoded;
}

// Source pixels for each kind: smooth enough for the encoder to filter and compress,
// with some noise, and within what the kind can hold.
using Painter = std::array<uint8_t, 4> (*)(int x, int y, uint8_t noise);

std::array<uint8_t, 4> grey(uint8_t v, uint8_t alpha = 255) { return {v, v, v, alpha}; }

const std::array<std::array<uint8_t, 4>, 12> twelve_colours = {{
    {200, 10, 10, 255}, {10, 200, 10, 255}, {10, 10, 200, 255}, {0, 0, 0, 255},
    {255, 255, 255, 255}, {128, 64, 32, 255}, {1, 2, 3, 255}, {250, 240, 230, 255},
    {90, 90, 0, 255}, {0, 90, 90, 255}, {77, 0, 77, 255}, {33, 66, 99, 255},
}};

std::array<uint8_t, 4> many_colours(int index)
{
    return {uint8_t(index * 37), uint8_t(index * 11 + 5), uint8_t(255 - index), 255};
}

struct Kind {
    const char* name;
    uint8_t colour_type;
    uint8_t depth;
    Painter paint;
};

const Kind kinds[] = {
    {"grey1", 0, 1, [](int x, int y, uint8_t) { return grey((x * x + 3 * y) % 5 < 2 ? 255 : 0); }},
    {"grey8", 0, 8, [](int x, int y, uint8_t n) { return grey(uint8_t(x * 11 + y * 5 + n % 4)); }},
    {"rgb8", 2, 8, [](int x, int y, uint8_t n) {
         return std::array<uint8_t, 4>{uint8_t(x * 11 + y * 5), n, uint8_t(255 - x * 7), 255};
     }},
    {"rgb16", 2, 16, [](int x, int y, uint8_t n) {
         return std::array<uint8_t, 4>{uint8_t(x * 3 + n % 8), uint8_t(y * 13), n, 255};
     }},
    {"palette4", 3, 4, [](int x, int y, uint8_t n) { return twelve_colours[(x / 2 + y * 3 + n % 2) % 12]; }},
    {"palette8", 3, 8, [](int x, int y, uint8_t) { return many_colours((x + y * 7) % 150); }},
    {"grey_alpha8", 4, 8, [](int x, int y, uint8_t n) { return grey(uint8_t(x * 9 + n % 3), uint8_t(x * 23 + y * 9)); }},
    {"rgba8", 6, 8, [](int x, int y, uint8_t n) {
         return std::array<uint8_t, 4>{uint8_t(x * 5), uint8_t(y * 9), n, uint8_t(x * y + n % 5)};
     }},
};

Bytes paint(const Kind& kind, int width, int height)
{
    png_fixtures::Noise noise(uint32_t(width * 31 + height));
    Bytes rgba;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto pixel = kind.paint(x, y, noise.next());
            rgba.insert(rgba.end(), pixel.begin(), pixel.end());
        }
    }
    return rgba;
}

std::string kind_options(const Kind& kind)
{
    return "-define png:color-type=" + std::to_string(kind.colour_type) + " -define png:bit-depth="
           + std::to_string(kind.depth) + (kind.depth == 16 ? " -depth 16" : "");
}

// Checks that ImageMagick wrote the kind the case asks for.
void expect_header(const Bytes& file, uint8_t depth, uint8_t colour_type, uint8_t interlace)
{
    ASSERT_GE(file.size(), 29u);
    EXPECT_EQ(file[24], depth);
    EXPECT_EQ(file[25], colour_type);
    EXPECT_EQ(file[28], interlace);
}

TEST(PngDecoder, EverySupportedKindPlainAndInterlaced)
{
    const std::array<std::array<int, 2>, 4> sizes = {{{13, 9}, {1, 1}, {3, 2}, {33, 17}}};
    for (const Kind& kind : kinds) {
        for (const bool interlaced : {false, true}) {
            for (const auto& [width, height] : sizes) {
                const std::string name = std::string(kind.name) + (interlaced ? "_adam7_" : "_")
                                         + std::to_string(width) + "x" + std::to_string(height);
                SCOPED_TRACE(name);
                const Bytes source = paint(kind, width, height);
                const Bytes file = png_fixtures::convert_rgba(name, width, height, source,
                                                              kind_options(kind) + (interlaced ? " -interlace PNG" : ""));
                expect_header(file, kind.depth, kind.colour_type, interlaced);
                const Decoded decoded = decode(file);
                EXPECT_EQ(decoded.result, 1);
                ASSERT_EQ(decoded.width, uint32_t(width));
                ASSERT_EQ(decoded.height, uint32_t(height));
                EXPECT_TRUE(decoded.rgba == source);
            }
        }
    }
}

TEST(PngDecoder, StoredFixedAndDynamicBlocksAcrossTheWindow)
{
    // 200 x 150 RGBA is 120 KB of rows: more than the inflater's buffer holds at once.
    const Kind& rgba = kinds[7];
    const Bytes source = paint(rgba, 200, 150);
    struct Case {
        const char* name;
        const char* options;
        int block_type;
    } cases[] = {
        {"stored", "-define png:compression-level=0", 0},
        {"fixed", "-define png:compression-strategy=4", 1},
        {"dynamic", "-define png:compression-level=9", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = png_fixtures::convert_rgba(std::string("blocks_") + c.name, 200, 150, source,
                                                      kind_options(rgba) + " " + c.options);
        EXPECT_EQ(png_fixtures::first_block_type(file), c.block_type);
        const Decoded decoded = decode(file);
        ASSERT_EQ(decoded.width, 200u);
        EXPECT_TRUE(decoded.rgba == source);
        EXPECT_EQ(decoded.gamma, 45455u);  // ImageMagick writes gAMA 1/2.2
    }
}

// Raw scanlines of random samples, packed for the kind.
Bytes random_rows(const Kind& kind, uint32_t width, uint32_t height, size_t& row_bytes)
{
    const unsigned channels = kind.colour_type == 2 ? 3 : kind.colour_type == 4 ? 2 : kind.colour_type == 6 ? 4 : 1;
    row_bytes = (size_t(width) * channels * kind.depth + 7) / 8;
    png_fixtures::Noise noise(kind.depth * 7 + kind.colour_type);
    Bytes raw(row_bytes * height);
    for (uint8_t& byte : raw)
        byte = noise.next();
    return raw;
}

Bytes full_palette()
{
    Bytes palette;
    for (int i = 0; i < 256; ++i) {
        const auto colour = many_colours(i);
        palette.insert(palette.end(), colour.begin(), colour.begin() + 3);
    }
    return palette;
}

Bytes build(const Kind& kind, uint32_t width, uint32_t height, const Bytes& filtered_rows)
{
    PngBuilder png;
    png.header(width, height, kind.depth, kind.colour_type);
    if (kind.colour_type == 3)
        png.chunk("PLTE", full_palette());
    return png.chunk("IDAT", png_fixtures::zlib_stored(filtered_rows)).end().bytes();
}

TEST(PngDecoder, EveryFilterGivesTheSamePixelsAsNone)
{
    const uint32_t width = 11, height = 6;
    for (const Kind& kind : kinds) {
        size_t row_bytes = 0;
        const Bytes raw = random_rows(kind, width, height, row_bytes);
        const size_t bpp = std::max<size_t>(1, row_bytes / width);
        const Decoded plain = decode(build(kind, width, height, png_fixtures::filter_rows(raw, row_bytes, bpp, 0)));
        ASSERT_EQ(plain.width, width) << kind.name;
        for (uint8_t filter = 1; filter <= 4; ++filter) {
            SCOPED_TRACE(std::string(kind.name) + " filter " + std::to_string(filter));
            const Decoded filtered =
                decode(build(kind, width, height, png_fixtures::filter_rows(raw, row_bytes, bpp, filter)));
            EXPECT_TRUE(filtered.rgba == plain.rgba);
        }
    }
}

TEST(PngDecoder, SixteenBitSamplesKeepTheirHighBytes)
{
    const Bytes row = {0x12, 0x34, 0xAB, 0xCD, 0x00, 0xFF};
    const Bytes file = build(kinds[3], 1, 1, png_fixtures::filter_rows(row, 6, 6, 0));
    EXPECT_EQ(decode(file).rgba, (Bytes{0x12, 0xAB, 0x00, 255}));
}

// Transparency keys: ImageMagick writes "tRNS" for images whose transparent pixels
// share one colour that no opaque pixel has.
TEST(PngDecoder, TransparentColourKeysPixelsOfThatColourOnly)
{
    struct Case {
        const char* name;
        const char* options;
        std::array<uint8_t, 4> key;
        std::array<uint8_t, 4> (*opaque)(int x, int y);
    } cases[] = {
        {"grey1", "-define png:color-type=0 -define png:bit-depth=1", {0, 0, 0, 0},
         [](int, int) { return grey(255); }},
        {"grey8", "-define png:color-type=0 -define png:bit-depth=8", {7, 7, 7, 0},
         [](int x, int y) { return grey(uint8_t(8 + x * 9 + y)); }},
        {"rgb8", "-define png:color-type=2 -define png:bit-depth=8", {1, 2, 3, 0},
         [](int x, int y) { return std::array<uint8_t, 4>{uint8_t(4 + x * 9), uint8_t(y * 20), 3, 255}; }},
        {"rgb16", "-define png:color-type=2 -define png:bit-depth=16 -depth 16", {1, 2, 3, 0},
         [](int x, int y) { return std::array<uint8_t, 4>{uint8_t(4 + x * 9), uint8_t(y * 20), 3, 255}; }},
    };
    const int width = 12, height = 7;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes source;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const auto pixel = (x + 2 * y) % 3 == 0 ? c.key : c.opaque(x, y);
                source.insert(source.end(), pixel.begin(), pixel.end());
            }
        }
        const Bytes file = png_fixtures::convert_rgba(std::string("key_") + c.name, width, height, source, c.options);
        bool has_key = false;
        for (const size_t at : png_fixtures::chunk_offsets(file))
            has_key = has_key || png_fixtures::chunk_type(file, at) == "tRNS";
        ASSERT_TRUE(has_key);
        EXPECT_TRUE(decode(file).rgba == source);
    }
}

TEST(PngDecoder, SixteenBitKeyComparesTheWholeSample)
{
    // The first pixel differs from the key in the low byte of blue only.
    const Bytes rows = {0, 0x10, 0x01, 0x20, 0x02, 0x30, 0x04, 0x10, 0x01, 0x20, 0x02, 0x30, 0x03};
    const Bytes file = PngBuilder()
                           .header(2, 1, 16, 2)
                           .chunk("tRNS", {0x10, 0x01, 0x20, 0x02, 0x30, 0x03})
                           .chunk("IDAT", png_fixtures::zlib_stored(rows))
                           .end()
                           .bytes();
    EXPECT_EQ(decode(file).rgba, (Bytes{0x10, 0x20, 0x30, 255, 0x10, 0x20, 0x30, 0}));
}

TEST(PngDecoder, PaletteAlphaComesFromTheTransparencyChunk)
{
    // Four entries, alpha for the first three only: entry 2 is transparent, entry 3
    // (beyond the chunk) is opaque, index 5 (beyond the palette) leaves its pixel untouched.
    const Bytes palette = {10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41, 42};
    const Bytes expected = {10, 11, 12, 255, 20, 21, 22, 255, 30, 31, 32, 0, 40, 41, 42, 255, 0, 0, 0, 0};
    struct Case {
        const char* name;
        uint8_t depth;
        Bytes row;
    } cases[] = {
        {"8 bits", 8, {0, 0, 1, 2, 3, 5}},
        {"4 bits", 4, {0, 0x01, 0x23, 0x50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = PngBuilder()
                               .header(5, 1, c.depth, 3)
                               .chunk("PLTE", palette)
                               .chunk("tRNS", {255, 255, 0})
                               .chunk("IDAT", png_fixtures::zlib_stored(c.row))
                               .end()
                               .bytes();
        EXPECT_EQ(decode(file).rgba, expected);
    }
}

TEST(PngDecoder, OnePixelRgbaAndItsBgraCopy)
{
    const Bytes file = PngBuilder()
                           .header(1, 1, 8, 6)
                           .chunk("IDAT", png_fixtures::zlib_stored({0, 0x11, 0x22, 0x33, 0x44}))
                           .end()
                           .bytes();
    QelRawPngDecoder decoder;
    ASSERT_EQ(decoder.decode(file.data(), file.size()), 1);
    ASSERT_EQ(decoder.output_width(), 1u);
    EXPECT_EQ(Bytes(decoder.rgba(), decoder.rgba() + 4), (Bytes{0x11, 0x22, 0x33, 0x44}));
    Bytes bgra(4);
    decoder.to_bgra(bgra.data());
    EXPECT_EQ(bgra, (Bytes{0x33, 0x22, 0x11, 0x44}));
}

TEST(PngDecoder, FileWithoutEndChunkStillDecodes)
{
    const Bytes source = paint(kinds[2], 9, 4);
    Bytes file = png_fixtures::convert_rgba("no_iend", 9, 4, source, kind_options(kinds[2]));
    ASSERT_EQ(png_fixtures::chunk_type(file, file.size() - 12), "IEND");
    file.erase(file.end() - 12, file.end());
    EXPECT_TRUE(decode(file).rgba == source);
}

TEST(PngDecoder, RefusedKindsGiveNoPixels)
{
    struct Case {
        const char* name;
        uint32_t width, height;
        uint8_t depth, colour_type, interlace;
    } cases[] = {
        {"grey 2 bits", 4, 4, 2, 0, 0},        {"grey 4 bits", 4, 4, 4, 0, 0},
        {"grey 16 bits", 4, 4, 16, 0, 0},      {"palette 1 bit", 4, 4, 1, 3, 0},
        {"palette 2 bits", 4, 4, 2, 3, 0},     {"grey alpha 16 bits", 4, 4, 16, 4, 0},
        {"rgba 16 bits", 4, 4, 16, 6, 0},      {"rgb 8 bits, type 1", 4, 4, 8, 1, 0},
        {"colour type 7", 4, 4, 8, 7, 0},      {"width 0", 0, 4, 8, 6, 0},
        {"height 0", 4, 0, 8, 6, 0},           {"width 16385", 16385, 1, 8, 6, 0},
        {"height 16385", 1, 16385, 8, 6, 0},   {"huge both ways", 0xFFFFFFFF, 0xFFFFFFFF, 8, 6, 0},
        {"interlace method 2", 4, 4, 8, 6, 2},
    };
    const Bytes image_data = png_fixtures::zlib_stored(Bytes(100, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = PngBuilder()
                               .header(c.width, c.height, c.depth, c.colour_type, c.interlace)
                               .chunk("IDAT", image_data)
                               .end()
                               .bytes();
        const Decoded decoded = decode(file);
        EXPECT_EQ(decoded.result, 1);
        EXPECT_EQ(decoded.width, 0u);
        EXPECT_EQ(decoded.height, 0u);
        EXPECT_TRUE(decoded.rgba.empty());
        EXPECT_FALSE(qel_decode_png(file));
    }
    const Bytes no_header = PngBuilder().chunk("IDAT", image_data).end().bytes();
    EXPECT_EQ(decode(no_header).width, 0u);
}

TEST(PngDecoder, LargestSideIsAccepted)
{
    Bytes row(1 + QelRawPngDecoder::max_side, 200);
    row[0] = 0;
    const Bytes file = PngBuilder()
                           .header(QelRawPngDecoder::max_side, 1, 8, 0)
                           .chunk("IDAT", png_fixtures::zlib_stored(row))
                           .bytes();
    const auto image = qel_decode_png(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, int(QelRawPngDecoder::max_side));
    EXPECT_EQ(image->height, 1);
    EXPECT_EQ(image->rgba.size(), size_t(QelRawPngDecoder::max_side) * 4);
    EXPECT_EQ(image->rgba.data()[4 * 16383], 200);
}

TEST(PngDecoder, NotAPngFails)
{
    const Bytes good = PngBuilder().header(1, 1, 8, 0).chunk("IDAT", png_fixtures::zlib_stored({0, 9})).bytes();
    Bytes wrong_signature = good;
    wrong_signature[3] = 'g';
    const Bytes palette_of_7 = PngBuilder().header(1, 1, 8, 3).chunk("PLTE", Bytes(7, 1)).bytes();
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"signature cut", Bytes(good.begin(), good.begin() + 7)},
        {"wrong signature", wrong_signature},
        {"palette of 7 bytes", palette_of_7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded decoded = decode(c.file);
        EXPECT_EQ(decoded.result, -1);
        EXPECT_TRUE(decoded.rgba.empty());
        EXPECT_FALSE(qel_decode_png(c.file));
    }
    EXPECT_EQ(decode(good).rgba, (Bytes{9, 9, 9, 255}));
}

// A 4 x 3 RGB image whose rows are 1 + 12 bytes each, in a stored stream, broken in
// several ways.
struct Broken {
    const char* name;
    Bytes file;
    uint32_t rows;  // complete rows expected; the rest stay transparent black
};

std::vector<Broken> broken_images(const Bytes& rows)
{
    auto image = [](const std::vector<Bytes>& data_chunks) {
        PngBuilder png;
        png.header(4, 3, 8, 2);
        for (const Bytes& data : data_chunks)
            png.chunk("IDAT", data);
        return png.end().bytes();
    };
    const Bytes stream = png_fixtures::zlib_stored(rows);
    auto stream_part = [&](long from, long to) { return Bytes(stream.begin() + from, stream.begin() + to); };
    const long header = 2 + 5;  // zlib header, stored block header
    const long end = long(stream.size());
    const size_t signature_and_header = 8 + 25;
    Bytes bad_filter = rows;
    bad_filter[13] = 5;

    const Bytes whole = image({stream});
    const Bytes split = image({stream_part(0, header + 27), stream_part(header + 27, end)});
    const size_t second_chunk = signature_and_header + 12 + size_t(header) + 27;

    return {
        {"complete", whole, 3},
        {"stream cut inside row 2", image({stream_part(0, header + 20)}), 1},
        {"stream cut after row 2", image({stream_part(0, header + 26)}), 2},
        {"stream cut in its header", image({stream_part(0, 1)}), 0},
        {"split stream, complete", split, 3},
        {"file cut inside the second data chunk", Bytes(split.begin(), split.begin() + long(second_chunk) + 10), 2},
        {"file cut inside its only data chunk", Bytes(whole.begin(), whole.begin() + long(signature_and_header) + 28), 0},
        {"unknown filter in row 2", image({png_fixtures::zlib_stored(bad_filter)}), 1},
    };
}

TEST(PngDecoder, BrokenDataKeepsTheRowsBeforeTheBreak)
{
    png_fixtures::Noise noise(5);
    Bytes rows;
    for (int row = 0; row < 3; ++row) {
        rows.push_back(0);
        for (int i = 0; i < 12; ++i)
            rows.push_back(noise.next());
    }
    Bytes expected;
    for (int row = 0; row < 3; ++row) {
        for (int pixel = 0; pixel < 4; ++pixel) {
            const auto at = rows.begin() + 1 + row * 13 + pixel * 3;
            expected.insert(expected.end(), at, at + 3);
            expected.push_back(255);
        }
    }
    for (const Broken& broken : broken_images(rows)) {
        SCOPED_TRACE(broken.name);
        const Decoded decoded = decode(broken.file);
        EXPECT_EQ(decoded.result, 1);
        ASSERT_EQ(decoded.width, 4u);
        ASSERT_EQ(decoded.height, 3u);
        const size_t kept = broken.rows * 16;
        EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + long(kept), decoded.rgba.begin()));
        EXPECT_TRUE(std::all_of(decoded.rgba.begin() + long(kept), decoded.rgba.end(), [](uint8_t b) { return b == 0; }));
    }
}

} // namespace
