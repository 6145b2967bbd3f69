#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "audio/decoder_adpcm.h"
#include "audio/file_reader_wav_adpcm.h"
#include "tests/audio/formats_fixtures.h"

namespace {

using audio::ADPCMData;
using audio::DecoderADPCM;
using audio::FileReaderWAVADPCM;
using audio::PCMData;
using formats_test::Scratch;

void put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void put_id(std::vector<uint8_t>& out, const char* id)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(id[i]));
}

struct ADPCMHeader {
    int channels = 1;
    int block_align = 256;
    int samples_per_block = 500;
    int pairs = 7;
    uint32_t fact_samples = 0;
    int bits = 4;
};

// A Microsoft ADPCM WAV file as encoders write it, with the given data bytes.
std::vector<uint8_t> adpcm_wav(const ADPCMHeader& h, const std::vector<uint8_t>& data)
{
    static const int16_t standard[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    std::vector<uint8_t> out;
    put_id(out, "RIFF");
    put32(out, 0);
    put_id(out, "WAVE");
    put_id(out, "fmt ");
    put32(out, 20 + 4 * h.pairs);
    put16(out, 2);
    put16(out, h.channels);
    put32(out, 8000);
    put32(out, 4096);
    put16(out, h.block_align);
    put16(out, h.bits);
    put16(out, 4 + 4 * h.pairs);
    put16(out, h.samples_per_block);
    put16(out, h.pairs);
    for (int i = 0; i < h.pairs; ++i) {
        put16(out, static_cast<uint16_t>(standard[i % 7][0]));
        put16(out, static_cast<uint16_t>(standard[i % 7][1]));
    }
    put_id(out, "fact");
    put32(out, 4);
    put32(out, h.fact_samples);
    put_id(out, "data");
    put32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// Hands out one prepared block, then nothing.
struct OneBlock : audio::Provider<ADPCMData> {
    ADPCMData block;
    ADPCMData read(int) override { return std::exchange(block, ADPCMData()); }
};

std::vector<int16_t> decode_block(const std::vector<uint8_t>& bytes, int channels)
{
    OneBlock source;
    source.block = ADPCMData(liba::ByteBlock(static_cast<int32_t>(bytes.size()), bytes.data()), channels, 4, 8000,
                             static_cast<int32_t>(bytes.size()));
    DecoderADPCM decoder;
    source.connect(&decoder);
    return formats_test::pull_all(decoder, 100000);
}

TEST(FormatsADPCM, DecodesLikeSoxSampleForSample)
{
    if (!formats_test::have_tool("sox"))
        GTEST_SKIP() << "sox is not installed";
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        Scratch scratch;
        ASSERT_TRUE(formats_test::make_source(scratch.path("source.wav"), 22050, channels));
        ASSERT_TRUE(formats_test::run("sox " + scratch.path("source.wav") + " -e ms-adpcm " + scratch.path("a.wav")));
        ASSERT_TRUE(formats_test::sox_decode(scratch.path("a.wav"), scratch.path("reference.raw")));

        auto reader = std::make_unique<FileReaderWAVADPCM>(scratch.wide("a.wav"));
        ASSERT_TRUE(reader->is_open());
        EXPECT_EQ(reader->channels(), channels);
        EXPECT_EQ(reader->bits_per_sample(), 16);
        EXPECT_EQ(reader->sample_rate(), 22050);
        DecoderADPCM decoder;
        reader->connect(&decoder);
        const std::vector<int16_t> ours = formats_test::pull_all(decoder);
        const std::vector<int16_t> reference = formats_test::read_raw_samples(scratch.path("reference.raw"));

        // The length counts the blocks the fact chunk's sample count fills completely.
        const auto& info = static_cast<const audio::WAVInfoADPCM&>(reader->wav_info());
        const size_t expected = size_t(reader->length()) * info.samples_per_block * channels;
        ASSERT_EQ(ours.size(), expected);
        ASSERT_GE(reference.size(), expected);
        EXPECT_TRUE(std::equal(ours.begin(), ours.end(), reference.begin()));
        EXPECT_TRUE(reader->is_eof());
        EXPECT_NEAR(reader->length_seconds(), 2.0, 0.1);
    }
}

TEST(FormatsADPCM, SamplesPerBlockFollowFromBlockAlign)
{
    EXPECT_EQ(audio::adpcm_samples_per_block(1, 256), 500);
    EXPECT_EQ(audio::adpcm_samples_per_block(2, 512), 500);
    EXPECT_EQ(audio::adpcm_samples_per_block(1, 7), 2);
    EXPECT_LT(audio::adpcm_samples_per_block(2, 10), 2);

    Scratch scratch;
    const struct {
        int channels, block_align, frames;
    } cases[] = {{1, 256, 500}, {2, 512, 500}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.channels);
        // Four blocks, all codes 0 with predictor 0: silence of the expected length.
        ADPCMHeader header{c.channels, c.block_align, c.frames, 7, uint32_t(4 * c.frames)};
        std::vector<uint8_t> data(4 * c.block_align, 0);
        for (int b = 0; b < 4; ++b)
            for (int ch = 0; ch < c.channels; ++ch)
                data[b * c.block_align + c.channels + 2 * ch] = 16;  // delta
        formats_test::write_bytes(scratch.path("s.wav"), adpcm_wav(header, data));
        FileReaderWAVADPCM reader(scratch.wide("s.wav"));
        ASSERT_TRUE(reader.is_open());
        EXPECT_EQ(reader.length(), 4);
        EXPECT_DOUBLE_EQ(reader.position_to_seconds(4), 4.0 * c.frames / 8000);
        EXPECT_EQ(reader.seconds_to_position(0.5), 8);
        DecoderADPCM decoder;
        reader.connect(&decoder);
        EXPECT_EQ(formats_test::pull_all(decoder).size(), size_t(4 * c.frames * c.channels));
    }
}

TEST(FormatsADPCM, RefusesHeadersThatDoNotDescribeTheBlocks)
{
    Scratch scratch;
    const struct {
        const char* name;
        ADPCMHeader header;
    } cases[] = {
        {"no room for coded samples", {1, 7, 2, 7, 100}},
        {"negative samples per block", {2, 10, 0, 7, 100}},
        {"more samples than the block holds", {1, 256, 4000, 7, 100}},
        {"six coefficient pairs", {1, 256, 500, 6, 100}},
        {"three channels", {3, 256, 500, 7, 100}},
        {"8 bits per sample", {1, 256, 500, 7, 100, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        formats_test::write_bytes(scratch.path("bad.wav"), adpcm_wav(c.header, std::vector<uint8_t>(1024, 0)));
        FileReaderWAVADPCM reader(scratch.wide("bad.wav"));
        EXPECT_FALSE(reader.is_open());
        EXPECT_TRUE(reader.is_eof());
        EXPECT_TRUE(reader.read(5).empty());
        EXPECT_FALSE(reader.pump(5));
    }
}

TEST(FormatsADPCM, ExpandsCodesWithTheDeltaFloorAndSilencesUnknownPredictors)
{
    // Predictor 0 (256, 0), delta 17, both samples 0. Code 0 keeps 0 and would bring the
    // delta to 230 × 17 / 256 = 15, which the floor lifts to 16; code 1 then adds 16.
    std::vector<uint8_t> block = {0, 17, 0, 0, 0, 0, 0, 0x01, 0x70};
    const std::vector<int16_t> samples = decode_block(block, 1);
    ASSERT_EQ(samples.size(), 6u);
    EXPECT_EQ(samples[2], 0);
    EXPECT_EQ(samples[3], 16);
    // Code 7 with delta 16: 16 (predicted) + 7 × 16.
    EXPECT_EQ(samples[4], 16 + 7 * 16);

    block[0] = 7;
    for (int16_t sample : decode_block(block, 1))
        EXPECT_EQ(sample, 0);
}

TEST(FormatsADPCM, LongRunOfLargeCodesSaturates)
{
    // Code 7 multiplies the delta by 614 / 256 each time: 200 of them would take it far
    // past 32 bits.
    std::vector<uint8_t> block = {0, 0xFF, 0x7F, 0, 0, 0, 0};
    block.resize(7 + 100, 0x77);
    const std::vector<int16_t> samples = decode_block(block, 1);
    ASSERT_EQ(samples.size(), 202u);
    for (size_t i = 2; i < samples.size(); ++i)
        ASSERT_EQ(samples[i], 32767) << i;
}

TEST(FormatsADPCM, StereoBlockInterleavesHighCodeLeftLowCodeRight)
{
    // Predictors 0; deltas 16 and 32; sample1 (100, -100); sample2 (50, -50); one code
    // byte 0x1F: left code 1, right code 15 (-1).
    const std::vector<uint8_t> block = {0, 0, 16, 0, 32, 0, 100, 0, 0x9C, 0xFF, 50, 0, 0xCE, 0xFF, 0x1F};
    const std::vector<int16_t> samples = decode_block(block, 2);
    const std::vector<int16_t> expected = {50, -50, 100, -100, 116, -132};
    EXPECT_EQ(samples, expected);
}

TEST(FormatsADPCM, ReadEndsAtTheLastWholeBlockTheFileHolds)
{
    Scratch scratch;
    // The header claims ten blocks; the file holds two and a half.
    ADPCMHeader header{1, 256, 500, 7, 5000};
    std::vector<uint8_t> file = adpcm_wav(header, std::vector<uint8_t>(10 * 256, 0));
    file.resize(file.size() - 7 * 256 - 128);
    formats_test::write_bytes(scratch.path("cut.wav"), file);

    FileReaderWAVADPCM reader(scratch.wide("cut.wav"));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.length(), 2);
    const ADPCMData block = reader.read(5);
    EXPECT_EQ(block.length(), 2 * 256);
    EXPECT_EQ(block.block_align, 256);
    EXPECT_EQ(reader.position(), 2);
    EXPECT_TRUE(reader.read(5).empty());
    EXPECT_TRUE(reader.is_eof());

    reader.seek(1);
    EXPECT_EQ(reader.read(5).length(), 256);
    reader.seek(-3);
    EXPECT_EQ(reader.position(), 0);
    reader.seek(99);
    EXPECT_EQ(reader.position(), 2);
}

TEST(FormatsADPCM, PullOfOneFrameKeepsTheRestOfTheBlock)
{
    Scratch scratch;
    ADPCMHeader header{1, 256, 500, 7, 1000};
    formats_test::write_bytes(scratch.path("two.wav"), adpcm_wav(header, std::vector<uint8_t>(512, 0)));
    FileReaderWAVADPCM reader(scratch.wide("two.wav"));
    DecoderADPCM decoder;
    reader.connect(&decoder);
    EXPECT_EQ(decoder.read(1).frames(), 1);
    EXPECT_EQ(reader.position(), 1);
    EXPECT_EQ(decoder.read(10000).frames(), 499);
    EXPECT_EQ(decoder.read(10000).frames(), 500);
    EXPECT_TRUE(decoder.read(10000).empty());
}

TEST(FormatsADPCM, PumpPushesEveryBlockThroughTheDecoder)
{
    Scratch scratch;
    ADPCMHeader header{2, 512, 500, 7, 12 * 500};
    formats_test::write_bytes(scratch.path("p.wav"), adpcm_wav(header, std::vector<uint8_t>(12 * 512, 0)));
    FileReaderWAVADPCM reader(scratch.wide("p.wav"));
    DecoderADPCM decoder;
    reader.connect(&decoder);
    struct Count : audio::Consumer<PCMData> {
        int frames = 0;
        void on_data(const PCMData& block) override { frames += block.frames(); }
    } sink;
    decoder.connect(&sink);
    EXPECT_TRUE(reader.pump(11));
    EXPECT_EQ(sink.frames, 11 * 500);
    EXPECT_FALSE(reader.pump(2));
    EXPECT_EQ(sink.frames, 12 * 500);
    EXPECT_TRUE(reader.pump(0));
}

} // namespace
