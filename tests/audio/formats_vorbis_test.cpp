#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "audio/decoder_vorbis.h"
#include "tests/audio/formats_fixtures.h"

namespace {

using audio::DecoderVorbis;
using formats_test::Scratch;

class FormatsVorbis : public testing::Test {
protected:
    void SetUp() override
    {
        if (!formats_test::have_tool("oggenc") || !formats_test::have_tool("oggdec"))
            GTEST_SKIP() << "oggenc and oggdec (vorbis-tools) are not installed";
        ASSERT_TRUE(formats_test::make_source(scratch.path("source.wav"), 44100, 2));
        ASSERT_TRUE(formats_test::run("oggenc -Q -q 4 -o " + scratch.path("v.ogg") + " " + scratch.path("source.wav")));
    }

    Scratch scratch;
};

TEST_F(FormatsVorbis, DecodesLikeOggdec)
{
    ASSERT_TRUE(formats_test::run("oggdec -Q -R -o " + scratch.path("reference.raw") + " " + scratch.path("v.ogg")));
    DecoderVorbis reader(scratch.wide("v.ogg"));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.channels(), 2);
    EXPECT_EQ(reader.sample_rate(), 44100);
    EXPECT_EQ(reader.bits_per_sample(), 16);
    EXPECT_GT(reader.bit_rate(), 8000);
    EXPECT_EQ(reader.length(), 88200);
    EXPECT_DOUBLE_EQ(reader.length_seconds(), 2.0);

    const std::vector<int16_t> ours = formats_test::pull_all(reader);
    const std::vector<int16_t> reference = formats_test::read_raw_samples(scratch.path("reference.raw"));
    ASSERT_EQ(ours.size(), reference.size());
    EXPECT_LE(formats_test::max_difference(ours, reference), 4);
}

// `cat a.ogg b.ogg` with another rate and channel count in the second link: the length
// counts both links, each block carries its own link's format, and time and position
// convert link by link.
TEST_F(FormatsVorbis, ChainedLinksKeepTheirOwnRateAndChannels)
{
    ASSERT_TRUE(formats_test::make_source(scratch.path("second.wav"), 22050, 1, 3));
    ASSERT_TRUE(formats_test::run("oggenc -Q -o " + scratch.path("second.ogg") + " " + scratch.path("second.wav")));
    std::vector<uint8_t> chain = formats_test::read_bytes(scratch.path("v.ogg"));
    const std::vector<uint8_t> second = formats_test::read_bytes(scratch.path("second.ogg"));
    chain.insert(chain.end(), second.begin(), second.end());
    formats_test::write_bytes(scratch.path("chain.ogg"), chain);
    DecoderVorbis reader(scratch.wide("chain.ogg"));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.length(), 88200 + 66150);
    EXPECT_DOUBLE_EQ(reader.length_seconds(), 5.0);
    EXPECT_EQ(reader.sample_rate(), 44100);
    EXPECT_EQ(reader.channels(), 2);

    struct Point {
        double seconds;
        int position;
    };
    for (const Point point : {Point{0, 0}, Point{1.5, 66150}, Point{2.0, 88200}, Point{3.0, 88200 + 22050},
                              Point{5.0, 88200 + 66150}}) {
        EXPECT_EQ(reader.seconds_to_position(point.seconds), point.position) << point.seconds;
        EXPECT_DOUBLE_EQ(reader.position_to_seconds(point.position), point.seconds) << point.seconds;
    }

    double seconds = 0;
    int frames_at_44100 = 0, frames_at_22050 = 0;
    for (audio::PCMData block = reader.read(4096); !block.empty(); block = reader.read(4096)) {
        ASSERT_TRUE((block.sample_rate == 44100 && block.channels == 2) ||
                    (block.sample_rate == 22050 && block.channels == 1))
            << block.sample_rate << " Hz, " << block.channels << " channels";
        (block.sample_rate == 44100 ? frames_at_44100 : frames_at_22050) += block.frames();
        EXPECT_EQ(frames_at_22050 == 0, block.sample_rate == 44100) << "the first link comes first";
        seconds += double(block.frames()) / block.sample_rate;
    }
    EXPECT_EQ(frames_at_44100, 88200);
    EXPECT_EQ(frames_at_22050, 66150);
    EXPECT_NEAR(seconds, 5.0, 1e-9);

    reader.seek(reader.seconds_to_position(3.0));
    EXPECT_EQ(reader.sample_rate(), 22050);
    EXPECT_EQ(reader.channels(), 1);
    const audio::PCMData block = reader.read(100);
    EXPECT_EQ(block.sample_rate, 22050);
    EXPECT_GT(block.frames(), 0);
    EXPECT_LE(block.frames(), 100);
}

// Five samples last less than a millisecond: the library's own average bit rate
// divides by zero there (found by fuzz_vorbis_reader).
TEST_F(FormatsVorbis, AFileOfFiveSamplesOpens)
{
    ASSERT_TRUE(formats_test::run("sox -D -n -r 8000 -c 1 -b 16 " + scratch.path("tiny.wav") + " synth 5s sine 440"));
    ASSERT_TRUE(formats_test::run("oggenc -Q -o " + scratch.path("tiny.ogg") + " " + scratch.path("tiny.wav")));
    DecoderVorbis reader(scratch.wide("tiny.ogg"));
    ASSERT_TRUE(reader.is_open());
    EXPECT_GT(reader.length(), 0);
    EXPECT_LE(reader.length(), 5);
    EXPECT_GT(reader.bit_rate(), 0);
    EXPECT_EQ(formats_test::pull_all(reader).size(), size_t(reader.length()));
}

// Found by fuzz_vorbis_reader: the library does not always land on the very end.
TEST_F(FormatsVorbis, ASeekToTheEndOrBeyondLeavesNothingToRead)
{
    ASSERT_TRUE(formats_test::run("sox -D -n -r 8000 -c 1 -b 16 " + scratch.path("tiny.wav") + " synth 5s sine 440"));
    ASSERT_TRUE(formats_test::run("oggenc -Q -o " + scratch.path("tiny.ogg") + " " + scratch.path("tiny.wav")));
    for (const char* name : {"v.ogg", "tiny.ogg"}) {
        DecoderVorbis reader(scratch.wide(name));
        ASSERT_TRUE(reader.is_open()) << name;
        for (const int position : {reader.length(), reader.length() + 1, std::numeric_limits<int>::max()}) {
            reader.seek(position);
            EXPECT_EQ(reader.position(), reader.length()) << name;
            EXPECT_TRUE(reader.is_eof()) << name;
            EXPECT_TRUE(reader.read(100).empty()) << name;
        }
        reader.seek(0);
        EXPECT_EQ(reader.position(), 0) << name;
        EXPECT_FALSE(reader.read(100).empty()) << name << ": a seek back reads again";
    }
}

TEST_F(FormatsVorbis, ReadHandsOutAtMost8192FramesAndEndsAtTheTotal)
{
    DecoderVorbis reader(scratch.wide("v.ogg"));
    ASSERT_TRUE(reader.is_open());
    int frames = 0;
    for (audio::PCMData block = reader.read(10000); !block.empty(); block = reader.read(10000)) {
        EXPECT_LE(block.frames(), 8192);
        EXPECT_EQ(block.channels, 2);
        frames += block.frames();
        EXPECT_EQ(reader.position(), frames);
    }
    EXPECT_EQ(frames, 88200);
    EXPECT_TRUE(reader.is_eof());
    EXPECT_TRUE(reader.read(10000).empty());
    EXPECT_FALSE(reader.pump(1));
}

TEST_F(FormatsVorbis, SeekAndPumpCountSampleFrames)
{
    DecoderVorbis reader(scratch.wide("v.ogg"));
    struct Count : audio::Consumer<audio::PCMData> {
        int frames = 0;
        void on_data(const audio::PCMData& block) override { frames += block.frames(); }
    } sink;
    reader.connect(&sink);
    EXPECT_EQ(reader.seconds_to_position(1.5), 66150);
    reader.seek_seconds(1.5);
    EXPECT_EQ(reader.position(), 66150);
    EXPECT_FALSE(reader.is_eof());
    EXPECT_TRUE(reader.pump(10000));
    EXPECT_EQ(sink.frames, 10000);
    EXPECT_EQ(reader.position(), 76150);
    EXPECT_FALSE(reader.pump_seconds(1.0));
    EXPECT_EQ(sink.frames, 88200 - 66150);
}

TEST(FormatsVorbisRefusal, TextAndMissingFilesAreNotOpen)
{
    Scratch scratch;
    formats_test::write_bytes(scratch.path("t.ogg"), std::vector<uint8_t>(5000, 'a'));
    for (const char* name : {"t.ogg", "missing.ogg"}) {
        DecoderVorbis reader(scratch.wide(name));
        EXPECT_FALSE(reader.is_open());
        EXPECT_TRUE(reader.is_eof());
        EXPECT_EQ(reader.length(), 0);
        EXPECT_EQ(reader.channels(), 0);
        EXPECT_TRUE(reader.read(100).empty());
        EXPECT_FALSE(reader.pump(100));
    }
}

} // namespace
