#include <gtest/gtest.h>

#include "skinner/draw/picture.h"
#include "skinner/draw/image_record.h"
#include "tests/skinner/draw_fixture.h"

namespace skinner {
namespace {

using testing::convert_image;
using testing::SkinFolder;
using testing::solid;

constexpr uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF;

std::string test_name()
{
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// A 3 x 2 image of one colour in the given format, made by ImageMagick.
std::vector<uint8_t> coloured(const SkinFolder& skin, const std::string& file, const char* colour)
{
    return convert_image(skin.path(file), std::string("-size 3x2 xc:'") + colour + "' -type TrueColor");
}

uint32_t centre_of(const Picture& picture)
{
    return picture.has_bitmap() ? picture.record()->bitmap()->pixel(1, 1) & 0xFFFFFF : 0x123456;
}

TEST(DrawImageSearch, ArchiveMembersComeBeforeLooseFiles)
{
    SkinFolder skin(test_name());
    skin.write_png("logo", *solid(3, 2, red));
    skin.write_archive({{"logo.bmp", coloured(skin, "m.bmp", "#00FF00")}, {"logo.gif", coloured(skin, "m.gif", "#0000FF")}});
    // The ".gif" member wins over the ".bmp" member, and both over the loose file.
    EXPECT_EQ(centre_of(Picture(skin.skin_path(), u"logo", false, 1)), blue);
}

TEST(DrawImageSearch, ArchiveBitmapMemberIsUsed)
{
    SkinFolder skin(test_name());
    skin.write_png("logo", *solid(3, 2, red));
    skin.write_archive({{"logo.bmp", coloured(skin, "m.bmp", "#00FF00")}});
    EXPECT_EQ(centre_of(Picture(skin.skin_path(), u"logo", false, 1)), green);
}

TEST(DrawImageSearch, BrokenArchiveMemberEndsTheSearch)
{
    SkinFolder skin(test_name());
    skin.write_png("logo", *solid(3, 2, red));
    std::vector<uint8_t> gif = coloured(skin, "m.gif", "#0000FF");
    gif.resize(gif.size() - 3);
    skin.write_archive({{"logo.gif", gif}});
    const Picture picture(skin.skin_path(), u"logo", false, 1);
    EXPECT_TRUE(picture.has_record());
    EXPECT_FALSE(picture.has_bitmap());
}

TEST(DrawImageSearch, RawReaderTakesBitmapsTheDecompressorRefuses)
{
    SkinFolder skin(test_name());
    std::vector<uint8_t> bmp = coloured(skin, "m.bmp", "#00FF00");
    bmp[2] = 0xFF; // a file size larger than the file: the decompressor refuses it
    skin.write_archive({{"logo.bmp", bmp}});
    EXPECT_EQ(centre_of(Picture(skin.skin_path(), u"logo", false, 1)), green);
}

TEST(DrawImageSearch, LooseFilesInOrderPngBmpGifJpeg)
{
    struct Case {
        std::vector<std::string> present; // files written, with their colours
        uint32_t expected;
    };
    const Case cases[] = {
        {{"png:red", "bmp:green", "gif:blue"}, red},
        {{"bmp:green", "gif:blue", "jpg:red"}, green},
        {{"gif:blue", "jpg:red"}, blue},
        {{"jpg:red"}, red},
        {{"brokenpng", "gif:blue"}, blue}, // a loose file that does not decode is passed over
    };
    int round = 0;
    for (const Case& c : cases) {
        SkinFolder skin(test_name() + std::to_string(round++));
        for (const std::string& file : c.present) {
            if (file == "brokenpng") {
                SkinFolder::write_bytes(skin.path("logo.png"), {0x89, 'P', 'N', 'G'});
                continue;
            }
            const std::string extension = file.substr(0, 3);
            const std::string name = file.substr(4);
            const uint32_t pixel = name == "red" ? red : name == "green" ? green : blue;
            if (extension == "png") {
                skin.write_png("logo", *solid(3, 2, pixel));
                continue;
            }
            const std::string colour = name == "red" ? "#FF0000" : name == "green" ? "#00FF00" : "#0000FF";
            coloured(skin, "logo." + extension, colour.c_str());
        }
        const uint32_t found = centre_of(Picture(skin.skin_path(), u"logo", false, 1));
        for (const int shift : {16, 8, 0}) // JPEG is lossy
            EXPECT_NEAR(int((found >> shift) & 0xFF), int((c.expected >> shift) & 0xFF), 8) << round;
    }
}

TEST(DrawImageSearch, MasksComeFromTheSameSearch)
{
    SkinFolder skin(test_name());
    skin.write_archive({{"icon.gif", coloured(skin, "m.gif", "#FF0000")}});
    skin.write_png("icon_8", *solid(3, 2, 0x808080));
    const Picture picture(skin.skin_path(), u"icon", false, 1);
    ASSERT_TRUE(picture.has_bitmap());
    ASSERT_NE(picture.record()->mask(), nullptr);
    EXPECT_TRUE(picture.record()->alpha());
}

} // namespace
} // namespace skinner
