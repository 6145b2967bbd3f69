#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sys/stat.h>
#include <thread>

#include "app/ringtone_job.h"
#include "tests/app/source_formats.h"
#include "tests/audio/fixtures.h"

using namespace fixtures;
using Outcome = RingtoneJob::Outcome;

void PrintTo(Outcome outcome, std::ostream* out)
{
    constexpr const char* names[] = {"running",           "made",           "source_not_recognised",
                                     "empty_fragment",    "target_is_source", "target_folder_missing",
                                     "target_not_a_file", "cannot_create_target", "write_failed",
                                     "nothing_encoded",   "stopped"};
    *out << names[int(outcome)];
}

namespace {

Outcome run_to_end(RingtoneJob& job)
{
    EXPECT_TRUE(job.start());
    job.join();
    return job.outcome();
}

int peak_of(const std::vector<int16_t>& samples)
{
    int peak = 0;
    for (int16_t sample : samples)
        peak = std::max(peak, std::abs(int(sample)));
    return peak;
}

struct RateCase {
    const char* name;
    const char* sine;
    const char* lame; // empty: the source is the WAV itself
    int target;
};

void PrintTo(const RateCase& rate, std::ostream* out) { *out << rate.name; }

class RingtoneJobBitRate : public testing::TestWithParam<RateCase> {};

TEST_P(RingtoneJobBitRate, FollowsTheSourceQuality)
{
    const RateCase& c = GetParam();
    const auto folder = scratch_folder();
    const auto source = *c.lame ? make_mp3(folder / "source.mp3", c.sine, 0.5, c.lame)
                                : make_sine(folder / "source.wav", c.sine, 0.5);
    RingtoneJob job(wide(source), wide(folder / "out.mp3"), 0, 1000);
    ASSERT_TRUE(job.chain());
    EXPECT_EQ(job.target_bit_rate(), c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, RingtoneJobBitRate,
    testing::Values(RateCase{"wav_44100_16bit", "-r 44100 -c 2 -b 16", "", 64000},
                    RateCase{"wav_48000_16bit_mono", "-r 48000 -c 1 -b 16", "", 64000},
                    RateCase{"wav_22050_16bit", "-r 22050 -c 2 -b 16", "", 32000},
                    RateCase{"wav_44100_8bit", "-r 44100 -c 2 -b 8 -e unsigned", "", 32000},
                    RateCase{"mp3_128k_stereo", "-r 44100 -c 2 -b 16", "-b 128 --cbr -t", 64000},
                    RateCase{"mp3_112k_stereo", "-r 44100 -c 2 -b 16", "-b 112 --cbr -t", 32000},
                    RateCase{"mp3_64k_mono", "-r 44100 -c 1 -b 16", "-b 64 --cbr -m m -t", 32000},
                    RateCase{"mp3_96k_mono", "-r 44100 -c 1 -b 16", "-b 96 --cbr -m m -t", 64000}),
    [](const auto& info) { return std::string(info.param.name); });

struct EndToEndCase {
    const char* name;
    const char* sine;
    const char* lame;
    double volume;
    double expected_peak; // fraction of full scale
};

void PrintTo(const EndToEndCase& c, std::ostream* out) { *out << c.name; }

class RingtoneJobEndToEnd : public testing::TestWithParam<EndToEndCase> {};

// Cuts 1.0 s to 3.0 s out of a 4-second sine and decodes the ring tone again.
TEST_P(RingtoneJobEndToEnd, MakesAMonoRingToneOfTheFragment)
{
    const EndToEndCase& c = GetParam();
    const auto folder = scratch_folder();
    const auto source = *c.lame ? make_mp3(folder / "source.mp3", c.sine, 4.0, c.lame, c.volume)
                                : make_sine(folder / "source.wav", c.sine, 4.0, c.volume);
    const auto target = folder / "ring_001.mp3";
    int start = 0, finish = 0;
    {
        const auto chain = audio::open_play_chain(wide(source));
        ASSERT_TRUE(chain);
        start = chain->file_reader()->seconds_to_position(1.0);
        finish = chain->file_reader()->seconds_to_position(3.0);
    }
    RingtoneJob job(wide(source), wide(target), start, finish);
    EXPECT_TRUE(job.has_room());
    ASSERT_EQ(run_to_end(job), Outcome::made);
    EXPECT_EQ(job.pass(), 2);

    const auto chain = audio::open_play_chain(wide(target));
    ASSERT_TRUE(chain);
    EXPECT_EQ(chain->codec_name(), u"mp3");
    EXPECT_EQ(chain->file_reader()->channels(), 1);
    EXPECT_EQ(chain->file_reader()->bit_rate(), job.target_bit_rate());
    const Decoded decoded = decode_all(target);
    EXPECT_EQ(decoded.format.channels, 1);
    EXPECT_NEAR(decoded.seconds(), 2.0, 0.12) << "the fragment, give or take a frame and the encoder's delay";
    // The fragment starts at full level: the encoder overshoots a little on that edge.
    EXPECT_NEAR(peak_of(decoded.samples()) / 32767.0, c.expected_peak, 0.06);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, RingtoneJobEndToEnd,
    testing::Values(EndToEndCase{"wav_half_scale_raised", "-r 44100 -c 2 -b 16", "", 0.5, 0.75},
                    EndToEndCase{"wav_8bit_mono_raised", "-r 22050 -c 1 -b 8 -e unsigned", "", 0.25, 0.75},
                    EndToEndCase{"wav_loud_kept", "-r 44100 -c 2 -b 16", "", 0.9, 0.9},
                    EndToEndCase{"wav_silence", "-r 44100 -c 2 -b 16", "", 0.0, 0.0},
                    EndToEndCase{"wav_24bit_extensible_raised", "-r 48000 -c 2 -b 24", "", 0.5, 0.75},
                    EndToEndCase{"wav_float_raised", "-r 44100 -c 2 -b 32 -e floating-point", "", 0.5, 0.75},
                    EndToEndCase{"wav_6_channels_raised", "-r 44100 -c 6 -b 16", "", 0.5, 0.75},
                    EndToEndCase{"mp3_stereo_raised", "-r 44100 -c 2 -b 16", "-b 128 --cbr", 0.5, 0.75},
                    EndToEndCase{"mp3_mpeg2_mono_raised", "-r 22050 -c 1 -b 16", "-b 64 -m m", 0.4, 0.75}),
    [](const auto& info) { return std::string(info.param.name); });

// A quiet fragment is raised to three quarters of full scale, but by 24 dB (x 15.85)
// at most, so that near-silence stays quiet.
TEST(RingtoneJob, TheGainStopsAt24Decibels)
{
    const auto folder = scratch_folder();
    struct Case {
        double volume;
        double expected_peak; // fraction of full scale
    };
    for (const Case c : {Case{0.1, 0.75}, Case{0.03, 0.03 * 15.85}, Case{0.002, 0.002 * 15.85}}) {
        const auto source = make_sine(folder / "quiet.wav", "-r 44100 -c 1 -b 16", 2.0, c.volume);
        const auto target = folder / "quiet.mp3";
        RingtoneJob job(wide(source), wide(target), 0, 44100 * 2 * 2);
        ASSERT_EQ(run_to_end(job), Outcome::made) << c.volume;
        EXPECT_NEAR(peak_of(decode_all(target).samples()) / 32767.0, c.expected_peak, c.expected_peak * 0.1)
            << c.volume;
    }
}

// A fragment of more PCM than the first pass keeps (64 MiB) is decoded again for the
// second pass, with the same result.
TEST(RingtoneJob, LongFragmentIsReadAgainForTheSecondPass)
{
    const auto folder = scratch_folder();
    const auto wav = make_sine(folder / "long.wav", "-r 96000 -c 2 -b 16", 180.0, 0.5);
    const auto target = folder / "long.mp3";
    RingtoneJob job(wide(wav), wide(target), 0, 96000 * 4 * 180);
    ASSERT_EQ(run_to_end(job), Outcome::made);
    const Decoded decoded = decode_all(target);
    EXPECT_NEAR(decoded.seconds(), 180.0, 0.12);
    EXPECT_NEAR(peak_of(decoded.samples()) / 32767.0, 0.75, 0.05);
}

// Stops the job from its own worker when a pass begins.
class StopAtPass : public RingtoneJob::Listener {
public:
    explicit StopAtPass(int pass) : pass_(pass) {}
    void on_pass_started(int pass) override
    {
        if (pass == pass_)
            job->request_stop();
    }
    RingtoneJob* job = nullptr;

private:
    int pass_;
};

TEST(RingtoneJob, StoppedJobLeavesNoRingTone)
{
    const auto folder = scratch_folder();
    const auto source = make_sine(folder / "source.wav", "-r 44100 -c 2 -b 16", 2.0);
    for (int pass : {1, 2}) {
        const auto target = folder / ("stopped_in_pass_" + std::to_string(pass) + ".mp3");
        StopAtPass listener(pass);
        RingtoneJob job(wide(source), wide(target), 0, 44100 * 4, &listener);
        listener.job = &job;
        EXPECT_EQ(run_to_end(job), Outcome::stopped) << "pass " << pass;
        EXPECT_FALSE(std::filesystem::exists(target)) << "pass " << pass;
    }
}

std::vector<std::string> names_in(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Only a complete ring tone replaces a file of the same name; every other end leaves
// it, and nothing else, in the folder.
TEST(RingtoneJob, AFileOfTheSameNameIsReplacedOnlyByACompleteRingTone)
{
    const auto folder = scratch_folder();
    const auto source = make_sine(folder / "source.wav", "-r 44100 -c 2 -b 16", 1.0);
    const auto target = folder / "existing.mp3";
    write_bytes(target, "an older ring tone");

    RingtoneJob empty(wide(source), wide(target), 1000, 1000);
    EXPECT_EQ(run_to_end(empty), Outcome::empty_fragment);
    RingtoneJob beyond(wide(source), wide(target), 44100 * 8, 44100 * 9);
    EXPECT_EQ(run_to_end(beyond), Outcome::nothing_encoded);
    for (int pass : {1, 2}) {
        StopAtPass listener(pass);
        RingtoneJob stopped(wide(source), wide(target), 0, 44100 * 4, &listener);
        listener.job = &stopped;
        EXPECT_EQ(run_to_end(stopped), Outcome::stopped);
    }
    {
        RingtoneJob full(wide(source), wide(target), 0, 44100 * 4);
        FileSizeLimit limit(1000);
        EXPECT_EQ(run_to_end(full), Outcome::write_failed);
    }
    EXPECT_EQ(read_bytes(target), "an older ring tone");
    EXPECT_EQ(names_in(folder), (std::vector<std::string>{"existing.mp3", "source.wav"}));

    RingtoneJob job(wide(source), wide(target), 0, 44100 * 4);
    EXPECT_EQ(run_to_end(job), Outcome::made);
    EXPECT_NE(read_bytes(target), "an older ring tone") << "overwritten by the new ring tone";
    EXPECT_EQ(names_in(folder), (std::vector<std::string>{"existing.mp3", "source.wav"}));
}

// However the target reaches the source, the source is refused as target and kept.
TEST(RingtoneJob, TheSourceIsNeverItsOwnTarget)
{
    const auto folder = scratch_folder();
    std::filesystem::create_directory(folder / "sub");
    const auto source = make_sine(folder / "sub" / "source.wav", "-r 8000 -c 1 -b 16", 1.0);
    const std::string bytes = read_bytes(source);
    std::filesystem::create_symlink(source, folder / "link.wav");
    std::filesystem::create_hard_link(source, folder / "hard.wav");
    for (const auto& target : {source, folder / "sub" / ".." / "sub" / "source.wav", folder / "link.wav",
                               folder / "hard.wav"}) {
        RingtoneJob job(wide(source), wide(target), 0, 8000);
        EXPECT_EQ(job.target_refusal(), Outcome::target_is_source) << target;
        EXPECT_EQ(run_to_end(job), Outcome::target_is_source) << target;
    }
    EXPECT_EQ(read_bytes(source), bytes);
}

TEST(RingtoneJob, TargetsThatAreNotFilesAreRefused)
{
    const auto folder = scratch_folder();
    const auto source = make_sine(folder / "source.wav", "-r 8000 -c 1 -b 16", 1.0);
    std::filesystem::create_directory(folder / "folder.mp3");
    ASSERT_EQ(mkfifo((folder / "fifo.mp3").c_str(), 0600), 0);
    for (const auto& target : {folder / "folder.mp3", folder / "fifo.mp3", std::filesystem::path("/dev/null")}) {
        RingtoneJob job(wide(source), wide(target), 0, 8000);
        EXPECT_EQ(job.target_refusal(), Outcome::target_not_a_file) << target;
        EXPECT_EQ(run_to_end(job), Outcome::target_not_a_file) << target;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "fifo.mp3"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_EQ(RingtoneJob(wide(source), wide(folder / "new.mp3"), 0, 8000).target_refusal(), std::nullopt);
}

TEST(RingtoneJob, FailuresLeaveNoFile)
{
    const auto folder = scratch_folder();
    const auto wav = make_sine(folder / "source.wav", "-r 44100 -c 2 -b 16", 1.0);
    write_bytes(folder / "text.txt", "not audio");
    write_bytes(folder / "empty.mp3", "");
    struct Case {
        const char* name;
        std::filesystem::path source;
        std::filesystem::path target;
        int start, finish;
        Outcome outcome;
    };
    const Case cases[] = {
        {"unrecognised source", folder / "text.txt", folder / "a.mp3", 0, 1000, Outcome::source_not_recognised},
        {"missing source", folder / "missing.wav", folder / "b.mp3", 0, 1000, Outcome::source_not_recognised},
        {"folder as source", folder, folder / "c.mp3", 0, 1000, Outcome::source_not_recognised},
        {"start after finish", wav, folder / "d.mp3", 8000, 4000, Outcome::empty_fragment},
        {"start at finish", wav, folder / "e.mp3", 4000, 4000, Outcome::empty_fragment},
        {"fragment past the end", wav, folder / "f.mp3", 44100 * 8, 44100 * 9, Outcome::nothing_encoded},
        {"empty mp3", folder / "empty.mp3", folder / "g.mp3", 0, 1000, Outcome::nothing_encoded},
        {"target folder missing", wav, folder / "missing" / "h.mp3", 0, 44100 * 4, Outcome::target_folder_missing},
    };
    for (const Case& c : cases) {
        RingtoneJob job(wide(c.source), wide(c.target), c.start, c.finish);
        EXPECT_EQ(run_to_end(job), c.outcome) << c.name;
        EXPECT_FALSE(std::filesystem::exists(c.target)) << c.name;
    }
}

TEST(RingtoneJob, SourceShorterThanItsHeaderClaimsEndsThePass)
{
    const auto folder = scratch_folder();
    const auto wav = make_sine(folder / "whole.wav", "-r 44100 -c 2 -b 16", 2.0);
    std::string bytes = read_bytes(wav);
    bytes.resize(bytes.size() / 2 + 1); // one second and a partial frame
    write_bytes(folder / "cut.wav", bytes);

    RingtoneJob job(wide(folder / "cut.wav"), wide(folder / "out.mp3"), 0, 44100 * 4 * 2);
    ASSERT_EQ(run_to_end(job), Outcome::made);
    EXPECT_NEAR(decode_all(folder / "out.mp3").seconds(), 1.0, 0.12);
}

TEST(RingtoneJob, DiskFullMidWayIsAFailureWithoutAFile)
{
    const auto folder = scratch_folder();
    const auto wav = make_sine(folder / "source.wav", "-r 44100 -c 1 -b 16", 30.0);
    const auto target = folder / "full.mp3";
    RingtoneJob job(wide(wav), wide(target), 0, 44100 * 2 * 30);
    FileSizeLimit limit(150000); // the ring tone needs about 240000 bytes
    EXPECT_EQ(run_to_end(job), Outcome::write_failed);
    EXPECT_FALSE(std::filesystem::exists(target));
}

// A second of any format makes a second of ring tone at the target bit rate, whether
// its reader counts bytes, coded blocks or sample frames.
TEST(RingtoneJob, RoomIsEstimatedFromTheFragmentsDurationInEveryUnit)
{
    for (const source_formats::SourceFormat& format : source_formats::all) {
        SCOPED_TRACE(format.name);
        const auto folder = scratch_folder();
        const auto source = source_formats::make(format, folder, 2.0);
        const auto chain = audio::open_play_chain(wide(source));
        ASSERT_TRUE(chain);
        audio::FileReader& reader = *chain->file_reader();
        const int start = reader.seconds_to_position(0.5);
        const int finish = reader.seconds_to_position(1.5);
        const RingtoneJob job(wide(source), wide(folder / "a.mp3"), start, finish);
        const double second_of_ring_tone = job.target_bit_rate() / 8.0;
        EXPECT_NEAR(job.estimated_bytes(), second_of_ring_tone, 0.05 * second_of_ring_tone);
        EXPECT_TRUE(job.has_room());
    }
}

TEST(RingtoneJob, NoRoomBeyondTheFreeSpaceOrWithoutAFolder)
{
    const auto folder = scratch_folder();
    const auto wav = make_sine(folder / "source.wav", "-r 44100 -c 1 -b 16", 0.2);
    // One byte a second: two thousand million seconds of it fill no disk as a ring tone.
    write_bytes(folder / "slow.wav", riff(chunk("fmt ", fmt_fields(1, 1, 1, 8)) + chunk("data", "abcd")));
    EXPECT_FALSE(RingtoneJob(wide(folder / "slow.wav"), wide(folder / "a.mp3"), 0, 2000000000).has_room());
    EXPECT_FALSE(RingtoneJob(wide(wav), wide(folder / "missing" / "c.mp3"), 0, 1000).has_room());
}

// A stop from another thread, in the middle of the second pass.
TEST(RingtoneJobThread, StopFromAnotherThreadLeavesNoFile)
{
    const auto folder = scratch_folder();
    const auto wav = make_sine(folder / "source.wav", "-r 44100 -c 2 -b 16", 60.0);
    const auto target = folder / "stopped.mp3";
    RingtoneJob job(wide(wav), wide(target), 0, 44100 * 4 * 60);
    ASSERT_TRUE(job.start());
    while (job.is_running() && !(job.pass() == 2 && job.progress() > 0.1))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    job.stop();
    ASSERT_EQ(job.outcome(), Outcome::stopped) << "the job ran to its end before the test could stop it";
    EXPECT_FALSE(std::filesystem::exists(target));
}

} // namespace
