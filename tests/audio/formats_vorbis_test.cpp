#include <gtest/gtest.h>

#include <cstdint>
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
