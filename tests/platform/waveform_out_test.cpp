#include "platform/sound/waveform_out.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound/audio_output.h"
#include "tests/platform/thread_runner.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

// The suite's name puts these threaded tests under ThreadSanitizer too.
class PlayerWaveformOut : public testing::Test {
protected:
    static std::filesystem::path scratch()
    {
        const char* root = std::getenv("MELODRIFT_TEST_TMP");
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        auto folder = std::filesystem::path(root && *root ? root : testing::TempDir()) / "waveform-out" / test->name();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        return folder;
    }

    static void choose(AudioOutput::Kind kind, double speed, std::string wav_path = {})
    {
        choose_audio_output(AudioOutput{kind, std::move(wav_path), speed});
    }
};

// The next message of the calling thread, or a quit-less empty message after a while.
Message next_message(std::chrono::milliseconds patience = 10s)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    Message message;
    while (!peek_message(message)) {
        if (std::chrono::steady_clock::now() > deadline)
            return {};
        std::this_thread::sleep_for(1ms);
    }
    return message;
}

// Buffers of distinct bytes, kept in place while the device holds them.
struct Buffers {
    Buffers(int count, std::uint32_t length)
    {
        for (int i = 0; i < count; ++i) {
            bytes.emplace_back(length);
            for (std::uint32_t j = 0; j < length; ++j)
                bytes.back()[j] = static_cast<std::uint8_t>(i * 31 + j);
        }
        waves.resize(count);
        for (int i = 0; i < count; ++i)
            waves[i] = WaveBuffer{bytes[i].data(), length, false};
    }
    void write_all(WaveformOut& device)
    {
        for (WaveBuffer& wave : waves) {
            ASSERT_TRUE(device.prepare(wave));
            ASSERT_TRUE(device.write(wave));
        }
    }

    std::vector<std::vector<std::uint8_t>> bytes;
    std::vector<WaveBuffer> waves;
};

std::string read_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const PcmFormat mono16{1, 16, 8000};

TEST_F(PlayerWaveformOut, NoticesOpenThenEachBufferInOrderThenClose)
{
    choose(AudioOutput::Kind::null, 50);
    run_on_own_thread([] {
        auto device = WaveformOut::open(mono16, current_thread_id());
        ASSERT_TRUE(device);
        const Message opened = next_message();
        EXPECT_EQ(opened.message, messages::wave_out_open);
        EXPECT_EQ(opened.wparam, device->id());

        Buffers buffers(4, 400);
        buffers.waves[2].length = 0; // an empty buffer comes back in its turn too
        buffers.write_all(*device);
        EXPECT_FALSE(device->write(buffers.waves[0])) << "a queued buffer is written once";
        for (const WaveBuffer& wave : buffers.waves) {
            const Message done = next_message();
            EXPECT_EQ(done.message, messages::wave_out_done);
            EXPECT_EQ(done.wparam, device->id());
            EXPECT_EQ(done.lparam, reinterpret_cast<std::intptr_t>(&wave));
        }
        EXPECT_EQ(device->position(), 3 * 400 / 2);
        for (WaveBuffer& wave : buffers.waves)
            EXPECT_TRUE(device->unprepare(wave));

        EXPECT_TRUE(device->close());
        EXPECT_EQ(device->position(), std::nullopt);
        const Message closed = next_message();
        EXPECT_EQ(closed.message, messages::wave_out_close);
        EXPECT_EQ(closed.wparam, device->id());
    });
}

TEST_F(PlayerWaveformOut, ResetHandsEveryBufferBackThroughTheQueue)
{
    choose(AudioOutput::Kind::null, 1);
    run_on_own_thread([] {
        auto device = WaveformOut::open(mono16, current_thread_id());
        ASSERT_TRUE(device);
        ASSERT_EQ(next_message().message, messages::wave_out_open);
        Buffers buffers(3, 16000); // a second of sound each
        buffers.write_all(*device);

        EXPECT_FALSE(device->unprepare(buffers.waves[1])) << "the device still holds it";
        EXPECT_FALSE(device->close()) << "buffers are queued";
        device->reset();
        EXPECT_EQ(device->position(), 0);
        for (const WaveBuffer& wave : buffers.waves) {
            Message done;
            ASSERT_TRUE(peek_message(done)) << "posted by reset, waiting in the queue";
            EXPECT_EQ(done.message, messages::wave_out_done);
            EXPECT_EQ(done.lparam, reinterpret_cast<std::intptr_t>(&wave));
        }
        EXPECT_TRUE(device->unprepare(buffers.waves[1]));
        EXPECT_TRUE(device->close());
        EXPECT_EQ(next_message().message, messages::wave_out_close);
    });
}

TEST_F(PlayerWaveformOut, SecondDeviceOpensWhileTheFirstStillPlays)
{
    choose(AudioOutput::Kind::null, 20);
    run_on_own_thread([] {
        auto first = WaveformOut::open(mono16, current_thread_id());
        Buffers first_buffers(2, 8000);
        first_buffers.write_all(*first);
        auto second = WaveformOut::open(PcmFormat{2, 8, 11025}, current_thread_id());
        ASSERT_TRUE(first && second);
        EXPECT_NE(first->id(), second->id());
        Buffers second_buffers(2, 4000);
        second_buffers.write_all(*second);

        std::vector<std::intptr_t> first_done, second_done;
        while (first_done.size() + second_done.size() < 4) {
            const Message m = next_message();
            ASSERT_NE(m.message, 0u) << "a buffer did not come back";
            if (m.message == messages::wave_out_done)
                (m.wparam == first->id() ? first_done : second_done).push_back(m.lparam);
        }
        EXPECT_EQ(first_done, (std::vector<std::intptr_t>{reinterpret_cast<std::intptr_t>(&first_buffers.waves[0]),
                                  reinterpret_cast<std::intptr_t>(&first_buffers.waves[1])}));
        EXPECT_EQ(second_done, (std::vector<std::intptr_t>{reinterpret_cast<std::intptr_t>(&second_buffers.waves[0]),
                                   reinterpret_cast<std::intptr_t>(&second_buffers.waves[1])}));
    });
}

TEST_F(PlayerWaveformOut, FormatsThatCannotPlayOpenNoDevice)
{
    choose(AudioOutput::Kind::null, 1);
    for (const PcmFormat& format : {PcmFormat{0, 16, 8000}, PcmFormat{2, 12, 8000}, PcmFormat{2, 16, 0},
             PcmFormat{9, 16, 8000}, PcmFormat{1, 16, -44100}})
        EXPECT_FALSE(WaveformOut::open(format, current_thread_id()))
            << format.channels << " channels, " << format.bits << " bits, " << format.sample_rate << " Hz";
}

TEST_F(PlayerWaveformOut, WavOutputRecordsWhatWasPlayedOneFilePerFormat)
{
    const auto folder = scratch();
    choose(AudioOutput::Kind::wav, 50, (folder / "played.wav").string());
    run_on_own_thread([] {
        // Two devices of one format add to one file; the third format starts a new one.
        for (const PcmFormat& format : {mono16, mono16, PcmFormat{2, 16, 22050}}) {
            auto device = WaveformOut::open(format, current_thread_id());
            ASSERT_TRUE(device);
            Buffers buffers(2, 1000);
            buffers.write_all(*device);
            for (int returned = 0; returned < 2;)
                returned += next_message().message == messages::wave_out_done;
            ASSERT_TRUE(device->close());
        }
    });
    const std::string first = read_file(folder / "played.wav");
    const std::string second = read_file(folder / "played-2.wav");
    Buffers expected(2, 1000);
    std::string sound;
    for (const auto& bytes : expected.bytes)
        sound.append(bytes.begin(), bytes.end());
    ASSERT_EQ(first.size(), 44 + 2 * sound.size());
    ASSERT_EQ(second.size(), 44 + sound.size());
    EXPECT_EQ(first.substr(44), sound + sound);
    EXPECT_EQ(second.substr(44), sound);
    EXPECT_EQ(first.substr(0, 4), "RIFF");
    EXPECT_EQ(first.substr(36, 4), "data");
    EXPECT_EQ(static_cast<std::uint8_t>(second[22]), 2) << "channels of the second format";
}

TEST_F(PlayerWaveformOut, OutputNamesAreParsed)
{
    EXPECT_EQ(parse_audio_output("sdl")->kind, AudioOutput::Kind::sdl);
    EXPECT_EQ(parse_audio_output("null")->kind, AudioOutput::Kind::null);
    const auto wav = parse_audio_output("wav:/tmp/a b.wav");
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->kind, AudioOutput::Kind::wav);
    EXPECT_EQ(wav->wav_path, "/tmp/a b.wav");
    for (const char* bad : {"", "wav:", "alsa", "SDL", "null "})
        EXPECT_FALSE(parse_audio_output(bad)) << bad;
}

// SDL keeps its audio driver for the whole process, so each SDL case runs in a fresh
// process of its own and reports on standard error.
void play_through_sdl_and_report()
{
    choose_audio_output(AudioOutput{});
    std::thread([] {
        auto device = WaveformOut::open(PcmFormat{2, 16, 44100}, current_thread_id());
        if (!device || next_message().message != messages::wave_out_open)
            std::_Exit(1);
        Buffers buffers(2, 4 * 2205); // 50 ms each
        buffers.write_all(*device);
        int returned = 0;
        while (returned < 2 && next_message().message == messages::wave_out_done)
            ++returned;
        const bool played = returned == 2 && device->position() >= 2 * 2205;
        const bool closed = device->close() && next_message().message == messages::wave_out_close;
        const char* output = chosen_audio_output().kind == AudioOutput::Kind::sdl ? "sdl" : "null";
        std::fprintf(stderr, "output=%s played=%d closed=%d\n", output, played, closed);
        std::fflush(stderr);
        std::_Exit(0);
    }).join();
}

TEST_F(PlayerWaveformOut, SdlOutputPlaysUnderTheDummyDriver)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            play_through_sdl_and_report();
        },
        testing::ExitedWithCode(0), "output=sdl played=1 closed=1");
}

TEST_F(PlayerWaveformOut, NoSoundDeviceFallsBackToSilenceWithOneWarning)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            play_through_sdl_and_report();
        },
        testing::ExitedWithCode(0), "^[^\n]*warning: no sound device can be opened[^\n]*\noutput=null played=1 closed=1\n$");
}

} // namespace
