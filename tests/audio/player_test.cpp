#include "liba/log.h"
#include "audio/play_position.h"
#include "audio/player_pcm.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sound/audio_output.h"
#include "tests/audio/fixtures.h"

using namespace std::chrono_literals;

namespace {

// Polls until the condition holds; false when it never did within a generous while.
bool eventually(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Hands out its blocks in order, split to the frame counts asked for, then nothing.
class BlockProvider : public audio::Provider<audio::PCMData> {
public:
    explicit BlockProvider(std::vector<audio::PCMData> blocks) : blocks_(std::move(blocks)) { rewind(); }

    audio::PCMData read(int count) override
    {
        std::lock_guard lock(mutex_);
        ++reads_;
        if (left_.empty()) {
            exhausted_ = true;
            return {};
        }
        audio::PCMData& front = left_.front();
        const int frames = std::min({count, front.frames(), frames_per_read_});
        audio::PCMData block = front.sub_frames(0, frames);
        front = front.sub_frames(frames, front.frames() - frames);
        if (front.frames() == 0)
            left_.pop_front();
        frames_given_ += frames;
        return block;
    }

    void rewind()
    {
        std::lock_guard lock(mutex_);
        left_.assign(blocks_.begin(), blocks_.end());
        exhausted_ = false;
        frames_given_ = 0;
    }
    bool exhausted() const { return exhausted_; }
    int reads() const { return reads_; }
    int frames_given() const { return frames_given_; }
    void set_frames_per_read(int frames) { frames_per_read_ = frames; }

private:
    const std::vector<audio::PCMData> blocks_;
    std::mutex mutex_;
    std::deque<audio::PCMData> left_;
    std::atomic<bool> exhausted_{false};
    std::atomic<int> reads_{0};
    std::atomic<int> frames_given_{0};
    int frames_per_read_ = 1 << 30;
};

// 16-bit sound whose samples count up from first, so that any loss, repeat or
// reordering shows.
audio::PCMData counting_block(int channels, int sample_rate, int frames, int first = 0)
{
    liba::ByteBlock bytes(frames * channels * 2);
    std::uint8_t* out = bytes.writable();
    for (int i = 0; i < frames * channels; ++i) {
        const auto value = static_cast<std::uint16_t>(first + i);
        out[2 * i] = static_cast<std::uint8_t>(value);
        out[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    return audio::PCMData(bytes, channels, 16, sample_rate);
}

std::string bytes_of(const std::vector<audio::PCMData>& blocks)
{
    std::string bytes;
    for (const audio::PCMData& block : blocks)
        bytes.append(reinterpret_cast<const char*>(block.data()), std::size_t(block.length()));
    return bytes;
}

// The sound data of a recorded WAV file (its header is the fixed 44 bytes).
std::string recorded(const std::filesystem::path& path)
{
    const std::string file = fixtures::read_bytes(path);
    return file.size() < 44 ? std::string() : file.substr(44);
}

// Every test records what the player plays to played.wav (and played-2.wav, ... for
// further formats), taken faster than real time unless a test needs the pace.
class PlayerTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fixtures::scratch_folder();
        record(20);
    }
    void record(double speed)
    {
        platform::choose_audio_output({platform::AudioOutput::Kind::wav, (folder_ / "played.wav").string(), speed});
    }
    // Bytes of sound recorded so far.
    std::uintmax_t recorded_size() const
    {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(recording(), error);
        return error || size < 44 ? 0 : size - 44;
    }
    std::filesystem::path recording(int number = 1) const
    {
        return folder_ / (number == 1 ? "played.wav" : "played-" + std::to_string(number) + ".wav");
    }
    // Plays to the end; queued_frames is checked on the way.
    void play_to_end(audio::PlayerPCM& player)
    {
        ASSERT_TRUE(player.play());
        EXPECT_TRUE(eventually([&] {
            EXPECT_GE(player.queued_frames(), 0);
            return player.is_finished();
        }));
    }

    std::filesystem::path folder_;
};

// Every block a chain's provider hands out, pulled as the player pulls.
std::string pull_all(audio::Provider<audio::PCMData>& provider)
{
    fixtures::Collector<audio::PCMData> puller;
    provider.connect(&puller);
    std::string bytes;
    for (audio::PCMData block = puller.pull(16384); !block.empty(); block = puller.pull(16384))
        bytes.append(reinterpret_cast<const char*>(block.data()), std::size_t(block.length()));
    provider.connect(nullptr);
    return bytes;
}

struct SourceCase {
    const char* name;
    std::function<std::filesystem::path(const std::filesystem::path& folder)> make;
};

class PlayerSourceTest : public PlayerTest, public testing::WithParamInterface<SourceCase> {};

TEST_P(PlayerSourceTest, PlaysEverySampleOfTheSourceOnceInOrder)
{
    const std::filesystem::path source = GetParam().make(folder_);
    std::string expected;
    {
        auto chain = audio::open_play_chain(fixtures::wide(source));
        ASSERT_TRUE(chain);
        expected = pull_all(*chain->pcm_provider());
    }
    ASSERT_GT(expected.size(), 30000u);

    auto chain = audio::open_play_chain(fixtures::wide(source));
    {
        audio::PlayerPCM player;
        chain->pcm_provider()->connect(&player);
        play_to_end(player);
    }
    const std::string played = recorded(recording());
    EXPECT_EQ(played.size(), expected.size());
    EXPECT_TRUE(played == expected) << "the recorded sound differs from the decoded source";
    EXPECT_FALSE(std::filesystem::exists(recording(2))) << "one format, one device";
}

INSTANTIATE_TEST_SUITE_P(Sources, PlayerSourceTest,
    testing::Values(SourceCase{"PcmWav",
                        [](const std::filesystem::path& folder) {
                            return fixtures::make_sine(folder / "sine.wav", "-r 44100 -c 2 -b 16", 1.7);
                        }},
        SourceCase{"Mp3",
            [](const std::filesystem::path& folder) {
                return fixtures::make_mp3(folder / "sine.mp3", "-r 44100 -c 2 -b 16", 1.7, "-b 128");
            }},
        SourceCase{"Mono8BitWav",
            [](const std::filesystem::path& folder) {
                return fixtures::make_sine(folder / "sine8.wav", "-r 11025 -c 1 -b 8", 3.0);
            }}),
    [](const testing::TestParamInfo<SourceCase>& info) { return std::string(info.param.name); });

TEST_F(PlayerTest, RateChangeReopensTheDeviceAndPlaysOn)
{
    // Long enough that each part spans several refills.
    const std::vector<audio::PCMData> before{counting_block(2, 22050, 30000, 0)};
    const std::vector<audio::PCMData> after{counting_block(2, 44100, 50000, 7)};
    std::vector<audio::PCMData> blocks = before;
    blocks.insert(blocks.end(), after.begin(), after.end());
    BlockProvider provider(blocks);
    {
        audio::PlayerPCM player;
        provider.connect(&player);
        ASSERT_TRUE(player.play());
        // Finished means the end of the data, not the change of format.
        EXPECT_TRUE(eventually([&] { return player.is_finished(); }));
        EXPECT_TRUE(provider.exhausted());
    }
    EXPECT_TRUE(recorded(recording(1)) == bytes_of(before));
    EXPECT_TRUE(recorded(recording(2)) == bytes_of(after));
}

TEST_F(PlayerTest, StopThenPlayWhileDrainingStartsAgainAtOnce)
{
    record(1); // real time, so that the sound is still draining when stopped
    const std::vector<audio::PCMData> blocks{counting_block(1, 8000, 8000)};
    BlockProvider provider(blocks);
    provider.set_frames_per_read(1000);
    audio::PlayerPCM player;
    provider.connect(&player);
    ASSERT_TRUE(player.play());
    // A second of sound fits the six buffers: once it is queued, the player drains.
    ASSERT_TRUE(eventually([&] { return provider.exhausted() && player.queued_frames() > 0; }));
    ASSERT_TRUE(player.stop());
    provider.rewind();
    ASSERT_TRUE(player.play());
    EXPECT_FALSE(player.is_finished());
    EXPECT_TRUE(eventually([&] { return player.is_finished(); }));

    // The first run was cut off where it was; the second one played whole.
    const std::string sound = bytes_of(blocks);
    const std::string played = recorded(recording());
    ASSERT_GE(played.size(), sound.size());
    ASSERT_LT(played.size(), 2 * sound.size());
    const std::size_t cut = played.size() - sound.size();
    EXPECT_TRUE(played.substr(cut) == sound);
    EXPECT_TRUE(played.substr(0, cut) == sound.substr(0, cut));
}

TEST_F(PlayerTest, StopWhilePlayingCutsTheSoundAndFinishes)
{
    record(1);
    BlockProvider provider({counting_block(1, 8000, 80000)});
    audio::PlayerPCM player;
    provider.connect(&player);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(eventually([&] { return recorded_size() > 0; }));
    ASSERT_TRUE(player.stop());
    EXPECT_TRUE(player.is_finished());
    EXPECT_TRUE(eventually([&] { return player.queued_frames() == 0; }));
    EXPECT_FALSE(provider.exhausted());
}

TEST_F(PlayerTest, StopThenPlayOfANewSourceCutsTheOldSound)
{
    record(1);
    const audio::PCMData old_sound = counting_block(1, 8000, 80000);
    const std::vector<audio::PCMData> new_sound{counting_block(1, 8000, 2000, 5)};
    BlockProvider old_provider({old_sound});
    BlockProvider new_provider(new_sound);
    audio::PlayerPCM player;
    old_provider.connect(&player);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(eventually([&] { return recorded_size() > 0; }));
    // As the user interface switches files: whether or not the worker saw the stop
    // before the play, nothing of the old source plays after the cut.
    ASSERT_TRUE(player.stop());
    old_provider.connect(nullptr);
    new_provider.connect(&player);
    ASSERT_TRUE(player.play());
    EXPECT_TRUE(eventually([&] { return player.is_finished(); }));

    const std::string played = recorded(recording());
    const std::string expected_end = bytes_of(new_sound);
    ASSERT_GT(played.size(), expected_end.size());
    const std::size_t cut = played.size() - expected_end.size();
    EXPECT_TRUE(played.substr(cut) == expected_end);
    EXPECT_TRUE(played.substr(0, cut) == bytes_of({old_sound}).substr(0, cut));
}

// The user interface's side while a file plays: this thread polls the end and the play
// position and seeks the reader while the worker pulls and decodes (ThreadSanitizer
// runs it too).
TEST_F(PlayerTest, PollingAndSeekingWhileAnMp3Plays)
{
    const auto source = fixtures::make_mp3(folder_ / "long.mp3", "-r 44100 -c 2 -b 16", 8.0, "-b 128");
    const auto chain = audio::open_play_chain(fixtures::wide(source));
    ASSERT_TRUE(chain);
    audio::FileReader& reader = *chain->file_reader();
    audio::PlayerPCM player;
    chain->pcm_provider()->connect(&player);
    audio::PlayPosition position(reader, player);
    ASSERT_TRUE(player.play());
    int polls = 0;
    EXPECT_TRUE(eventually([&] {
        const int at = position.read();
        EXPECT_GE(at, 0);
        EXPECT_LE(at, reader.length());
        // A few jumps back and forth, then it plays to the end.
        if (++polls % 20 == 0 && polls <= 200)
            reader.seek(polls % 40 == 0 ? reader.length() / 2 : reader.length() / 4);
        return player.is_finished();
    }));
    EXPECT_GT(recorded_size(), 0u);
}

TEST_F(PlayerTest, QueuedFramesAreEverythingFetchedButNotYetPlayed)
{
    record(4);
    // The first pull alone is two seconds of sound: it must count in the lag too.
    BlockProvider provider({counting_block(1, 8000, 40000)});
    audio::PlayerPCM player;
    provider.connect(&player);
    ASSERT_TRUE(player.play());
    int checks = 0;
    EXPECT_TRUE(eventually([&] {
        const int given = provider.frames_given();
        const int queued = player.queued_frames();
        const int played = static_cast<int>(recorded_size() / 2);
        if (given > 0 && played > 0 && !provider.exhausted()) {
            ++checks;
            // The three are read one after the other while the sound moves on; a
            // sink's step at this pace is 320 frames.
            EXPECT_NEAR(queued + played, given, 2000) << "queued " << queued << ", played " << played;
        }
        return player.is_finished();
    }));
    EXPECT_GT(checks, 0);
}

TEST_F(PlayerTest, PlayWithoutSoundFinishesAtOnce)
{
    audio::PlayerPCM unlinked;
    ASSERT_TRUE(unlinked.play());
    EXPECT_TRUE(eventually([&] { return unlinked.is_finished(); }));

    BlockProvider empty({});
    audio::PlayerPCM linked;
    empty.connect(&linked);
    ASSERT_TRUE(linked.play());
    EXPECT_TRUE(eventually([&] { return linked.is_finished(); }));
    EXPECT_EQ(linked.queued_frames(), 0);
    EXPECT_FALSE(std::filesystem::exists(recording())) << "no device was opened";
}

TEST_F(PlayerTest, SoundOfAFormatNoDeviceTakesStaysSilentUntilStopped)
{
    const audio::PCMData unplayable(liba::ByteBlock(300), 1, 12, 8000);
    BlockProvider provider({unplayable});
    audio::PlayerPCM player;
    provider.connect(&player);
    ASSERT_TRUE(player.play());
    // What was fetched never plays: it stays in the lag, so the position stays put.
    EXPECT_TRUE(eventually([&] { return player.queued_frames() == unplayable.frames(); }));
    EXPECT_FALSE(player.is_finished());
    ASSERT_TRUE(player.stop());
    EXPECT_TRUE(player.is_finished());

    // The player is not stuck: the next play of playable sound runs to its end.
    provider.connect(nullptr);
    BlockProvider good({counting_block(1, 8000, 4000)});
    good.connect(&player);
    play_to_end(player);
    EXPECT_TRUE(recorded(recording()) == bytes_of({counting_block(1, 8000, 4000)}));
}

TEST(PlayerDeathTest, PushingIntoThePlayerIsAProgrammingError)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            BlockProvider provider({});
            audio::PlayerPCM player;
            provider.connect(&player);
            provider.push(counting_block(1, 8000, 10));
        },
        testing::ExitedWithCode(liba::fatal_exit_code), "on_data unexpected - player is active object");
}

} // namespace
