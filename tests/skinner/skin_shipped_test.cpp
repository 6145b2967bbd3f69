// The skins the build ships: they load with all their pictures, accept the program's
// version key on the screens they were drawn for, and choose the right layout.

#include "skinner/skin/properties.h"

#include <gtest/gtest.h>

#include <filesystem>

using skinner::Point;
using skinner::Properties;
using skinner::SkinDevice;

namespace {

const std::u16string default_skin = u"" MELODRIFT_BIN_DIR "/skins/default/default.skin";
const std::u16string dialogs_skin = u"" MELODRIFT_BIN_DIR "/skins/settings/dialogs.skin";

TEST(SkinShipped, DefaultSkinFitsEveryScreenItWasDrawnFor)
{
    ASSERT_TRUE(std::filesystem::exists(MELODRIFT_BIN_DIR "/skins/default/default.skin"))
        << "the build's skins target compiles it";
    struct Case {
        bool smartphone;
        platform::Size screen;
        int scale;
        Point main_size; // the chosen variant's size, scaled
    };
    const Case cases[] = {
        {false, {240, 320}, 1, {240, 268}}, {false, {480, 640}, 2, {480, 536}},
        {false, {320, 240}, 1, {320, 188}}, {false, {640, 480}, 2, {640, 376}},
        {true, {176, 220}, 1, {176, 180}},  {true, {240, 320}, 1, {240, 266}},
        {true, {480, 640}, 2, {480, 532}},
    };
    for (const Case& c : cases) {
        const std::string where = std::string(c.smartphone ? "Smartphone " : "Pocket PC ") +
                                  std::to_string(c.screen.width) + "x" + std::to_string(c.screen.height);
        skinner::PropertiesImpl skin(default_skin, c.screen, SkinDevice{c.smartphone, false});
        skinner::SkinReader& reader = skin.reader();
        ASSERT_TRUE(reader.is_valid()) << where << ": every picture loads at this scale";
        EXPECT_TRUE(reader.check_version(u"Melodrift_1.00", c.screen)) << where;
        EXPECT_EQ(reader.scale(), c.scale) << where;
        EXPECT_EQ(reader.point(reader.form_node(u"Main"), u"Size"), c.main_size) << where;
        EXPECT_NE(reader.find_node(u"Main", u"btnStart"), 0u) << where;
    }
}

TEST(SkinShipped, DefaultSkinRefusesScreensWithoutALayout)
{
    skinner::PropertiesImpl skin(default_skin, {240, 400}, SkinDevice{false, false});
    EXPECT_TRUE(skin.reader().is_valid());
    EXPECT_FALSE(skin.reader().check_version(u"Melodrift_1.00", {240, 400}));
}

TEST(SkinShipped, DialogsSkinHoldsTheAboutForm)
{
    for (const platform::Size screen : {platform::Size{240, 320}, platform::Size{480, 640}}) {
        skinner::PropertiesImpl skin(dialogs_skin, screen, SkinDevice{false, false});
        skinner::SkinReader& reader = skin.reader();
        ASSERT_TRUE(reader.is_valid());
        const uint32_t count = reader.form_control_count(u"About");
        ASSERT_EQ(count, 2u);
        EXPECT_EQ(reader.form_control_entry(u"About", 0).first, u"frmProduct");
        EXPECT_EQ(reader.form_control_entry(u"About", 1).first, u"btnOk");
        EXPECT_NE(reader.find_node(u"About", u"MenuMain"), 0u);
    }
}

} // namespace
