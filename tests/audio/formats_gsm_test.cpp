#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "audio/decoder_gsm.h"
#include "audio/file_reader_wav_gsm.h"
#include "tests/audio/formats_fixtures.h"

namespace {

using audio::DecoderGSM;
using audio::FileReaderWAVGSM;
using formats_test::Scratch;

// Byte offsets in the header sox writes: sample rate, and the data chunk's contents.
constexpr size_t sample_rate_offset = 24;
constexpr size_t data_offset = 60;

// Makes a GSM 6.10 WAV file of the given seconds with sox, and its sox decoding.
bool make_gsm(const Scratch& scratch, double seconds = 2)
{
    return formats_test::make_source(scratch.path("source.wav"), 8000, 1, seconds) &&
           formats_test::run("sox " + scratch.path("source.wav") + " -e gsm-full-rate " + scratch.path("g.wav")) &&
           formats_test::sox_decode(scratch.path("g.wav"), scratch.path("reference.raw"));
}

class FormatsGSM : public testing::Test {
protected:
    void SetUp() override
    {
        if (!formats_test::have_tool("sox"))
            GTEST_SKIP() << "sox is not installed";
        ASSERT_TRUE(make_gsm(scratch));
    }

    Scratch scratch;
};

TEST_F(FormatsGSM, DecodesLikeSox)
{
    auto reader = std::make_unique<FileReaderWAVGSM>(scratch.wide("g.wav"));
    ASSERT_TRUE(reader->is_open());
    EXPECT_EQ(reader->channels(), 1);
    EXPECT_EQ(reader->sample_rate(), 8000);
    EXPECT_EQ(reader->bits_per_sample(), 16);
    EXPECT_EQ(reader->bit_rate(), 13000);
    EXPECT_EQ(reader->length(), 50);
    EXPECT_DOUBLE_EQ(reader->length_seconds(), 2.0);
    DecoderGSM decoder;
    reader->connect(&decoder);
    const std::vector<int16_t> ours = formats_test::pull_all(decoder);
    const std::vector<int16_t> reference = formats_test::read_raw_samples(scratch.path("reference.raw"));
    ASSERT_EQ(ours.size(), 16000u);
    ASSERT_EQ(reference.size(), 16000u);
    EXPECT_LE(formats_test::max_difference(ours, reference), 2);
    EXPECT_TRUE(reader->is_eof());
}

TEST_F(FormatsGSM, TenBlocksDecodeToTenTimes320Samples)
{
    std::vector<uint8_t> file = formats_test::read_bytes(scratch.path("g.wav"));
    file.resize(data_offset + 10 * 65);
    formats_test::write_bytes(scratch.path("ten.wav"), file);
    FileReaderWAVGSM reader(scratch.wide("ten.wav"));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.length(), 10);
    DecoderGSM decoder;
    reader.connect(&decoder);
    EXPECT_EQ(formats_test::pull_all(decoder).size(), 3200u);
}

TEST_F(FormatsGSM, HeaderAt48kHzIsRefused)
{
    std::vector<uint8_t> file = formats_test::read_bytes(scratch.path("g.wav"));
    ASSERT_EQ(file[sample_rate_offset] | file[sample_rate_offset + 1] << 8, 8000);
    file[sample_rate_offset] = 48000 & 0xFF;
    file[sample_rate_offset + 1] = 48000 >> 8;
    formats_test::write_bytes(scratch.path("48k.wav"), file);
    FileReaderWAVGSM reader(scratch.wide("48k.wav"));
    EXPECT_FALSE(reader.is_open());
    EXPECT_FALSE(reader.pump(1));
}

TEST_F(FormatsGSM, PullOfOneFrameKeepsTheRestOfTheBlock)
{
    FileReaderWAVGSM reader(scratch.wide("g.wav"));
    DecoderGSM decoder;
    reader.connect(&decoder);
    EXPECT_EQ(decoder.read(1).frames(), 1);
    EXPECT_EQ(reader.position(), 1);
    EXPECT_EQ(decoder.read(1000).frames(), 319);
    EXPECT_EQ(reader.position(), 1);
}

TEST_F(FormatsGSM, SeekAndPumpMoveByWholeBlocks)
{
    FileReaderWAVGSM reader(scratch.wide("g.wav"));
    DecoderGSM decoder;
    reader.connect(&decoder);
    struct Count : audio::Consumer<audio::PCMData> {
        int frames = 0;
        void on_data(const audio::PCMData& block) override { frames += block.frames(); }
    } sink;
    decoder.connect(&sink);
    EXPECT_EQ(reader.seconds_to_position(1.0), 25);
    reader.seek_seconds(1.0);
    EXPECT_EQ(reader.position(), 25);
    EXPECT_TRUE(reader.pump_seconds(0.5));
    EXPECT_EQ(sink.frames, 12 * 320);
    EXPECT_EQ(reader.position(), 37);
    EXPECT_FALSE(reader.pump(20));
    EXPECT_EQ(reader.position(), 50);
}

} // namespace
