#include "os/language_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "liba/text.h"

namespace {

using Entries = liba::StringTranslator::Entries;

class LanguageFileTest : public testing::Test {
protected:
    std::filesystem::path folder()
    {
        const char* tmp = std::getenv("MELODRIFT_TEST_TMP");
        const auto path = std::filesystem::path(tmp ? tmp : "/tmp") / "language_file_test";
        std::filesystem::create_directories(path);
        return path;
    }
    std::u16string write(const std::string& name, const std::string& bytes)
    {
        const auto path = folder() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return liba::to_wide(path.string());
    }
    static std::string utf16le_with_mark(std::u16string_view text)
    {
        std::string bytes = "\xFF\xFE";
        for (char16_t c : text) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
        return bytes;
    }
};

TEST_F(LanguageFileTest, Utf16WithMarkReadsLikeUtf8)
{
    const std::u16string text = u"Hello Привет\nBye=\u00e9t\u00e9\n";
    liba::StringTranslator wide;
    liba::StringTranslator narrow;
    ASSERT_TRUE(os::load_language_file(wide, write("wide.lng", utf16le_with_mark(text))));
    ASSERT_TRUE(os::load_language_file(narrow, write("narrow.lng", liba::to_narrow(text))));
    EXPECT_EQ(wide.entries(), narrow.entries());
    EXPECT_EQ(wide.translate(u"Hello"), u"Привет");
}

TEST_F(LanguageFileTest, Utf16WithoutMarkIsReadAsEightBitText)
{
    std::string bytes = utf16le_with_mark(u"Hello World\n").substr(2);
    liba::StringTranslator translator;
    ASSERT_TRUE(os::load_language_file(translator, write("nomark.lng", bytes)));
    EXPECT_EQ(translator.translate(u"Hello"), u"Hello");
    EXPECT_EQ(translator.entries().count(std::u16string(u"H\0e\0l\0l\0o\0", 10)), 1u);
}

TEST_F(LanguageFileTest, LoadingAddsAndOverrides)
{
    const auto first = write("first.lng", "A 1\nB 2\n");
    const auto second = write("second.lng", "B two\nC 3\n");
    liba::StringTranslator translator;
    ASSERT_TRUE(os::load_language_file(translator, first));
    EXPECT_EQ(translator.source_path(), first);
    EXPECT_EQ(translator.entries(), (Entries{{u"A", u"1"}, {u"B", u"2"}}));
    ASSERT_TRUE(os::load_language_file(translator, second));
    EXPECT_EQ(translator.entries(), (Entries{{u"A", u"1"}, {u"B", u"two"}, {u"C", u"3"}}));
    EXPECT_EQ(translator.source_path(), second);
}

TEST_F(LanguageFileTest, MissingFileChangesNothing)
{
    const auto good = write("good.lng", "A 1\n");
    liba::StringTranslator translator;
    ASSERT_TRUE(os::load_language_file(translator, good));
    EXPECT_FALSE(os::load_language_file(translator, liba::to_wide((folder() / "missing.lng").string())));
    EXPECT_EQ(translator.entries(), (Entries{{u"A", u"1"}}));
    EXPECT_EQ(translator.source_path(), good);
}

TEST_F(LanguageFileTest, FileWithoutEntriesLoads)
{
    liba::StringTranslator translator;
    const auto empty = write("empty.lng", "");
    EXPECT_TRUE(os::load_language_file(translator, empty));
    EXPECT_TRUE(translator.entries().empty());
    EXPECT_EQ(translator.source_path(), empty);
}

} // namespace
