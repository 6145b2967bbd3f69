// The skin compiler: what it refuses, and that its output reads back.

#include "skinner/skin/skin_data.h"
#include "tools/skinc/skin_archive.h"
#include "tools/skinc/skin_dump.h"
#include "tools/skinc/skin_source.h"
#include "tools/skinc/skin_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

fs::path scratch_folder()
{
    const char* root = std::getenv("MELODRIFT_TEST_TMP");
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const fs::path folder = fs::path(root ? root : "/tmp/melodrift-test") / "skinc" /
                            (std::string(test->test_suite_name()) + "." + test->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// Compiles source text; the bytes, or an empty vector with the complaint in error.
std::vector<uint8_t> compile(const std::string& xml, std::string& error, const fs::path& images = ".")
{
    skinc::SkinSource skin;
    std::vector<uint8_t> bytes;
    if (!skinc::parse_skin_text(xml, images, skin, error) || !skinc::write_skin(skin, bytes, error))
        return {};
    return bytes;
}

TEST(Skinc, RefusesWhatCannotBeWritten)
{
    struct Case {
        const char* what;
        std::string xml;
        const char* complaint;
    };
    const std::string long_key(32, 'k');
    const Case cases[] = {
        {"malformed XML", "<skin><form name=\"A\"></skin>", "line 1"},
        {"wrong root", "<skins/>", "must be <skin>"},
        {"unknown element", "<skin>\n<from name=\"A\"/></skin>", "line 2: <from>: unknown element"},
        {"unknown attribute", "<skin><kind name=\"A\" colour=\"1\"/></skin>", "unknown attribute \"colour\""},
        {"missing name", "<skin><kind/></skin>", "needs the attribute \"name\""},
        {"key too long", "<skin key=\"" + long_key + "\"/>", "longer than 31"},
        {"two kinds of one name", "<skin><kind name=\"A\"/><kind name=\"A\"/></skin>", "two kinds"},
        {"two forms of one name", "<skin><form name=\"A\"/><form name=\"A\"/></skin>", "two forms"},
        {"two controls of one name",
         "<skin><form name=\"F\"><control name=\"c\"/><control name=\"c\"/></form></skin>", "a second control"},
        {"same property twice", "<skin><kind name=\"A\"><int name=\"x\" value=\"1\"/><int name=\"x\" value=\"2\"/></kind></skin>",
         "a second property"},
        {"integer out of range", "<skin><kind name=\"A\"><int name=\"x\" value=\"2147483648\"/></kind></skin>",
         "out of range"},
        {"point out of range", "<skin><kind name=\"A\"><point name=\"p\" value=\"1 40000\"/></kind></skin>",
         "out of range"},
        {"point with one number", "<skin><kind name=\"A\"><point name=\"p\" value=\"1\"/></kind></skin>",
         "needs 2 number(s)"},
        {"not a number", "<skin><kind name=\"A\"><int name=\"x\" value=\"ten\"/></kind></skin>", "whole numbers"},
        {"bad colour", "<skin><kind name=\"A\"><color name=\"c\" value=\"red\"/></kind></skin>", "#rrggbb"},
        {"picture without size or image", "<skin><kind name=\"A\"><picture name=\"p\" image=\"none\"/></kind></skin>",
         "needs p4, or the PNG file none.png"},
        {"margins wider than the picture",
         "<skin><kind name=\"A\"><picture name=\"p\" image=\"i\" p4=\"4 4\" margins=\"3 0 3 0\"/></kind></skin>",
         "p3 lies before p2"},
        {"margins beyond the top-left",
         "<skin><kind name=\"A\"><picture name=\"p\" image=\"i\" p4=\"4 4\" margins=\"0 0 5 0\"/></kind></skin>",
         "outside 0 to 65535"},
        {"extends an unknown form", "<skin><form name=\"B\" extends=\"A\"/></skin>", "not an earlier form"},
        {"uses an unknown style", "<skin><style name=\"S\"/><kind name=\"A\" use=\"S T\"/></skin>",
         "uses \"T\", which is not an earlier style"},
        {"two styles of one name", "<skin><style name=\"S\"/><style name=\"S\"/></skin>", "a second style"},
        {"too many resolutions",
         "<skin>" + [] {
             std::string entries;
             for (int i = 0; i < 33; ++i)
                 entries += "<resolution width=\"1\" height=\"1\"/>";
             return entries;
         }() + "</skin>",
         "more than 32 resolutions"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_TRUE(compile(c.xml, error).empty()) << c.what;
        EXPECT_NE(error.find(c.complaint), std::string::npos) << c.what << ": " << error;
    }
}

TEST(Skinc, RecordStringsMustLieInTheFirst64KiB)
{
    // Each caption takes about 2 KiB; 40 of them push the last ones past 64 KiB.
    std::string xml = "<skin><kind name=\"A\">";
    for (int i = 0; i < 40; ++i)
        xml += "<string name=\"s" + std::to_string(i) + "\" value=\"" + std::string(1000, 'a' + i % 26) +
               std::to_string(i) + "\"/>";
    xml += "</kind></skin>";
    std::string error;
    EXPECT_TRUE(compile(xml, error).empty());
    EXPECT_NE(error.find("records address only the first 65536 bytes"), std::string::npos) << error;

    // Node names are addressed with 32 bits and may lie beyond.
    std::string nodes = "<skin><kind name=\"A\"><string name=\"s\" value=\"x\"/></kind>";
    for (int i = 0; i < 40; ++i)
        nodes += "<kind name=\"" + std::string(1000, 'b') + std::to_string(i) + "\"/>";
    nodes += "</skin>";
    const std::vector<uint8_t> bytes = compile(nodes, error);
    ASSERT_FALSE(bytes.empty()) << error;
    EXPECT_GT(bytes.size(), 65536u);
    EXPECT_TRUE(skinner::SkinData::open(bytes.data(), bytes.size()));
}

const char sample[] = R"(<skin key="Melodrift_1.00" devices="PS">
  <resolution width="240" height="320"/>
  <resolution width="320" height="240"/>
  <fontdef spec="10 0 0 0 Tahoma"/>
  <kind name="Button"><int name="HAlignment" value="1"/><color name="Text" value="#102030"/></kind>
  <form name="Main240">
    <point name="Size" value="240 268"/>
    <control name="btnStart" class="Button">
      <string name="Caption" value="Start"/>
      <picture name="Back" image="button" margins="4 4 4 4" stretch="true"/>
      <font name="Font" value="14 1 0 0 Tahoma"/>
    </control>
    <control name="lstFiles"/>
    <control name="btnAbout" class="Button"><color name="Text" value="#a0b0c0d0"/></control>
  </form>
  <form name="Main320" extends="Main240">
    <point name="Size" value="320 188"/>
    <control name="btnStart"><point name="Position" value="-4 8"/></control>
  </form>
</skin>)";

// A 24 x 16 PNG header is all the compiler reads of an image.
void write_png_header(const fs::path& file, uint32_t width, uint32_t height)
{
    const unsigned char header[24] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                      static_cast<unsigned char>(width >> 24), static_cast<unsigned char>(width >> 16),
                                      static_cast<unsigned char>(width >> 8), static_cast<unsigned char>(width),
                                      static_cast<unsigned char>(height >> 24), static_cast<unsigned char>(height >> 16),
                                      static_cast<unsigned char>(height >> 8), static_cast<unsigned char>(height)};
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(header), sizeof header);
}

TEST(Skinc, DumpCompilesBackToTheSameBytes)
{
    const fs::path folder = scratch_folder();
    write_png_header(folder / "button.png", 24, 16);
    std::string error;
    const std::vector<uint8_t> bytes = compile(sample, error, folder);
    ASSERT_FALSE(bytes.empty()) << error;

    std::ostringstream dumped;
    ASSERT_TRUE(skinc::dump_skin(bytes, dumped, error)) << error;
    EXPECT_NE(dumped.str().find("p1=\"0 0\" p2=\"4 4\" p3=\"20 12\" p4=\"24 16\""), std::string::npos)
        << "margins resolved against the image size:\n" << dumped.str();
    EXPECT_EQ(compile(dumped.str(), error), bytes) << dumped.str();
}

TEST(Skinc, SourceOrderOnlyDecidesTheControlList)
{
    std::string error;
    const std::vector<uint8_t> forward = compile(R"(<skin>
      <kind name="B"><int name="y" value="2"/><int name="x" value="1"/></kind><kind name="A"/>
      <form name="F"><control name="c2" class="K"/><control name="c1" class="K"/></form></skin>)", error);
    const std::vector<uint8_t> backward = compile(R"(<skin>
      <kind name="A"/><kind name="B"><int name="x" value="1"/><int name="y" value="2"/></kind>
      <form name="F"><control name="c2" class="K"/><control name="c1" class="K"/></form></skin>)", error);
    ASSERT_FALSE(forward.empty()) << error;
    EXPECT_EQ(forward, backward);
}

TEST(Skinc, StylesGiveTheirPropertiesToWhatUsesThem)
{
    std::string error;
    const std::vector<uint8_t> styled = compile(R"(<skin>
      <style name="Text"><int name="Wrap" value="1"/><color name="Normal" value="#102030"/></style>
      <style name="Bold" use="Text"><int name="Wrap" value="0"/><point name="BorderMin" value="2 2"/></style>
      <kind name="K" use="Text"/>
      <form name="F" use="Text"><control name="c" class="Auto.Frame" use="Bold Text"><int name="Wrap" value="5"/></control></form>
      <form name="G" extends="F"><control name="c" use="Bold"/></form></skin>)", error);
    const std::vector<uint8_t> inline_ = compile(R"(<skin>
      <kind name="K"><int name="Wrap" value="1"/><color name="Normal" value="#102030"/></kind>
      <form name="F"><int name="Wrap" value="1"/><color name="Normal" value="#102030"/>
        <control name="c" class="Auto.Frame"><int name="Wrap" value="5"/><color name="Normal" value="#102030"/>
          <point name="BorderMin" value="2 2"/></control></form>
      <form name="G"><int name="Wrap" value="1"/><color name="Normal" value="#102030"/>
        <control name="c" class="Auto.Frame"><int name="Wrap" value="0"/><color name="Normal" value="#102030"/>
          <point name="BorderMin" value="2 2"/></control></form></skin>)", error);
    ASSERT_FALSE(styled.empty()) << error;
    EXPECT_EQ(styled, inline_);
}

TEST(Skinc, DumpRefusesDamagedSkins)
{
    std::string error;
    std::vector<uint8_t> bytes = compile("<skin><kind name=\"A\"/></skin>", error);
    ASSERT_FALSE(bytes.empty()) << error;
    bytes.resize(bytes.size() - 2); // cuts the node short
    std::ostringstream dumped;
    EXPECT_FALSE(skinc::dump_skin(bytes, dumped, error));
    EXPECT_NE(error.find("lies outside the skin"), std::string::npos) << error;
}

TEST(Skinc, ArchiveHoldsStoredMembersInOrder)
{
    const std::vector<uint8_t> archive = skinc::stored_zip({{"a.skin", {1, 2, 3}}, {"button.png", {4, 5}}});
    ASSERT_GE(archive.size(), 30u + 6 + 3);
    auto u32 = [&](size_t at) {
        return uint32_t{archive[at]} | uint32_t{archive[at + 1]} << 8 | uint32_t{archive[at + 2]} << 16 |
               uint32_t{archive[at + 3]} << 24;
    };
    EXPECT_EQ(u32(0), 0x04034B50u);
    EXPECT_EQ(archive[8] | archive[9] << 8, 0) << "stored";
    EXPECT_EQ(u32(14), 0x55BC801Du) << "CRC-32 of 01 02 03";
    EXPECT_EQ(u32(18), 3u);
    EXPECT_EQ(u32(22), 3u);
    EXPECT_EQ(std::string(archive.begin() + 30, archive.begin() + 36), "a.skin");
    EXPECT_EQ(u32(39), 0x04034B50u) << "the second member follows the first's data";
    EXPECT_EQ(u32(archive.size() - 22), 0x06054B50u) << "end of central directory";
}

TEST(Skinc, CommandLine)
{
    const fs::path folder = scratch_folder();
    const std::string skinc = std::string(MELODRIFT_BIN_DIR) + "/skinc";
    write_png_header(folder / "button.png", 24, 16);
    std::ofstream(folder / "sample.xml") << sample;
    auto run = [&](const std::string& arguments) {
        const int status = std::system((skinc + " " + arguments + " >" + (folder / "out.txt").string() + " 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("--help"), 0);
    EXPECT_EQ(run(""), 2);
    EXPECT_EQ(run("--frobnicate"), 2);
    EXPECT_EQ(run((folder / "sample.xml").string()), 2) << "nothing to write";
    EXPECT_EQ(run((folder / "sample.xml").string() + " -o " + (folder / "sample.skin").string() + " --zip " +
                  (folder / "sample.zip").string()),
              0);
    EXPECT_TRUE(fs::exists(folder / "sample.skin"));
    EXPECT_EQ(run("--dump " + (folder / "sample.skin").string()), 0);
    EXPECT_EQ(run("--dump " + (folder / "sample.xml").string()), 1) << "not a skin";
    std::ofstream(folder / "broken.xml") << "<skin><kind/></skin>";
    EXPECT_EQ(run((folder / "broken.xml").string() + " -o " + (folder / "broken.skin").string()), 1);
    EXPECT_FALSE(fs::exists(folder / "broken.skin")) << "no output for a rejected source";
}

} // namespace
