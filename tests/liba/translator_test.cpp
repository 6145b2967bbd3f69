#include "liba/string_translator.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

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
