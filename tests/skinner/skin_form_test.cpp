// Choosing the variant of a form, and finding controls and kinds.

#include "liba/log.h"
#include "skinner/skin/skin_reader.h"
#include "tests/skinner/skin_test_support.h"

#include <gtest/gtest.h>

using namespace skin_test;
using skinner::SkinDevice;
using skinner::SkinReader;

namespace {

const SkinDevice pocket_pc{false, false};
const SkinDevice smartphone{true, false};

class SkinForm : public testing::Test {
protected:
    std::u16string compile(const std::string& name, const std::string& xml)
    {
        std::string error;
        const auto path = compile_skin(scratch_folder(name), name, xml, &error);
        EXPECT_FALSE(path.empty()) << error;
        return wide(path);
    }

    // The name of the chosen variant, or "" when none.
    static std::u16string chosen(SkinReader& reader, std::u16string_view form)
    {
        const auto node = reader.find_form(form);
        return node == 0 ? u"" : reader.string(node, u"Name").value_or(u"?");
    }
};

const char variants[] = R"(<skin key="K">
  <resolution width="240" height="320"/>
  <resolution width="480" height="640"/>
  <form name="Main"><string name="Name" value="Main"/>
    <control name="btnOk" class="Button"/></form>
  <form name="Main240"><string name="Name" value="Main240"/><point name="Size" value="240 268"/>
    <control name="btnOk" class="Button"/></form>
  <form name="Main480"><string name="Name" value="Main480"/><point name="Size" value="480 536"/>
    <control name="btnOk" class="Button"/></form>
  <form name="Other"><string name="Name" value="Other"/></form>
</skin>)";

TEST_F(SkinForm, WidestFittingVariantWins)
{
    const std::u16string path = compile("variants", variants);
    struct Case {
        platform::Size screen;
        std::u16string wanted;
        std::u16string expected;
    };
    const Case cases[] = {
        {{240, 320}, u"Main", u"Main240"},
        {{240, 320}, u"Mai", u"Main240"}, // a prefix considers every variant
        {{480, 640}, u"Main", u"Main480"},
        {{320, 240}, u"Main", u"Main"}, // no sized variant fits 320 x 188
        {{240, 320}, u"Other", u"Other"},
        {{240, 320}, u"Main4", u""}, // only Main480 is a candidate, and it does not fit
    };
    for (const Case& c : cases) {
        SkinReader reader(path, c.screen, pocket_pc);
        ASSERT_TRUE(reader.is_valid());
        EXPECT_EQ(chosen(reader, c.wanted), c.expected)
            << liba::to_narrow(c.wanted) << " on " << c.screen.width << "x" << c.screen.height;
    }
}

TEST_F(SkinForm, FormWalkListsEveryFormItSaw)
{
    SkinReader reader(compile("variants", variants), {240, 320}, pocket_pc);
    reader.find_form(u"Mai");
    const std::u16string list = reader.form_list();
    EXPECT_NE(list.find(u"+Main Size=0 0 Devices= good_for_device\n"), std::u16string::npos);
    EXPECT_NE(list.find(u"+Main240 Size=240 268 Devices= good_for_device\n"), std::u16string::npos);
    EXPECT_NE(list.find(u"+Main480 Size=480 536 Devices= good_for_device\n"), std::u16string::npos);
    EXPECT_NE(list.find(u"-Other\n"), std::u16string::npos);
}

TEST_F(SkinForm, SizesAreScaledBeforeTheyAreFitted)
{
    // One design size: on 480 x 640 the skin runs at scale 2, so Main240 is 480 x 536.
    const std::u16string path = compile("scaled", R"(<skin>
      <resolution width="240" height="320"/>
      <form name="Main240"><string name="Name" value="Main240"/><point name="Size" value="240 268"/></form>
      <form name="Main480"><string name="Name" value="Main480"/><point name="Size" value="480 536"/></form>
    </skin>)");
    SkinReader reader(path, {480, 640}, pocket_pc);
    ASSERT_EQ(reader.scale(), 2);
    EXPECT_EQ(chosen(reader, u"Main"), u"Main240");
}

TEST_F(SkinForm, DevicesAndFullScreenDecideWhatFits)
{
    const std::u16string path = compile("devices", R"(<skin>
      <form name="PanelA"><string name="Name" value="PanelA"/><string name="Devices" value="P"/></form>
      <form name="PanelB"><string name="Name" value="PanelB"/><string name="Devices" value="P"/>
        <point name="Size" value="240 300"/></form>
      <form name="ViewSmall"><string name="Name" value="ViewSmall"/><point name="Size" value="240 200"/></form>
      <form name="ViewWhole"><string name="Name" value="ViewWhole"/><point name="Size" value="240 320"/>
        <int name="Fullscreen" value="1"/></form>
      <form name="TieA"><string name="Name" value="TieA"/><point name="Size" value="100 100"/></form>
      <form name="TieB"><string name="Name" value="TieB"/><point name="Size" value="100 100"/></form>
    </skin>)");
    SkinReader phone(path, {240, 320}, smartphone);
    EXPECT_EQ(chosen(phone, u"Panel"), u"");
    EXPECT_EQ(phone.form_list().find(u"good_for_device"), std::u16string::npos);
    EXPECT_EXIT(phone.form_node(u"Panel"), testing::ExitedWithCode(liba::fatal_exit_code),
                "has no form \\{Panel\\} for workarea_size=240 266. list of all forms:");

    SkinReader pda(path, {240, 320}, pocket_pc);
    EXPECT_EQ(chosen(pda, u"Panel"), u"PanelA") << "PanelB is taller than the work area";
    EXPECT_EQ(chosen(pda, u"View"), u"ViewWhole") << "a full-screen form may fill the screen";
    // Equal sizes: the one visited later in the pre-order walk wins. TieB is the root
    // of the balanced tree of these six forms; TieA comes later, in its left subtree.
    EXPECT_EQ(chosen(pda, u"Tie"), u"TieA");
}

TEST_F(SkinForm, RepeatedLookupsUseTheCaches)
{
    SkinReader reader(compile("variants", variants), {240, 320}, pocket_pc);
    reader.find_node(u"Main", u"btnOk");
    const uint32_t after_first = reader.compare_counter();
    reader.find_node(u"Main", u"btnOk");
    EXPECT_EQ(reader.compare_counter(), after_first) << "neither a form walk nor a tree search";
    EXPECT_EQ(reader.property_counter(), 2u);
    EXPECT_EQ(reader.find_form(u"Main"), reader.find_form(u"Main240"));
}

TEST_F(SkinForm, MissingNodesEndTheProgram)
{
    const std::u16string path = compile("missing", R"(<skin>
      <kind name="Button"/>
      <form name="Main"><control name="btnOk" class="Button"/></form>
    </skin>)");
    SkinReader reader(path, {240, 320}, pocket_pc);
    EXPECT_NE(reader.find_node(u"", u"Button"), 0u);
    EXPECT_EQ(reader.find_node(u"", u""), 0u) << "an empty kind name finds nothing, quietly";
    EXPECT_EXIT(reader.find_node(u"Main", u"btnNo"), testing::ExitedWithCode(liba::fatal_exit_code),
                "form \\{Main\\} has no control \\{btnNo\\} @ report_no_control");
    EXPECT_EXIT(reader.find_node(u"", u"Slider"), testing::ExitedWithCode(liba::fatal_exit_code),
                "has no kind \\{Slider\\} @ report_no_form");
    EXPECT_EXIT(reader.form_control_count(u"About"), testing::ExitedWithCode(liba::fatal_exit_code), "has no form \\{About\\}");
}

TEST_F(SkinForm, ControlListKeepsSourceOrder)
{
    SkinReader reader(compile("list", R"(<skin>
      <form name="Main">
        <control name="pbPosition" class="Progress"/>
        <control name="btnStart" class="Button"/>
        <control name="lstFiles"/>
        <control name="chkLoop" class="Check"/>
      </form>
    </skin>)"),
                      {240, 320}, pocket_pc);
    ASSERT_EQ(reader.form_control_count(u"Main"), 3u) << "a control without a class is not listed";
    using Entry = std::pair<std::u16string, std::u16string>;
    EXPECT_EQ(reader.form_control_entry(u"Main", 0), (Entry{u"pbPosition", u"Progress"}));
    EXPECT_EQ(reader.form_control_entry(u"Main", 1), (Entry{u"btnStart", u"Button"}));
    EXPECT_EQ(reader.form_control_entry(u"Main", 2), (Entry{u"chkLoop", u"Check"}));
    EXPECT_NE(reader.find_node(u"Main", u"lstFiles"), 0u);
}

} // namespace
