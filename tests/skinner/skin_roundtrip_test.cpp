// A skin compiled by skinc reads back every property as its source wrote it, at
// every scale, from the form variant the walk chooses.

#include "skinner/skin/skin_reader.h"
#include "tests/skinner/skin_test_support.h"

#include <gtest/gtest.h>

using namespace skin_test;
using skinner::SkinReader;

namespace {

const std::u16string caption_suffix = u" \u00fcn\u00ef \U0001F3B5"; // two Latin-1 letters, one astral

// The properties of one node, with values that depend on the node's tag.
std::string properties_xml(int tag)
{
    const std::string t = std::to_string(tag);
    char colour[16];
    std::snprintf(colour, sizeof colour, "#%02x%02x%02x%02x", tag, tag + 1, 255 - tag, tag % 2 ? 0 : 0x80);
    return "<int name=\"Count\" value=\"" + std::to_string(tag * 1000 - 7) + "\"/>"
           "<int name=\"Cou\" value=\"-" + t + "\"/>"
           "<int name=\"Count2\" value=\"" + std::to_string(INT32_MIN + tag) + "\"/>"
           "<point name=\"Position\" value=\"" + t + " -" + std::to_string(2 * tag) + "\"/>"
           "<point name=\"Extent\" value=\"32767 -32768\"/>"
           "<string name=\"Caption\" value=\"Caption " + t + " \u00fcn\u00ef \U0001F3B5\"/>"
           "<string name=\"Empty\" value=\"\"/>"
           "<color name=\"Back\" value=\"" + colour + "\"/>"
           "<picture name=\"Normal\" image=\"img" + std::to_string(tag % 2) + "\" p1=\"0 0\" p2=\"" + t + " " + t +
           "\" p3=\"100 50\" p4=\"65535 60\"" + (tag % 2 ? " stretch=\"true\"" : "") + "/>"
           "<font name=\"Font\" value=\"" + t + " 1 0 0 Tahoma\"/>";
}

void expect_properties(SkinReader& reader, SkinReader::Offset node, int tag, int scale)
{
    const std::string where = "node " + std::to_string(tag) + " at scale " + std::to_string(scale);
    ASSERT_NE(node, 0u) << where;
    EXPECT_EQ(reader.integer(node, u"Count"), tag * 1000 - 7) << where;
    EXPECT_EQ(reader.integer(node, u"Cou"), -tag) << where;
    EXPECT_EQ(reader.integer(node, u"Count2"), INT32_MIN + tag) << where;
    EXPECT_EQ(reader.integer(node, u"Coun"), std::nullopt) << where;
    EXPECT_EQ(reader.point(node, u"Position"), (skinner::Point{tag * scale, -2 * tag * scale})) << where;
    EXPECT_EQ(reader.point(node, u"Extent"), (skinner::Point{32767 * scale, -32768 * scale})) << where;
    EXPECT_EQ(reader.point(node, u"Count"), std::nullopt) << "types have separate arrays; " << where;
    EXPECT_EQ(reader.string(node, u"Caption"), u"Caption " + liba::to_wide(std::to_string(tag)) + caption_suffix)
        << where;
    EXPECT_EQ(reader.string(node, u"Empty"), u"") << where;
    const skinner::Colour colour{static_cast<uint8_t>(tag), static_cast<uint8_t>(tag + 1),
                                 static_cast<uint8_t>(255 - tag), static_cast<uint8_t>(tag % 2 ? 0 : 0x80)};
    EXPECT_EQ(reader.color(node, u"Back"), colour) << where;

    const auto picture = reader.picture(node, u"Normal");
    ASSERT_TRUE(picture) << where;
    EXPECT_EQ(reader.picture_name(picture->picture), u"img" + liba::to_wide(std::to_string(tag % 2))) << where;
    const skinner::Point points[4] = {{0, 0}, {tag * scale, tag * scale}, {100 * scale, 50 * scale}, {65535 * scale, 60 * scale}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(picture->points[i], points[i]) << "point " << i << ", " << where;
    EXPECT_EQ(picture->stretch, tag % 2 == 1) << where;

    const auto font = reader.font(node, u"Font");
    ASSERT_TRUE(font) << where;
    EXPECT_EQ(reader.font_spec(*font), liba::to_wide(std::to_string(tag)) + u" 1 0 0 Tahoma") << where;
}

std::string control_xml(const std::string& name, int tag)
{
    return "<control name=\"" + name + "\" class=\"Button\">" + properties_xml(tag) + "</control>";
}

// Main240 fits the work area at scales 1 and 2; MainTall (240 x 300 design pixels)
// fits from scale 3 on, where the work area is taller than the scaled design.
std::string roundtrip_source()
{
    return "<skin key=\"Melodrift_1.00\"><resolution width=\"240\" height=\"320\"/>"
           "<kind name=\"Button\">" + properties_xml(1) + "</kind>"
           "<kind name=\"Button2\">" + properties_xml(2) + "</kind>"
           "<form name=\"Main\">" + properties_xml(30) + control_xml("btnStart", 31) + "</form>"
           "<form name=\"Main240\"><point name=\"Size\" value=\"240 268\"/>" + properties_xml(10) +
           control_xml("btnStart", 11) + control_xml("btnStop", 12) + "</form>"
           "<form name=\"MainTall\"><point name=\"Size\" value=\"240 300\"/>" + properties_xml(20) +
           control_xml("btnStart", 21) + control_xml("btnStop", 22) + "</form>"
           "</skin>";
}

TEST(SkinRoundTrip, EveryPropertyReadsAsWrittenAtEveryScale)
{
    std::string error;
    const auto path = compile_skin(scratch_folder("roundtrip"), "roundtrip", roundtrip_source(), &error);
    ASSERT_FALSE(path.empty()) << error;
    for (int scale = 1; scale <= 4; ++scale) {
        SkinReader reader(wide(path), {240 * scale, 320 * scale}, {false, false});
        ASSERT_TRUE(reader.is_valid());
        ASSERT_EQ(reader.scale(), scale);
        EXPECT_TRUE(reader.check_version(u"Melodrift_1.00", {240 * scale, 320 * scale}));
        const int variant = scale <= 2 ? 10 : 20;
        expect_properties(reader, reader.find_node(u"", u"Button"), 1, scale);
        expect_properties(reader, reader.find_node(u"", u"Button2"), 2, scale);
        expect_properties(reader, reader.form_node(u"Main"), variant, scale);
        expect_properties(reader, reader.find_node(u"Main", u"btnStart"), variant + 1, scale);
        expect_properties(reader, reader.find_node(u"Main", u"btnStop"), variant + 2, scale);
        expect_properties(reader, reader.find_node(u"Main", u"btnStart"), variant + 1, scale);
    }
}

} // namespace
