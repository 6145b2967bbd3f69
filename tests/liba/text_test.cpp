#include "liba/text.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Every byte string comes back from wide text as it went in, valid UTF-8 or not.
TEST(TextTest, AnyBytesSurviveTheTripThroughWideText)
{
    const std::string cases[] = {
        "plain",
        "caf\xC3\xA9", // UTF-8
        "\xF0\x9F\x8E\xB5 note", // an astral character
        "caf\xE9.wav", // Latin-1
        "\xFF\xFE\x80", // never UTF-8
        "cut \xC3", // a sequence cut short
        "\xED\xA0\x80", // an encoded surrogate
        "\xC0\xAF", // an overlong form
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "\xE9\xF0\x9F\x8E\xB5\xE9", // mixed
        std::string("nul\0byte", 8),
    };
    for (const std::string& bytes : cases)
        EXPECT_EQ(liba::to_narrow(liba::to_wide(bytes)), bytes) << bytes;
}

TEST(TextTest, BytesThatAreNotUtf8BecomeLoneSurrogates)
{
    EXPECT_EQ(liba::to_wide("caf\xE9"), u"caf\xDCE9");
    EXPECT_EQ(liba::to_wide("\x80\xFF"), u"\xDC80\xDCFF");
    EXPECT_EQ(liba::to_wide("caf\xC3\xA9"), u"caf\u00E9");
    EXPECT_EQ(liba::to_narrow(u"a\xD800"
                              "b"),
        "a\xEF\xBF\xBD"
        "b")
        << "other lone surrogates have no byte";
    EXPECT_EQ(liba::to_narrow(u"\xDC41"), "\xEF\xBF\xBD") << "only 0x80 to 0xFF stand for bytes";
}

TEST(TextTest, TextToReadTakesInvalidBytesAsLatin1)
{
    EXPECT_EQ(liba::text_to_wide("Caf\xE9"), u"Caf\u00E9");
    EXPECT_EQ(liba::text_to_wide("Caf\xC3\xA9"), u"Caf\u00E9");
}

} // namespace
