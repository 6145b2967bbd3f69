// Fitting a skin to a screen: work area, scale factor and check_version.

#include "skinner/skin/skin_reader.h"
#include "tests/skinner/skin_test_support.h"

#include <gtest/gtest.h>

using namespace skin_test;
using skinner::SkinDevice;
using skinner::SkinReader;

namespace {

TEST(SkinScale, WorkAreaLeavesRoomForTwoBars)
{
    struct Case {
        platform::Size screen;
        SkinDevice device;
        platform::Size work_area;
    };
    const SkinDevice smartphone{true, false};
    const SkinDevice pocket_pc{false, false};
    const Case cases[] = {
        {{176, 220}, smartphone, {176, 180}},
        {{240, 320}, smartphone, {240, 266}},
        {{352, 416}, smartphone, {352, 336}},
        {{480, 640}, smartphone, {480, 532}},
        {{320, 240}, smartphone, {320, 240}},
        {{240, 320}, pocket_pc, {240, 268}},
        {{480, 640}, pocket_pc, {480, 536}},
        {{640, 480}, pocket_pc, {640, 376}},
        {{320, 240}, pocket_pc, {320, 188}},
        {{480, 640}, {false, true}, {480, 640}},
        {{240, 320}, {true, true}, {240, 320}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(skinner::work_area_size(c.screen, c.device), c.work_area)
            << c.screen.width << "x" << c.screen.height << (c.device.smartphone ? " smartphone" : " pocket pc")
            << (c.device.full_screen ? " full screen" : "");
    }
}

TEST(SkinScale, ExactMatchBeforeBestFit)
{
    struct Case {
        const char* what;
        std::vector<Resolution> resolutions;
        std::u16string devices;
        bool smartphone;
        platform::Size screen;
        int scale;
        bool accepted; // check_version with the skin's own key
    };
    const Case cases[] = {
        {"every entry is tried at scale 1 first", {{240, 320}, {480, 640}}, u"", false, {480, 640}, 1, true},
        {"a multiple of the single entry", {{240, 320}}, u"", false, {480, 640}, 2, true},
        {"triple size", {{176, 220}, {240, 320}}, u"", false, {528, 660}, 3, true},
        {"no exact match: least leftover width", {{240, 320}}, u"", false, {240, 400}, 1, false},
        {"best fit at a larger scale", {{240, 320}}, u"", false, {500, 700}, 2, false},
        {"best fit prefers less width to less height", {{240, 160}, {100, 150}}, u"", false, {250, 330}, 1, false},
        {"nothing fits", {{240, 320}}, u"", false, {200, 200}, 1, false},
        {"first entry unused: any screen", {{0, 0}, {240, 320}}, u"", false, {480, 640}, 1, true},
        {"no entries at all", {}, u"", false, {123, 456}, 1, true},
        {"devices field refuses the exact match", {{240, 320}}, u"P", true, {480, 640}, 2, false},
        {"devices field admits the exact match", {{240, 320}}, u"PS", true, {480, 640}, 2, true},
        {"zero screen", {{240, 320}}, u"", false, {0, 0}, 1, true},
    };
    for (const Case& c : cases) {
        const auto folder = scratch_folder("scale");
        write_file(folder / "s.skin", header_only_skin(u"Key", c.devices, c.resolutions));
        SkinReader reader(wide(folder / "s.skin"), c.screen, {c.smartphone, false});
        ASSERT_TRUE(reader.is_valid()) << c.what;
        EXPECT_EQ(reader.scale(), c.scale) << c.what;
        EXPECT_EQ(reader.check_version(u"Key", c.screen), c.accepted) << c.what;
    }
}

TEST(SkinScale, CheckVersionComparesKeyAndDevices)
{
    const auto folder = scratch_folder("version");
    write_file(folder / "p.skin", header_only_skin(u"Melodrift_1.00", u"P", {{240, 320}}));
    const platform::Size screen{240, 320};
    SkinReader pocket_pc(wide(folder / "p.skin"), screen, {false, false});
    EXPECT_TRUE(pocket_pc.check_version(u"Melodrift_1.00", screen));
    EXPECT_TRUE(pocket_pc.check_version(u"", screen)) << "an empty key is not compared";
    EXPECT_FALSE(pocket_pc.check_version(u"Melodrift_1.0", screen));
    EXPECT_FALSE(pocket_pc.check_version(u"Melodrift_1.00", {240, 400})) << "no layout for the screen";
    SkinReader smartphone(wide(folder / "p.skin"), screen, {true, false});
    EXPECT_FALSE(smartphone.check_version(u"Melodrift_1.00", screen)) << "a Pocket PC skin on a Smartphone";
}

} // namespace
