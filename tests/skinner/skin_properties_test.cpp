// Typed skin properties: defaults, scaling, translation, pictures, fonts and switching
// skins and languages.

#include "liba/log.h"
#include "platform/window.h"
#include "skinner/draw/font_rep.h"
#include "skinner/skin/properties.h"
#include "tests/skinner/skin_test_support.h"

#include <gtest/gtest.h>

using namespace skin_test;
using skinner::Point;
using skinner::Properties;

namespace {

// Collects what is logged while a test runs.
class CapturedLog : public liba::LogStream {
public:
    void write(const char16_t* first, const char16_t* last) override { text.append(first, last); }
    void flush() override {}

    std::u16string text;
};

CapturedLog captured;

class SkinProperties : public testing::Test {
protected:
    void SetUp() override
    {
        captured.text.clear();
        liba::set_log_stream_chooser([]() -> liba::LogStream& { return captured; });
        folder_ = scratch_folder("skin");
        const std::string convert = "convert -size 12x8 xc:'#336699' 'PNG32:" + (folder_ / "button.png").string() + "'";
        ASSERT_EQ(std::system(convert.c_str()), 0) << "ImageMagick's convert makes the test picture";
        std::string error;
        skin_ = compile_skin(folder_, "props", R"(<skin key="Melodrift_1.00">
          <resolution width="240" height="320"/>
          <kind name="Frame">
            <int name="Border" value="10"/>
            <point name="Offset" value="5 5"/>
            <string name="Text" value="Hello"/>
            <string name="Plain" value="not a key"/>
            <string name="Cursor" value="HAND"/>
            <string name="BadCursor" value="hand"/>
            <color name="Back" value="#0a141e28"/>
            <picture name="Normal" image="button" margins="2 2 2 2" stretch="true"/>
            <font name="Font" value="14 1 0 0 Tahoma"/>
          </kind>
          <form name="Main"><point name="Size" value="240 268"/><int name="Fullscreen" value="0"/>
            <picture name="Back" image="button"/></form>
        </skin>)",
                             &error);
        ASSERT_FALSE(skin_.empty()) << error;
        write_file(folder_ / "Test.lng", std::string("Hello Hallo\nOther Andere\n"));
    }

    void TearDown() override { liba::set_log_stream_chooser(nullptr); }

    std::filesystem::path folder_;
    std::filesystem::path skin_;
};

TEST_F(SkinProperties, ScaledAndUnscaledNumbers)
{
    for (int scale = 1; scale <= 3; ++scale) {
        Properties properties(wide(skin_), {240 * scale, 320 * scale});
        ASSERT_TRUE(properties.is_valid()) << liba::to_narrow(captured.text);
        ASSERT_EQ(properties.scale(), scale);
        EXPECT_EQ(properties.size_integer(u"", u"Frame", u"Border", 7), 10 * scale);
        EXPECT_EQ(properties.integer(u"", u"Frame", u"Border", 7), 10);
        EXPECT_EQ(properties.size_integer(u"", u"Frame", u"Missing", 7), 7) << "defaults are not scaled";
        EXPECT_EQ(properties.integer(u"", u"Frame", u"Missing", 7), 7);
        EXPECT_EQ(properties.point(u"", u"Frame", u"Offset", {1, 1}), (Point{5 * scale, 5 * scale}));
        EXPECT_EQ(properties.point(u"", u"Frame", u"Missing", {5, 5}), (Point{5, 5}));
        EXPECT_EQ(properties.form_point(u"Main", u"Size", {}), (Point{240 * scale, 268 * scale}));
        EXPECT_EQ(properties.form_integer(u"Main", u"Fullscreen", 3), 0);
        EXPECT_EQ(properties.colour(u"", u"Frame", u"Back", {}), (skinner::Colour{10, 20, 30, 40}));
    }
}

TEST_F(SkinProperties, StringsAreLanguageKeys)
{
    Properties properties(wide(skin_), {240, 320});
    EXPECT_EQ(properties.string(u"", u"Frame", u"Text", u"x"), u"Hello") << "no language: as stored";
    ASSERT_TRUE(properties.load_language(wide(folder_ / "Test.lng")));
    EXPECT_EQ(properties.string(u"", u"Frame", u"Text", u"x"), u"Hallo");
    EXPECT_EQ(properties.string(u"", u"Frame", u"Plain", u"x"), u"not a key");
    EXPECT_EQ(properties.string(u"", u"Frame", u"Missing", u"Other"), u"Other") << "the default is not translated";
    EXPECT_EQ(properties.language_path(), wide(folder_ / "Test.lng"));
}

TEST_F(SkinProperties, CursorsByName)
{
    Properties properties(wide(skin_), {240, 320});
    EXPECT_EQ(properties.cursor(u"", u"Frame", u"Cursor", 0), platform::cursors::hand);
    EXPECT_EQ(properties.cursor(u"", u"Frame", u"BadCursor", 0), 0) << "names are case-sensitive";
    EXPECT_EQ(properties.cursor(u"", u"Frame", u"Missing", platform::cursors::wait), platform::cursors::wait);
}

TEST_F(SkinProperties, PicturesAndFontsComeFromTheSkinsLists)
{
    Properties properties(wide(skin_), {480, 640});
    ASSERT_TRUE(properties.is_valid());
    const skinner::Picture picture = properties.picture(u"", u"Frame", u"Normal", {});
    ASSERT_TRUE(picture.has_bitmap());
    const std::array<Point, 4> points = {Point{0, 0}, Point{4, 4}, Point{20, 12}, Point{24, 16}};
    EXPECT_EQ(picture.points(), points) << "design points times the scale";
    EXPECT_TRUE(picture.stretch());
    EXPECT_EQ(properties.form_picture(u"Main", u"Back", {}).size(), (Point{24, 16}));
    EXPECT_FALSE(properties.picture(u"", u"Frame", u"Missing", {}).has_record());

    const skinner::Font font = properties.font(u"", u"Frame", u"Font", skinner::Font());
    ASSERT_NE(font.rep(), nullptr);
    EXPECT_EQ(font.scale(), 2);
    EXPECT_EQ(font.rep()->request().weight, 700);
}

TEST_F(SkinProperties, MissingPictureMakesTheSkinInvalid)
{
    std::filesystem::remove(folder_ / "button.png");
    Properties properties(wide(skin_), {240, 320});
    EXPECT_FALSE(properties.is_valid());
    EXPECT_NE(captured.text.find(u"PropertiesImpl::PropertiesImpl picture failed to load {button}\n"),
              std::u16string::npos);
}

TEST_F(SkinProperties, SwitchingLanguageAndSkin)
{
    Properties properties(wide(skin_), {240, 320});
    captured.text.clear();
    EXPECT_FALSE(properties.load_language(wide(folder_ / "Missing.lng")));
    EXPECT_EQ(captured.text.find(u"Properties::refresh_skin() "), std::u16string::npos) << "no refresh";

    properties.integer(u"", u"Frame", u"Border", 0);
    properties.load_skin(wide(folder_ / "missing.skin"), {240, 320});
    EXPECT_FALSE(properties.is_valid());
    EXPECT_NE(captured.text.find(u"Properties::refresh_skin() " + wide(folder_ / "missing.skin") + u"\n"),
              std::u16string::npos);
    EXPECT_NE(captured.text.find(u"CompareCounter=0\nPropertyCounter=0\nFoundPropertyCounter=0\n"),
              std::u16string::npos);
    EXPECT_EXIT(properties.integer(u"", u"Frame", u"Border", 0), testing::ExitedWithCode(liba::fatal_exit_code), "report_no_skin");
}

TEST_F(SkinProperties, RefreshHandsThePropertiesToTheFormReloader)
{
    static const Properties* reloaded = nullptr;
    Properties::set_form_reloader([](const Properties& properties) { reloaded = &properties; });
    Properties properties;
    EXPECT_FALSE(properties.is_valid());
    properties.load_skin_and_language(wide(skin_), wide(folder_ / "Test.lng"), {240, 320});
    Properties::set_form_reloader(nullptr);
    EXPECT_EQ(reloaded, &properties);
    EXPECT_TRUE(properties.is_valid());
    EXPECT_EQ(properties.translate(u"Other"), u"Andere");
}

} // namespace
