#include "liba/log.h"

#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <thread>
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

class LockedRecording : public liba::LogStream {
public:
    void write(const char16_t* first, const char16_t* last) override
    {
        std::lock_guard lock(mutex);
        writes.emplace_back(first, last);
    }
    void flush() override {}

    std::mutex mutex;
    std::vector<std::u16string> writes;
};

LockedRecording shared_sink;

TEST(LogTest, LinesFromSeveralThreadsReachTheSinkWhole)
{
    liba::set_log_stream_chooser([]() -> liba::LogStream& { return shared_sink; });
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([t] {
            for (int i = 0; i < 200; ++i)
                liba::log() << u"PlayerPCMImpl::" << u"fetch " << t << u" " << i << u" queued=" << 4096 << u"\n";
        });
    for (auto& writer : writers)
        writer.join();
    liba::set_log_stream_chooser(nullptr);
    ASSERT_EQ(shared_sink.writes.size(), 800u);
    for (const auto& line : shared_sink.writes) {
        EXPECT_EQ(line.rfind(u"PlayerPCMImpl::fetch ", 0), 0u) << std::string(line.begin(), line.end());
        EXPECT_EQ(line.find(u'\n'), line.size() - 1);
    }
}

TEST(LogDeathTest, FatalErrorLogsShowsTheBoxAndExitsWithAFailure)
{
    EXPECT_EXIT(
        {
            liba::set_fatal_error_box([](std::u16string_view text, std::u16string_view caption) {
                fprintf(stderr, "box[%s|%s]\n", std::string(text.begin(), text.end()).c_str(),
                        std::string(caption.begin(), caption.end()).c_str());
            });
            liba::fatal_error(u"CActiveScheduler::notify()", u"Active object is not active");
        },
        testing::ExitedWithCode(liba::fatal_exit_code),
        "Gluck: Active object is not active @ CActiveScheduler::notify\\(\\)\n"
        "box\\[Active object is not active\\|CActiveScheduler::notify\\(\\)\\]");
}

} // namespace
