#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/app/source_formats.h"
#include "tests/audio/fixtures.h"

using namespace fixtures;

namespace {

std::string program() { return (std::filesystem::path(MELODRIFT_BIN_DIR) / "melodrift-cut").string(); }

// Runs melodrift-cut with arguments in folder; answers its exit code. The
// environment: more variables for the program, as "NAME=value NAME=value".
int run_cut(const std::filesystem::path& folder, const std::string& arguments, std::string* error = nullptr,
            const std::string& environment = "")
{
    const std::string command = "cd " + quoted(folder) + " && MELODRIFT_WINDOWS=" + quoted(folder / "windows") + " " +
                                environment + " " + fixtures::quoted(program()) + " " + arguments +
                                " >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    if (error)
        *error = read_bytes(folder / "stderr.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The suite's name puts it under ThreadSanitizer with the other player tests.
TEST(MelodriftCutPlayer, PlaysTheFragmentAndMakesNoRingTone)
{
    const auto folder = scratch_folder();
    make_sine(folder / "tone.wav", "-r 8000 -c 1 -b 16", 3.0);
    std::string error;
    ASSERT_EQ(run_cut(folder, "tone.wav -s 1 -f 1.8 --play --audio wav:played.wav", &error), 0) << error;
    EXPECT_EQ(error, "") << "no position line when standard error is not a terminal";
    EXPECT_FALSE(std::filesystem::exists(folder / "windows"));

    // The sound heard is the source's, from the start on, up to about the finish.
    const std::string source = read_bytes(folder / "tone.wav").substr(44);
    const std::string played = read_bytes(folder / "played.wav").substr(44);
    const std::size_t start = 8000 * 2;
    ASSERT_GT(played.size(), 0u);
    EXPECT_TRUE(played == source.substr(start, played.size()));
    EXPECT_NEAR(played.size() / 2 / 8000.0, 0.8, 0.1);
}

// Seconds of sound in a recording of the wav output (its header is the fixed 44 bytes).
double recorded_seconds(const std::filesystem::path& path)
{
    const std::string file = read_bytes(path);
    if (file.size() < 44)
        return 0;
    const auto byte = [&](std::size_t at) { return std::uint32_t(std::uint8_t(file[at])); };
    const std::uint32_t channels = byte(22) | byte(23) << 8;
    const std::uint32_t rate = byte(24) | byte(25) << 8 | byte(26) << 16 | byte(27) << 24;
    const std::uint32_t bits = byte(34) | byte(35) << 8;
    const std::uint32_t frame_bytes = channels * bits / 8;
    return frame_bytes == 0 || rate == 0 ? 0 : double(file.size() - 44) / frame_bytes / rate;
}

class MelodriftCutPlayerFormat : public testing::TestWithParam<source_formats::SourceFormat> {};

// The play position is the reader's, whatever its unit: playing stops at the finish.
TEST_P(MelodriftCutPlayerFormat, RecordsTheFragmentsLength)
{
    const auto folder = scratch_folder();
    const std::filesystem::path source = source_formats::make(GetParam(), folder, 3.0);
    std::string error;
    ASSERT_EQ(run_cut(folder, quoted(source) + " --start 1 --finish 2 --play --audio wav:rec.wav", &error), 0)
        << error;
    EXPECT_NEAR(recorded_seconds(folder / "rec.wav"), 1.0, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Formats, MelodriftCutPlayerFormat, testing::ValuesIn(source_formats::all),
    [](const testing::TestParamInfo<source_formats::SourceFormat>& info) { return std::string(info.param.name); });

TEST(MelodriftCutPlayer, InterruptStopsPlaying)
{
    const auto folder = scratch_folder();
    make_sine(folder / "long.wav", "-r 8000 -c 1 -b 16", 60.0);
    const std::string source = (folder / "long.wav").string();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    const std::string out = (folder / "stdout.txt").string();
    if (child == 0) {
        freopen(out.c_str(), "w", stdout);
        freopen("/dev/null", "w", stderr);
        execl(program().c_str(), program().c_str(), source.c_str(), "-s", "0", "-f", "60", "--play", "--audio",
            "null", static_cast<char*>(nullptr));
        _exit(127);
    }
    // The fragment is announced once the program is set to play; a slow start (under
    // a sanitizer) must not meet the signal before its handler is in place.
    for (int nap = 0; nap < 3000 && read_bytes(out).find("Fragment:") == std::string::npos; ++nap)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
}

// No sound card (ALSA is sent to a card that does not exist): one warning line, none
// of the sound library's own complaints, and the fragment still plays, silently.
TEST(MelodriftCutPlayer, WithoutASoundDeviceOneWarningIsAll)
{
    const auto folder = scratch_folder();
    make_sine(folder / "tone.wav", "-r 8000 -c 1 -b 16", 1.0);
    std::string error;
    EXPECT_EQ(run_cut(folder, "tone.wav -s 0 -f 0.2 --play --audio sdl", &error, "SDL_AUDIODRIVER=alsa ALSA_CARD=97"),
              0);
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    EXPECT_NE(error.find("warning"), std::string::npos) << error;
}

TEST(MelodriftCutPlayer, UnknownSoundOutputIsAUsageMistake)
{
    const auto folder = scratch_folder();
    make_sine(folder / "tone.wav", "-r 8000 -c 1 -b 16", 1.0);
    for (const char* output : {"--audio alsa", "--audio wav:", "--audio"})
        EXPECT_EQ(run_cut(folder, std::string("tone.wav -s 0 -f 1 --play ") + output), 2) << output;
}

} // namespace
