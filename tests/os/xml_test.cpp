#include "os/xml_document.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

#include "liba/text.h"

namespace {

class XmlTest : public testing::Test {
protected:
    std::filesystem::path scratch(const std::string& name)
    {
        const char* tmp = std::getenv("MELODRIFT_TEST_TMP");
        const auto folder = std::filesystem::path(tmp ? tmp : "/tmp") / "xml_test";
        std::filesystem::create_directories(folder);
        return folder / name;
    }
    std::u16string write(const std::string& name, const std::string& bytes)
    {
        const auto path = scratch(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return liba::to_wide(path.string());
    }
    static std::string contents(const std::u16string& path)
    {
        std::ifstream file(liba::to_narrow(path), std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
};

TEST_F(XmlTest, SettingsRoundTrip)
{
    const std::u16string awkward = u"<&>\"' tab\there\nline \u00e9\u0416\U0001F3B5 C:\\Rings";
    os::XmlNode document = os::new_document();
    os::XmlNode root = os::add_child(document, u"Settings");
    os::XmlNode language = os::add_child(root, u"Language");
    os::set_attribute(language, u"file", u"English.lng");
    os::XmlNode browser = os::add_child(root, u"Browser");
    os::set_attribute(browser, u"folder", awkward);
    os::set_attribute(browser, u"file", u"first");
    os::set_attribute(browser, u"file", u"second");
    os::set_attribute(browser, u"empty", u"");
    const std::u16string path = liba::to_wide(scratch("settings.xml").string());
    ASSERT_TRUE(os::save_document(document, path));

    os::XmlNode loaded = os::load_document(path);
    ASSERT_TRUE(loaded);
    os::XmlNode loaded_browser = os::find_child(os::find_child(loaded, u"Settings"), u"Browser");
    std::u16string value;
    ASSERT_TRUE(os::get_attribute(loaded_browser, u"folder", value));
    EXPECT_EQ(value, awkward);
    ASSERT_TRUE(os::get_attribute(loaded_browser, u"file", value));
    EXPECT_EQ(value, u"second");
    ASSERT_TRUE(os::get_attribute(loaded_browser, u"empty", value));
    EXPECT_EQ(value, u"");
    ASSERT_TRUE(os::get_attribute(os::find_child(os::find_child(loaded, u"Settings"), u"Language"), u"file", value));
    EXPECT_EQ(value, u"English.lng");
}

TEST_F(XmlTest, MissingOrBrokenFilesGiveEmptyHandles)
{
    for (const std::string& bytes : {std::string(), std::string("not xml at all"), std::string("<a><b></a>"),
                                     std::string("\xFF\xFE\x00\x01garbage", 12), std::string("<a/><b/>")}) {
        EXPECT_FALSE(os::load_document(write("broken.xml", bytes))) << bytes;
    }
    EXPECT_FALSE(os::load_document(liba::to_wide(scratch("does-not-exist.xml").string())));
    EXPECT_FALSE(os::load_document(liba::to_wide(scratch("").string())));
}

TEST_F(XmlTest, EmptyHandlesFailEverywhere)
{
    const os::XmlNode empty;
    const std::u16string path = liba::to_wide(scratch("never.xml").string());
    EXPECT_FALSE(os::save_document(empty, path));
    EXPECT_FALSE(std::filesystem::exists(liba::to_narrow(path)));
    EXPECT_FALSE(os::find_child(empty, u"a"));
    EXPECT_FALSE(os::add_child(empty, u"a"));
    os::set_attribute(empty, u"a", u"b");
    std::u16string value = u"kept";
    EXPECT_FALSE(os::get_attribute(empty, u"a", value));
    EXPECT_EQ(value, u"kept");
}

TEST_F(XmlTest, FindChildMatchesElementNamesExactly)
{
    os::XmlNode document = os::load_document(
        write("children.xml", "<?xml version=\"1.0\"?><!-- c --><Root>text<!--x--><root/><Item n=\"1\"/>"
                              "<Item n=\"2\"/><![CDATA[Item]]></Root>"));
    ASSERT_TRUE(document);
    os::XmlNode root = os::find_child(document, u"Root");
    ASSERT_TRUE(root);
    std::u16string value;
    EXPECT_TRUE(os::get_attribute(os::find_child(root, u"Item"), u"n", value));
    EXPECT_EQ(value, u"1");
    EXPECT_FALSE(os::find_child(root, u"item"));
    EXPECT_FALSE(os::find_child(root, u""));
    EXPECT_FALSE(os::find_child(root, u"#text"));
    EXPECT_FALSE(os::get_attribute(root, u"missing", value));
    EXPECT_FALSE(os::get_attribute(document, u"n", value));
}

TEST_F(XmlTest, RefusesWhatWouldNotLoadAgain)
{
    os::XmlNode document = os::new_document();
    EXPECT_FALSE(os::add_child(document, u"two words"));
    EXPECT_FALSE(os::add_child(document, u"1digit"));
    EXPECT_FALSE(os::add_child(document, u""));
    os::XmlNode root = os::add_child(document, u"Root");
    ASSERT_TRUE(root);
    EXPECT_FALSE(os::add_child(document, u"SecondRoot"));
    os::set_attribute(root, u"bad name", u"x");
    os::set_attribute(root, u"a<b", u"x");
    EXPECT_FALSE(os::save_document(root, liba::to_wide(scratch("element.xml").string())));

    const std::u16string path = liba::to_wide(scratch("refused.xml").string());
    ASSERT_TRUE(os::save_document(document, path));
    EXPECT_TRUE(os::load_document(path));
    EXPECT_EQ(contents(path).find("bad"), std::string::npos);
}

TEST_F(XmlTest, SaveReplacesTheFileWhole)
{
    const std::u16string path = write("replace.xml", std::string(10000, 'x'));
    os::XmlNode document = os::new_document();
    os::add_child(document, u"Small");
    ASSERT_TRUE(os::save_document(document, path));
    EXPECT_EQ(contents(path), "<?xml version=\"1.0\"?>\n<Small />\n");
    EXPECT_FALSE(os::save_document(document, liba::to_wide(scratch("no/such/folder/x.xml").string())));
}

} // namespace
