#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "audio/file_reader_wav_pcm.h"
#include "audio/play_chain.h"
#include "tests/audio/fixtures.h"

using audio::FileReaderWAVPCM;
using audio::PCMData;
using namespace fixtures;

namespace {

struct SoxFormat {
    int channels;
    int bits;
};

void PrintTo(const SoxFormat& format, std::ostream* out) { *out << format.channels << "ch" << format.bits << "bit"; }

class WAVReaderFormats : public testing::TestWithParam<SoxFormat> {};

// The reader delivers exactly the samples sox wrote, in whole frames, with their format.
TEST_P(WAVReaderFormats, DeliversTheDataChunkAsWritten)
{
    const SoxFormat format = GetParam();
    const auto folder = scratch_folder();
    const std::string options =
        "-r 8000 -c " + std::to_string(format.channels) + " -b " + std::to_string(format.bits);
    const auto wav = make_sine(folder / "sine.wav", options + (format.bits == 8 ? " -e unsigned" : ""), 1.3);
    run("sox " + quoted(wav) + " -t raw " + quoted(folder / "sine.raw"));
    const std::string expected = read_bytes(folder / "sine.raw");

    FileReaderWAVPCM reader(wide(wav));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.channels(), format.channels);
    EXPECT_EQ(reader.bits_per_sample(), format.bits);
    EXPECT_EQ(reader.sample_rate(), 8000);
    EXPECT_EQ(reader.bit_rate(), 8000 * format.channels * format.bits);
    EXPECT_EQ(reader.length(), int(expected.size()));
    EXPECT_DOUBLE_EQ(reader.length_seconds(), 1.3);

    Collector<PCMData> collector;
    reader.connect(&collector);
    EXPECT_TRUE(reader.pump(reader.length()));
    EXPECT_TRUE(reader.is_eof());
    EXPECT_EQ(collector.bytes, expected);
    for (const PCMData& block : collector.blocks) {
        EXPECT_EQ(block.channels, format.channels);
        EXPECT_EQ(block.bits, format.bits);
        EXPECT_EQ(block.length() % block.bytes_per_frame(), 0);
    }
    EXPECT_FALSE(reader.pump(1000)) << "nothing is left";
}

INSTANTIATE_TEST_SUITE_P(SoxMade, WAVReaderFormats,
                         testing::Values(SoxFormat{1, 8}, SoxFormat{2, 8}, SoxFormat{1, 16}, SoxFormat{2, 16}));

// The fmt contents of WAVE_FORMAT_EXTENSIBLE at 44100 Hz, with a sub-format tag.
std::string extensible_fmt(int channels, int bits, uint32_t mask, int sub_format)
{
    const std::string guid_tail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    return fmt_fields(65534, channels, 44100, bits) + le16(22) + le16(bits) + le32(mask) + le16(sub_format) +
           guid_tail;
}

struct WideFormat {
    const char* name;
    const char* sox;  // sox's output options
    int format_tag;   // what sox writes for them
    int channels;
};

void PrintTo(const WideFormat& format, std::ostream* out) { *out << format.name; }

class WAVReaderWideFormats : public testing::TestWithParam<WideFormat> {};

// Wider samples, floating point and more channels arrive as 16-bit PCM, the same
// samples as sox's own conversion gives, give or take its rounding.
TEST_P(WAVReaderWideFormats, DeliverSixteenBitPCM)
{
    const WideFormat& format = GetParam();
    const auto folder = scratch_folder();
    const auto wav = make_sine(folder / "wide.wav", std::string("-r 22050 ") + format.sox, 0.7, 0.9);
    const int out_channels = std::min(format.channels, 2);
    const std::string remix = format.channels > 2 ? " remix 1v0.5,3v0.5 2v0.5,4v0.5" : "";
    run("sox -D " + quoted(wav) + " -b 16 -e signed -t raw " + quoted(folder / "wide.raw") + remix);
    const std::vector<int16_t> expected = samples_of(read_bytes(folder / "wide.raw"));

    FileReaderWAVPCM reader(wide(wav));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.wav_info().format_tag, format.format_tag);
    EXPECT_EQ(reader.channels(), out_channels);
    EXPECT_EQ(reader.bits_per_sample(), 16);
    EXPECT_NEAR(reader.length_seconds(), 0.7, 1e-4);
    Collector<PCMData> collector;
    reader.connect(&collector);
    EXPECT_TRUE(reader.pump(reader.length()));
    for (const PCMData& block : collector.blocks) {
        EXPECT_EQ(block.channels, out_channels);
        EXPECT_EQ(block.bits, 16);
    }
    const std::vector<int16_t> samples = samples_of(collector.bytes);
    ASSERT_EQ(samples.size(), expected.size());
    int worst = 0;
    for (size_t i = 0; i < samples.size(); ++i)
        worst = std::max(worst, std::abs(samples[i] - expected[i]));
    EXPECT_LE(worst, format.channels > 2 ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    SoxMade, WAVReaderWideFormats,
    testing::Values(WideFormat{"int24_extensible", "-c 2 -b 24", 65534, 2},
                    WideFormat{"int24_plain", "-c 2 -b 24 -t wavpcm", 1, 2},
                    WideFormat{"int24_mono", "-c 1 -b 24 -t wavpcm", 1, 1},
                    WideFormat{"int32_extensible", "-c 2 -b 32 -e signed", 65534, 2},
                    WideFormat{"int32_plain", "-c 2 -b 32 -e signed -t wavpcm", 1, 2},
                    WideFormat{"float32", "-c 2 -b 32 -e floating-point", 3, 2},
                    WideFormat{"float64", "-c 1 -b 64 -e floating-point", 3, 1},
                    WideFormat{"quad_16bit_extensible", "-c 4 -b 16", 65534, 4}),
    [](const auto& info) { return std::string(info.param.name); });

struct MixCase {
    const char* name;
    uint32_t mask; // 0: a plain fmt chunk
    std::vector<int16_t> frame;
    int16_t left, right;
};

void PrintTo(const MixCase& mix, std::ostream* out) { *out << mix.name; }

class WAVReaderMixDown : public testing::TestWithParam<MixCase> {};

// Each stereo side is the average of its speakers; the centre speakers go to both.
TEST_P(WAVReaderMixDown, MixesBySpeakerPosition)
{
    const MixCase& c = GetParam();
    const int channels = int(c.frame.size());
    std::string frames;
    for (int repeat = 0; repeat < 3; ++repeat)
        for (int16_t sample : c.frame)
            frames += le16(uint16_t(sample));
    const std::string fmt = c.mask ? extensible_fmt(channels, 16, c.mask, 1) : fmt_fields(1, channels, 44100, 16);
    const auto path = scratch_folder() / "mix.wav";
    write_bytes(path, riff(chunk("fmt ", fmt) + chunk("data", frames)));
    FileReaderWAVPCM reader(wide(path));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.channels(), 2);
    const PCMData block = reader.read(100);
    EXPECT_EQ(block.channels, 2);
    EXPECT_EQ(samples_of(std::string(reinterpret_cast<const char*>(block.data()), size_t(block.length()))),
              (std::vector<int16_t>{c.left, c.right, c.left, c.right, c.left, c.right}));
}

INSTANTIATE_TEST_SUITE_P(
    Written, WAVReaderMixDown,
    testing::Values(
        // front left, front right, centre, bass, back left, back right
        MixCase{"surround_5_1", 0x3F, {1000, 2000, 3000, 4000, 5000, 6000}, 3250, 3750},
        MixCase{"no_mask_takes_the_usual_order", 0, {1000, 2000, 3000, 4000, 5000, 6000}, 3250, 3750},
        MixCase{"quad", 0x33, {-1000, 2000, 3000, -4000}, 1000, -1000},
        MixCase{"full_scale_does_not_wrap", 0x3F, {32767, 32767, 32767, 32767, 32767, 32767}, 32767, 32767},
        MixCase{"no_side_speakers", 0x4 | 0x8 | 0x100, {300, 600, 900}, 600, 600},
        MixCase{"left_speakers_only", 0x1 | 0x10 | 0x200, {100, 200, 300}, 200, 200},
        MixCase{"more_channels_than_speakers", 0x3, {1000, 2000, 3000}, 2000, 2500}),
    [](const auto& info) { return std::string(info.param.name); });

// Floating-point samples beyond full scale are clipped, not wrapped.
TEST(WAVReader, FloatingPointIsClippedToFullScale)
{
    const float values[] = {2.0f, -2.0f, 0.5f, -0.5f};
    std::string frames(sizeof values, '\0');
    std::memcpy(frames.data(), values, sizeof values);
    const auto path = scratch_folder() / "float.wav";
    write_bytes(path, riff(chunk("fmt ", fmt_fields(3, 1, 44100, 32)) + chunk("data", frames)));
    FileReaderWAVPCM reader(wide(path));
    const PCMData block = reader.read(10);
    EXPECT_EQ(samples_of(std::string(reinterpret_cast<const char*>(block.data()), size_t(block.length()))),
              (std::vector<int16_t>{32767, -32768, 16384, -16384}));
}

struct HeaderCase {
    const char* name;
    std::string bytes;
    bool opens;
};

void PrintTo(const HeaderCase& header, std::ostream* out) { *out << header.name; }

// Four stereo 16-bit frames.
const std::string data16 = std::string("\x01\x00\x02\x00\x03\x00\x04\x00\x05\x00\x06\x00\x07\x00\x08\x00", 16);
const std::string fmt16 = chunk("fmt ", fmt_fields(1, 2, 44100, 16));

std::vector<HeaderCase> header_cases()
{
    return {
        {"plain", riff(fmt16 + chunk("data", data16)), true},
        {"list_chunk_before_data", riff(fmt16 + chunk("LIST", "INFOISFT" + le32(4) + "sox!") + chunk("data", data16)),
         true},
        {"odd_chunk_with_pad_byte", riff(fmt16 + chunk("note", "odd") + chunk("data", data16)), true},
        {"fmt_of_18_bytes", riff(chunk("fmt ", fmt_fields(1, 2, 44100, 16) + le16(0)) + chunk("data", data16)), true},
        {"fmt_of_40_bytes_pcm", riff(chunk("fmt ", fmt_fields(1, 2, 44100, 16) + le16(22) + std::string(22, '\0')) +
                                     chunk("data", data16)),
         true},
        {"data_size_zero_is_the_rest_of_the_file", riff(fmt16 + "data" + le32(0) + data16), true},
        {"extensible_pcm", riff(chunk("fmt ", extensible_fmt(2, 16, 0x3, 1)) + chunk("data", data16)), true},
        {"float_of_16_bits", riff(chunk("fmt ", fmt_fields(3, 2, 44100, 16)) + chunk("data", data16)), false},
        {"extensible_of_another_sub_format",
         riff(chunk("fmt ", fmt_fields(65534, 2, 44100, 16) + le16(22) + std::string(22, '\0')) +
              chunk("data", data16)),
         false},
        {"extensible_in_a_short_fmt", riff(chunk("fmt ", extensible_fmt(2, 16, 0x3, 1).substr(0, 30)) +
                                           chunk("data", data16)),
         false},
        {"list_chunk_before_fmt", riff(chunk("LIST", "INFO") + fmt16 + chunk("data", data16)), false},
        {"no_data_chunk", riff(fmt16), false},
        {"fmt_shorter_than_its_fields", riff(chunk("fmt ", fmt_fields(1, 2, 44100, 16).substr(0, 12)) + chunk("data", data16)),
         false},
        {"inconsistent_block_align",
         riff(chunk("fmt ", le16(1) + le16(2) + le32(44100) + le32(44100) + le16(1) + le16(16)) + chunk("data", data16)),
         false},
        {"zero_channels", riff(chunk("fmt ", fmt_fields(1, 0, 44100, 16)) + chunk("data", data16)), false},
        {"not_riff", "RIFX" + riff(fmt16 + chunk("data", data16)).substr(4), false},
        {"cut_in_the_header", riff(fmt16 + chunk("data", data16)).substr(0, 30), false},
        {"empty", "", false},
    };
}

class WAVReaderHeaders : public testing::TestWithParam<HeaderCase> {};

TEST_P(WAVReaderHeaders, RecognisesOnlyWellFormedPCM)
{
    const HeaderCase& header = GetParam();
    const auto path = scratch_folder() / "case.wav";
    write_bytes(path, header.bytes);
    FileReaderWAVPCM reader(wide(path));
    EXPECT_EQ(reader.is_open(), header.opens);
    Collector<PCMData> collector;
    reader.connect(&collector);
    EXPECT_EQ(reader.pump(1 << 20), false) << "pump reports the data running out";
    EXPECT_EQ(collector.bytes, header.opens ? data16 : "");
    EXPECT_TRUE(reader.is_eof());
}

INSTANTIATE_TEST_SUITE_P(Written, WAVReaderHeaders, testing::ValuesIn(header_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WAVReader, MissingFilesAndFoldersAreNotOpen)
{
    const auto folder = scratch_folder();
    for (const auto& path : {folder / "missing.wav", folder}) {
        FileReaderWAVPCM reader(wide(path));
        EXPECT_FALSE(reader.is_open());
        EXPECT_TRUE(reader.is_eof());
        EXPECT_TRUE(reader.read(100).empty());
        EXPECT_FALSE(reader.pump(100));
    }
}

// A header that claims more data than the file holds: the reader stops at the real end.
TEST(WAVReader, ReadsAreBoundedByTheRealFileSize)
{
    const auto path = scratch_folder() / "truncated.wav";
    const std::string bytes = riff(fmt16 + "data" + le32(0x7FFFFFF0) + data16 + "\x09\x00");
    write_bytes(path, bytes);
    FileReaderWAVPCM reader(wide(path));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.length(), int(data16.size())) << "whole frames that are really there";
    EXPECT_EQ(reader.read(5000).length(), int(data16.size()));
    EXPECT_TRUE(reader.read(5000).empty());
    EXPECT_TRUE(reader.is_eof());
}

TEST(WAVReader, SeeksAndReadsOnWholeFrames)
{
    const auto path = scratch_folder() / "frames.wav";
    write_bytes(path, riff(fmt16 + chunk("data", std::string(4000, '\x11'))));
    FileReaderWAVPCM reader(wide(path));
    ASSERT_TRUE(reader.is_open());

    reader.seek(1001);
    EXPECT_EQ(reader.position(), 1000);
    reader.seek(-5);
    EXPECT_EQ(reader.position(), 0);
    reader.seek(100000);
    EXPECT_EQ(reader.position(), 4000);
    EXPECT_TRUE(reader.is_eof());

    reader.seek(4000 - 12);
    EXPECT_EQ(reader.read(5000).length(), 12);

    reader.seek(0);
    Collector<PCMData> collector;
    reader.connect(&collector);
    EXPECT_TRUE(reader.pump(3)) << "less than one frame asks for nothing";
    EXPECT_TRUE(collector.blocks.empty());
    EXPECT_EQ(reader.position(), 0);
}

TEST(WAVReader, ConvertsBetweenSecondsAndDataBytes)
{
    const auto path = scratch_folder() / "units.wav";
    write_bytes(path, riff(fmt16 + chunk("data", data16)));
    FileReaderWAVPCM reader(wide(path));
    EXPECT_DOUBLE_EQ(reader.position_to_seconds(44100 * 4), 1.0);
    EXPECT_EQ(reader.seconds_to_position(1.0), 44100 * 4);
    EXPECT_EQ(reader.seconds_to_position(0.5 / 44100), 0) << "truncates to whole frames";
    EXPECT_EQ(reader.seconds_to_position(1e12), 2147483644) << "saturates on a whole frame";
    EXPECT_EQ(reader.seconds_to_position(-1e12), -2147483644);
}

TEST(PlayChainDispatch, RecognisesWAVByItsContentsNotItsName)
{
    const auto path = make_sine(scratch_folder() / "really_a_wav.mp3", "-r 8000 -c 1 -b 16 -t wav", 0.2);
    const auto chain = audio::open_play_chain(wide(path));
    ASSERT_TRUE(chain);
    EXPECT_EQ(chain->codec_name(), u"PCM");
    EXPECT_EQ(chain->title(), u"really_a_wav.mp3");
    EXPECT_EQ(chain->pcm_provider(), dynamic_cast<audio::Provider<PCMData>*>(chain->file_reader()));
}

} // namespace
