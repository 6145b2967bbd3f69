#include "liba/string_translator.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "liba/text.h"

namespace {

using Entries = liba::StringTranslator::Entries;

struct ParseCase {
    const char* name;
    std::u16string text;
    Entries expected;
};

class TranslatorParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(TranslatorParseTest, Entries)
{
    liba::StringTranslator translator;
    translator.parse(GetParam().text);
    EXPECT_EQ(translator.entries(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TranslatorParseTest,
    testing::Values(
        ParseCase{"KeySpaceValue", u"Open Open file\n", {{u"Open", u"Open file"}}},
        ParseCase{"ValueKeepsTrailingBlanks", u"Key  \t value \t\r\nNext x", {{u"Key", u"value \t"}, {u"Next", u"x"}}},
        ParseCase{"CarriageReturnAloneEndsValue", u"A 1\rB 2", {{u"A", u"1"}, {u"B", u"2"}}},
        ParseCase{"EqualsGivesRestOfLineUnskipped", u"Key= text \nEmpty=\nLast=", {{u"Key", u" text "}, {u"Empty", u""}, {u"Last", u""}}},
        ParseCase{"EqualsInsideTokenStaysInKey", u"A=B value\n", {{u"A=B", u"value"}}},
        ParseCase{"KeyEqualsValueIsOneKey", u"Key=Value\nnext line\n", {{u"Key=Value", u"next line"}}},
        ParseCase{"BareKeyTakesNextNonBlankLine", u"Title\n\n  Second line here\nX y", {{u"Title", u"Second line here"}, {u"X", u"y"}}},
        ParseCase{"KeyAtEndOfText", u"A 1\nLonely", {{u"A", u"1"}, {u"Lonely", u""}}},
        ParseCase{"KeyThenBlanksAtEnd", u"Lonely \t ", {{u"Lonely", u""}}},
        ParseCase{"CommentLines", u"// note\n//note also\n  // indented\nA 1", {{u"A", u"1"}}},
        ParseCase{"SingleSlashIsAKey", u"/x value\n/ y", {{u"/x", u"value"}, {u"/", u"y"}}},
        ParseCase{"CommentAfterBareKeyBecomesItsValue", u"Key\n// not a comment here\n", {{u"Key", u"// not a comment here"}}},
        ParseCase{"LoneEqualsDefinesNothing", u"= value\nA 1", {{u"A", u"1"}}},
        ParseCase{"LaterDuplicateWins", u"A 1\nA 2\n", {{u"A", u"2"}}},
        ParseCase{"KeysAreCaseSensitive", u"a lower\nA upper", {{u"a", u"lower"}, {u"A", u"upper"}}},
        ParseCase{"VerticalTabAndFormFeedAreWhite", u"\v\fA\v1\f", {{u"A", u"1\f"}}},
        ParseCase{"NoBreakSpaceIsPartOfTheKey", u"A\u00a0B v", {{u"A\u00a0B", u"v"}}},
        ParseCase{"EmptyText", u"", {}},
        ParseCase{"OnlyWhiteSpace", u" \r\n\t", {}}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

class TranslatorFileTest : public testing::Test {
protected:
    std::filesystem::path folder()
    {
        const char* tmp = std::getenv("MELODRIFT_TEST_TMP");
        const auto path = std::filesystem::path(tmp ? tmp : "/tmp") / "translator_test";
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

TEST_F(TranslatorFileTest, Utf16WithMarkReadsLikeUtf8)
{
    const std::u16string text = u"Hello Привет\nBye=\u00e9t\u00e9\n";
    liba::StringTranslator wide;
    liba::StringTranslator narrow;
    ASSERT_TRUE(wide.load(write("wide.lng", utf16le_with_mark(text))));
    ASSERT_TRUE(narrow.load(write("narrow.lng", liba::to_narrow(text))));
    EXPECT_EQ(wide.entries(), narrow.entries());
    EXPECT_EQ(wide.translate(u"Hello"), u"Привет");
}

TEST_F(TranslatorFileTest, Utf16WithoutMarkIsReadAsEightBitText)
{
    std::string bytes = utf16le_with_mark(u"Hello World\n").substr(2);
    liba::StringTranslator translator;
    ASSERT_TRUE(translator.load(write("nomark.lng", bytes)));
    EXPECT_EQ(translator.translate(u"Hello"), u"Hello");
    EXPECT_EQ(translator.entries().count(std::u16string(u"H\0e\0l\0l\0o\0", 10)), 1u);
}

TEST_F(TranslatorFileTest, LoadingAddsAndOverrides)
{
    const auto first = write("first.lng", "A 1\nB 2\n");
    const auto second = write("second.lng", "B two\nC 3\n");
    liba::StringTranslator translator(first);
    EXPECT_EQ(translator.source_path(), first);
    ASSERT_TRUE(translator.load(first));
    EXPECT_EQ(translator.entries(), (Entries{{u"A", u"1"}, {u"B", u"2"}}));
    ASSERT_TRUE(translator.load(second));
    EXPECT_EQ(translator.entries(), (Entries{{u"A", u"1"}, {u"B", u"two"}, {u"C", u"3"}}));
    EXPECT_EQ(translator.source_path(), second);
}

TEST_F(TranslatorFileTest, MissingFileChangesNothing)
{
    const auto good = write("good.lng", "A 1\n");
    liba::StringTranslator translator(good);
    EXPECT_FALSE(translator.load(liba::to_wide((folder() / "missing.lng").string())));
    EXPECT_EQ(translator.entries(), (Entries{{u"A", u"1"}}));
    EXPECT_EQ(translator.source_path(), good);
}

TEST_F(TranslatorFileTest, FileWithoutEntriesLoads)
{
    liba::StringTranslator translator;
    const auto empty = write("empty.lng", "");
    EXPECT_TRUE(translator.load(empty));
    EXPECT_TRUE(translator.entries().empty());
    EXPECT_EQ(translator.source_path(), empty);
}

TEST(TranslatorTest, MissingKeyTranslatesToItselfOrTheDefault)
{
    liba::StringTranslator translator;
    translator.parse(u"Help_link Help");
    EXPECT_EQ(translator.translate(u"Help_link"), u"Help");
    EXPECT_EQ(translator.translate(u"Can't_make_ringtone"), u"Can't_make_ringtone");
    EXPECT_EQ(translator.translate(u"Menu", u"Fallback"), u"Fallback");
    EXPECT_EQ(translator.translate(u"Help_link", u"Fallback"), u"Help");
}

} // namespace
