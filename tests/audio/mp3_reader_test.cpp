#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio/decoder_mp3.h"
#include "audio/file_reader_mp3.h"
#include "audio/mp3_header.h"
#include "audio/play_chain.h"
#include "tests/audio/fixtures.h"

using audio::FileReaderMP3;
using audio::MP3Data;
using audio::MP3Header;
using audio::PCMData;
using namespace fixtures;

namespace {

struct HeaderCase {
    const char* name;
    uint8_t bytes[4];
    bool valid;
    MP3Header expected;
};

void PrintTo(const HeaderCase& header, std::ostream* out) { *out << header.name; }

class MP3HeaderParse : public testing::TestWithParam<HeaderCase> {};

TEST_P(MP3HeaderParse, ReadsTheFrameLayout)
{
    const HeaderCase& header = GetParam();
    MP3Header parsed;
    ASSERT_EQ(audio::parse_mp3_header(header.bytes, parsed), header.valid);
    if (!header.valid)
        return;
    const MP3Header& e = header.expected;
    EXPECT_EQ(parsed.version, e.version);
    EXPECT_EQ(parsed.layer, e.layer);
    EXPECT_EQ(parsed.channels, e.channels);
    EXPECT_EQ(parsed.sample_rate, e.sample_rate);
    EXPECT_EQ(parsed.bit_rate, e.bit_rate);
    EXPECT_EQ(parsed.frame_length, e.frame_length);
    EXPECT_EQ(parsed.samples_per_frame, e.samples_per_frame);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, MP3HeaderParse,
    testing::Values(HeaderCase{"mpeg1_layer3_128k_44100", {0xFF, 0xFB, 0x90, 0x00}, true, {1, 3, 2, 44100, 128, 417, 1152}},
                    HeaderCase{"padded", {0xFF, 0xFB, 0x92, 0x00}, true, {1, 3, 2, 44100, 128, 418, 1152}},
                    HeaderCase{"mono", {0xFF, 0xFB, 0x90, 0xC0}, true, {1, 3, 1, 44100, 128, 417, 1152}},
                    HeaderCase{"mpeg2_layer2_64k_24000", {0xFF, 0xF5, 0x84, 0x00}, true, {2, 2, 2, 24000, 64, 384, 1152}},
                    HeaderCase{"mpeg2_layer2_padded", {0xFF, 0xF5, 0x86, 0x00}, true, {2, 2, 2, 24000, 64, 385, 1152}},
                    HeaderCase{"mpeg2_layer3_64k_22050", {0xFF, 0xF3, 0x80, 0x00}, true, {2, 3, 2, 22050, 64, 208, 576}},
                    HeaderCase{"mpeg25_layer3_32k_12000", {0xFF, 0xE3, 0x44, 0x00}, true, {3, 3, 2, 12000, 32, 192, 576}},
                    HeaderCase{"mpeg1_layer1_448k_32000", {0xFF, 0xFF, 0xE8, 0x00}, true, {1, 1, 2, 32000, 448, 672, 384}},
                    HeaderCase{"longest_frame", {0xFF, 0xE5, 0xEA, 0x00}, true, {3, 2, 2, 8000, 160, 2881, 1152}},
                    HeaderCase{"free_format", {0xFF, 0xFB, 0x00, 0x00}, false, {}},
                    HeaderCase{"bad_bit_rate", {0xFF, 0xFB, 0xF0, 0x00}, false, {}},
                    HeaderCase{"bad_sample_rate", {0xFF, 0xFB, 0x9C, 0x00}, false, {}},
                    HeaderCase{"reserved_layer", {0xFF, 0xF9, 0x90, 0x00}, false, {}},
                    HeaderCase{"short_sync", {0xFF, 0xDB, 0x90, 0x00}, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// An MP3 stream of `count` frames of digital silence with the given 4-byte header.
std::string silent_frames(int count, const std::string& header = std::string("\xFF\xFB\x90\x00", 4))
{
    MP3Header parsed;
    audio::parse_mp3_header(reinterpret_cast<const uint8_t*>(header.data()), parsed);
    std::string frame = header + std::string(size_t(parsed.frame_length - 4), '\0');
    std::string frames;
    for (int i = 0; i < count; ++i)
        frames += frame;
    return frames;
}

TEST(MP3Reader, NeedsTwoMatchingFramesInARow)
{
    const auto folder = scratch_folder();
    struct Case {
        const char* name;
        std::string bytes;
        bool opens;
    };
    const Case cases[] = {
        {"one frame", silent_frames(1), false},
        {"two frames", silent_frames(2), true},
        {"sync-like garbage, then two frames", std::string(3000, '\xFF') + silent_frames(2), true},
        {"a frame, then a different layout", silent_frames(1) + silent_frames(1, std::string("\xFF\xFB\x90\xC0", 4)) + "xx", false},
        {"sync-like garbage", std::string(5000, '\xFF'), false},
        {"text", std::string(20000, 'a'), false},
    };
    for (const Case& c : cases) {
        write_bytes(folder / "case.mp3", c.bytes);
        FileReaderMP3 reader(wide(folder / "case.mp3"));
        EXPECT_EQ(reader.is_open(), c.opens) << c.name;
    }
}

TEST(MP3Reader, EmptyFileOpensWithoutFormat)
{
    const auto path = scratch_folder() / "empty.mp3";
    write_bytes(path, "");
    const auto chain = audio::open_play_chain(wide(path));
    ASSERT_TRUE(chain);
    EXPECT_EQ(chain->codec_name(), u"mp3");
    audio::FileReader& reader = *chain->file_reader();
    EXPECT_EQ(reader.length(), 0);
    EXPECT_TRUE(reader.is_eof());
    EXPECT_EQ(reader.channels(), 0);
    EXPECT_EQ(reader.sample_rate(), 0);
    EXPECT_EQ(reader.bit_rate(), 0);
    EXPECT_EQ(reader.position_to_seconds(1000), 0.0);
}

TEST(MP3Reader, MissingFilesAndFoldersOpenNothing)
{
    const auto folder = scratch_folder();
    EXPECT_FALSE(audio::open_play_chain(wide(folder / "missing.mp3")));
    EXPECT_FALSE(audio::open_play_chain(wide(folder)));
}

TEST(MP3Reader, CBRFileWithTagsOpensAtItsFirstFrames)
{
    const auto path = make_mp3(scratch_folder() / "tagged.mp3", "-r 44100 -c 2 -b 16", 2.0,
                               "-b 128 --cbr --add-id3v2 --pad-id3v2-size 3000 --tt Tagged");
    FileReaderMP3 reader(wide(path));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.bit_rate(), 128000);
    EXPECT_EQ(reader.channels(), 2);
    EXPECT_EQ(reader.sample_rate(), 44100);
    EXPECT_EQ(reader.bits_per_sample(), 16);
    EXPECT_EQ(reader.seconds_to_position(1.0), 16000);
    EXPECT_DOUBLE_EQ(reader.position_to_seconds(16000), 1.0);
    EXPECT_EQ(reader.length(), int(std::filesystem::file_size(path)));

    Collector<MP3Data> frames;
    reader.connect(&frames);
    while (reader.pump(5000)) {
    }
    ASSERT_GT(frames.blocks.size(), 70u);
    for (const MP3Data& frame : frames.blocks)
        EXPECT_TRUE(frame.frame_length == 417 || frame.frame_length == 418) << frame.frame_length;
    EXPECT_TRUE(reader.is_eof());
}

TEST(MP3Reader, SeekLandsOnTheNextFrame)
{
    const auto path = scratch_folder() / "frames.mp3";
    write_bytes(path, silent_frames(10));
    FileReaderMP3 reader(wide(path));
    ASSERT_TRUE(reader.is_open());
    reader.seek(1000);
    EXPECT_EQ(reader.position(), 1000);
    Collector<MP3Data> frames;
    reader.connect(&frames);
    EXPECT_TRUE(reader.pump(1));
    ASSERT_EQ(frames.blocks.size(), 1u);
    EXPECT_EQ(reader.position(), 4 * 417) << "the frame found after byte 1000 was read whole";
    reader.seek(-7);
    EXPECT_EQ(reader.position(), 0);
    reader.seek(1 << 30);
    EXPECT_TRUE(reader.is_eof());
    EXPECT_FALSE(reader.pump(1));
}

TEST(MP3Reader, VBRDurationIsEstimatedFromTheFirstFrame)
{
    const auto path = make_mp3(scratch_folder() / "vbr.mp3", "-r 44100 -c 2 -b 16", 2.0, "-V 4 -t");
    const auto chain = audio::open_play_chain(wide(path));
    ASSERT_TRUE(chain);
    audio::FileReader& reader = *chain->file_reader();
    EXPECT_DOUBLE_EQ(reader.length_seconds(), std::filesystem::file_size(path) * 8.0 / reader.bit_rate());
    EXPECT_NEAR(decode_all(path).seconds(), 2.0, 0.1) << "every frame decodes, whatever its bit rate";
}

// Our decoding of a sine agrees with mpg123's decoding of the same file.
TEST(MP3Decoder, AgreesWithMpg123)
{
    struct Case {
        const char* name;
        const char* sine;
        const char* lame;
    };
    const Case cases[] = {
        {"mpeg1_stereo", "-r 44100 -c 2 -b 16", "-b 128 --cbr -t"},
        {"mpeg2_mono", "-r 22050 -c 1 -b 16", "-b 64 --cbr -m m -t"},
    };
    const auto folder = scratch_folder();
    for (const Case& c : cases) {
        const auto path = make_mp3(folder / (std::string(c.name) + ".mp3"), c.sine, 1.5, c.lame);
        run("mpg123 -q --no-gapless -e s16 -O " + quoted(folder / "reference.raw") + " " + quoted(path));
        const std::vector<int16_t> reference = samples_of(read_bytes(folder / "reference.raw"));
        const Decoded decoded = decode_all(path);
        const std::vector<int16_t> ours = decoded.samples();

        ASSERT_EQ(ours.size(), reference.size()) << c.name;
        int worst = 0;
        for (size_t i = 0; i < ours.size(); ++i)
            worst = std::max(worst, std::abs(ours[i] - reference[i]));
        EXPECT_LE(worst, 2) << c.name;
        EXPECT_GT(*std::max_element(ours.begin(), ours.end()), 12000) << c.name << ": the sine is there";
    }
}

TEST(MP3Decoder, PullsAsManyFramesAsACallerAsks)
{
    const auto path = make_mp3(scratch_folder() / "pull.mp3", "-r 44100 -c 1 -b 16", 1.0, "-b 64 -t");
    const auto chain = audio::open_play_chain(wide(path));
    ASSERT_TRUE(chain);
    Collector<PCMData> consumer;
    chain->pcm_provider()->connect(&consumer);
    std::string pulled;
    for (PCMData block = consumer.pull(1000); !block.empty(); block = consumer.pull(1000)) {
        EXPECT_LE(block.frames(), 1000);
        EXPECT_EQ(block.channels, 1);
        pulled.append(reinterpret_cast<const char*>(block.data()), size_t(block.length()));
    }
    EXPECT_EQ(pulled, decode_all(path).bytes) << "pull and push give the same sound";
}

TEST(MP3Decoder, RefusesRatesOutsideItsList)
{
    const auto path = make_mp3(scratch_folder() / "low.mp3", "-r 12000 -c 1 -b 16", 1.0, "-b 32 --resample 12 -t");
    const auto chain = audio::open_play_chain(wide(path));
    ASSERT_TRUE(chain);
    ASSERT_EQ(chain->file_reader()->sample_rate(), 12000);
    EXPECT_TRUE(decode_all(path).bytes.empty());
}

} // namespace
