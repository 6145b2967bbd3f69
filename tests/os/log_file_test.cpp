#include "liba/log.h"
#include "os/log_file.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "liba/text.h"
#include "os/atomic_file.h"
#include "os/path.h"

namespace {

std::string contents(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::string utf16le(std::string_view ascii)
{
    std::string bytes;
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

const std::string mark = "\xFF\xFE";

// Runs with its own registry file and the log file of this test program; the switch
// is flipped by rewriting the registry file, as a user would.
class LogFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (liba::environment_log_stream())
            GTEST_SKIP() << "MELODRIFT_LOG is set";
        const char* tmp = std::getenv("MELODRIFT_TEST_TMP");
        const auto folder = std::filesystem::path(tmp ? tmp : "/tmp") / "log_file_test";
        std::filesystem::create_directories(folder);
        registry_ = folder / "registry.ini";
        setenv("MELODRIFT_REGISTRY", registry_.c_str(), 1);
        setenv("MELODRIFT_STATE", (folder / "state").c_str(), 1);
        os::refresh_special_folders();
        log_path_ = liba::to_narrow(os::expand_macros(os::log_file_path()));
        std::filesystem::remove(log_path_);
        os::install_log_file();
        switch_log(false);
    }
    void TearDown() override
    {
        if (registry_.empty())
            return;
        switch_log(false);
        liba::set_log_stream_chooser(nullptr);
        std::filesystem::remove(log_path_);
        unsetenv("MELODRIFT_REGISTRY");
    }

    // Changes the switch and lets log() look at it again.
    void switch_log(bool on)
    {
        ASSERT_TRUE(os::replace_file(registry_, std::string("[HKEY_CURRENT_USER\\Software\\Quenbry]\nLog=") +
                                                    (on ? "1" : "0") + "\n"));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        liba::log();
    }

    std::filesystem::path registry_;
    std::filesystem::path log_path_;
};

TEST_F(LogFileTest, OffMeansNoFileAndTheEmptyStream)
{
    liba::log() << u"nothing\n";
    EXPECT_EQ(&liba::log(), &liba::empty_log_stream());
    EXPECT_FALSE(std::filesystem::exists(log_path_));
}

TEST_F(LogFileTest, SwitchingOnStartsAFileWithTheMark)
{
    switch_log(true);
    EXPECT_EQ(contents(log_path_), mark);
    liba::log() << "x=" << 5 << u"\n";
    EXPECT_EQ(contents(log_path_), mark + utf16le("x=5\n"));
    liba::log() << u"\u00e9\u0416\n";
    EXPECT_EQ(contents(log_path_).substr(10), std::string("\xE9\x00\x16\x04\n\x00", 6));
}

TEST_F(LogFileTest, SwitchingOffAndOnAgainTruncates)
{
    switch_log(true);
    liba::log() << u"first run\n";
    switch_log(false);
    liba::log() << u"not written\n";
    EXPECT_EQ(contents(log_path_), mark + utf16le("first run\n"));
    switch_log(true);
    liba::log() << u"second\n";
    EXPECT_EQ(contents(log_path_), mark + utf16le("second\n"));
}

TEST_F(LogFileTest, UnwritableLogFileIsSilent)
{
    std::filesystem::create_directories(log_path_); // a folder where the file should go
    switch_log(true);
    liba::log() << u"lost\n";
    liba::log().flush();
    EXPECT_TRUE(std::filesystem::is_directory(log_path_));
    std::filesystem::remove(log_path_);
}

TEST_F(LogFileTest, FatalErrorLeavesItsLineInTheFile)
{
    switch_log(true);
    EXPECT_EXIT(
        {
            liba::set_fatal_error_box(nullptr);
            liba::fatal_error(u"Here::there()", u"Broken");
        },
        testing::ExitedWithCode(liba::fatal_exit_code), "Gluck");
    EXPECT_NE(contents(log_path_).find(utf16le("Gluck: Broken @ Here::there()\n")), std::string::npos);
}

TEST_F(LogFileTest, ConcurrentWritersNeverTearAPiece)
{
    switch_log(true);
    const std::string line = "0123456789abcdefghijklmnopqrstuvwxyz\n";
    const std::u16string wide_line = liba::to_wide(line);
    std::atomic<bool> stop{false};
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&] {
            while (!stop)
                liba::log() << wide_line;
        });
    }
    switch_log(false);
    switch_log(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop = true;
    for (auto& writer : writers)
        writer.join();

    const std::string bytes = contents(log_path_);
    ASSERT_EQ(bytes.substr(0, 2), mark);
    const std::string expected = utf16le(line);
    ASSERT_EQ((bytes.size() - 2) % expected.size(), 0u);
    ASSERT_GT(bytes.size(), 2u);
    for (size_t at = 2; at < bytes.size(); at += expected.size())
        ASSERT_EQ(bytes.compare(at, expected.size(), expected), 0) << "at byte " << at;
}

} // namespace
