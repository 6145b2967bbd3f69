#include "liba/log.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class RecordingStream : public liba::LogStream {
public:
    std::vector<std::u16string> writes;
    void write(const char16_t* first, const char16_t* last) override { writes.emplace_back(first, last); }
    void flush() override {}
};

TEST(LogTest, EachPieceIsOneWrite)
{
    RecordingStream stream;
    stream << "x=" << 5 << u"\n";
    EXPECT_EQ(stream.writes, (std::vector<std::u16string>{u"x=", u"5", u"\n"}));
}

TEST(LogTest, NumbersAreFormattedLikePrintf)
{
    RecordingStream stream;
    stream << 0.5 << -7 << 1234567890123L << 8u;
    EXPECT_EQ(stream.writes, (std::vector<std::u16string>{u"0.500000", u"-7", u"1234567890123", u"8"}));
}

TEST(LogTest, NarrowTextIsDecodedAsUtf8)
{
    RecordingStream stream;
    stream << "caf\xc3\xa9";
    EXPECT_EQ(stream.writes.at(0), u"caf\u00e9");
}

TEST(LogTest, DefaultStreamDiscards)
{
    if (liba::environment_log_stream())
        GTEST_SKIP() << "MELODRIFT_LOG is set";
    EXPECT_EQ(&liba::log(), &liba::empty_log_stream());
}

TEST(LogDeathTest, FatalErrorLogsShowsTheBoxAndExitsWithZero)
{
    EXPECT_EXIT(
        {
            liba::set_fatal_error_box([](std::u16string_view text, std::u16string_view caption) {
                fprintf(stderr, "box[%s|%s]\n", std::string(text.begin(), text.end()).c_str(),
                        std::string(caption.begin(), caption.end()).c_str());
            });
            liba::fatal_error(u"CActiveScheduler::notify()", u"Active object is not active");
        },
        testing::ExitedWithCode(0),
        "Gluck: Active object is not active @ CActiveScheduler::notify\\(\\)\n"
        "box\\[Active object is not active\\|CActiveScheduler::notify\\(\\)\\]");
}

} // namespace
