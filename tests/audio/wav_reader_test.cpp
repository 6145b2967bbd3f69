#include <gtest/gtest.h>

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
        {"float_samples", riff(chunk("fmt ", fmt_fields(3, 2, 44100, 32)) + chunk("data", data16)), false},
        {"extensible", riff(chunk("fmt ", fmt_fields(65534, 2, 44100, 16) + le16(22) + std::string(22, '\0')) +
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
