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
    EXPECT_EQ(reader.bit_rate(), 128000) << "a CBR file's average is its rate";
    EXPECT_EQ(reader.channels(), 2);
    EXPECT_EQ(reader.sample_rate(), 44100);
    EXPECT_EQ(reader.bits_per_sample(), 16);
    EXPECT_NEAR(reader.length_seconds(), 2.0, 0.03);
    EXPECT_GT(reader.position(), 3000) << "reading starts after the tag and the information frame";
    // The first frame's sound begins 1105 samples early: the second frame starts nearer.
    EXPECT_NEAR(reader.seconds_to_position(0) - reader.position(), 417, 1);
    // Frame 39 holds the second: the encoder's and the decoder's delays come first.
    EXPECT_NEAR(reader.seconds_to_position(1.0) - reader.position(), 39 * 417.96, 1);
    EXPECT_LE(reader.length(), int(std::filesystem::file_size(path)));

    Collector<MP3Data> frames;
    reader.connect(&frames);
    while (reader.pump(5000)) {
    }
    ASSERT_GT(frames.blocks.size(), 70u);
    for (const MP3Data& frame : frames.blocks)
        EXPECT_TRUE(frame.frame_length == 417 || frame.frame_length == 418) << frame.frame_length;
    EXPECT_TRUE(reader.is_eof());
}

TEST(MP3Reader, SeekWarmsTheDecoderUpWithTheFramesBefore)
{
    const auto path = scratch_folder() / "frames.mp3";
    write_bytes(path, silent_frames(20));
    FileReaderMP3 reader(wide(path));
    ASSERT_TRUE(reader.is_open());
    reader.seek(5000);
    EXPECT_EQ(reader.position(), 5000);
    Collector<MP3Data> frames;
    reader.connect(&frames);
    EXPECT_TRUE(reader.pump(1));
    EXPECT_EQ(reader.position(), 12 * 417) << "the frame holding byte 5000 ends there";
    EXPECT_TRUE(reader.pump(1));
    EXPECT_EQ(reader.position(), 13 * 417);
    // Frame 12, the first after byte 5000, is heard; 2048 bytes before it are read.
    ASSERT_EQ(frames.blocks.size(), 13u - 7u);
    for (size_t i = 0; i < frames.blocks.size(); ++i)
        EXPECT_EQ(frames.blocks[i].warm_up, i + 1 < frames.blocks.size()) << i;

    reader.seek(-7);
    EXPECT_EQ(reader.position(), 0);
    reader.seek(1 << 30);
    EXPECT_TRUE(reader.is_eof());
    EXPECT_FALSE(reader.pump(1));
}

// The same VBR stream timed from its information frame and from a scan of its frames.
TEST(MP3Reader, VBRTimesComeFromTheInformationFrameOrTheFrames)
{
    const auto folder = scratch_folder();
    const auto with_header = make_mp3(folder / "xing.mp3", "-r 44100 -c 2 -b 16", 20.0, "-V 2");
    const auto without = make_mp3(folder / "plain.mp3", "-r 44100 -c 2 -b 16", 20.0, "-V 2 -t");
    FileReaderMP3 xing(wide(with_header));
    FileReaderMP3 plain(wide(without));
    ASSERT_TRUE(xing.is_open());
    ASSERT_TRUE(plain.is_open());
    EXPECT_NEAR(xing.length_seconds(), 20.0, 0.03);
    EXPECT_NEAR(plain.length_seconds(), 20.0, 0.03);
    const double bytes = double(std::filesystem::file_size(without));
    EXPECT_NEAR(plain.bit_rate(), bytes * 8 / 20.0, bytes * 8 / 20.0 * 0.01) << "the average, not the first frame's";
    EXPECT_NEAR(xing.bit_rate(), plain.bit_rate(), plain.bit_rate() * 0.02);
    for (double seconds : {0.0, 5.0, 12.5, 19.0}) {
        const int frame = int(std::lround((seconds * 44100 + 1105) / 1152));
        EXPECT_NEAR(plain.position_to_seconds(plain.seconds_to_position(seconds)),
                    std::max(0.0, (frame * 1152 - 1105) / 44100.0), 1e-9);
        EXPECT_NEAR(xing.position_to_seconds(xing.seconds_to_position(seconds)), seconds, 1152 / 44100.0);
    }
}

// An MPEG-1 layer I stream of silent frames at 48 kHz, 384 kbit/s: 384 bytes and 384
// samples each.
std::string layer1_stream(int frames) { return silent_frames(frames, std::string("\xFF\xFF\xC4\x00", 4)); }

TEST(MP3Reader, EveryFrameIsFoundPastJunkAndTimedByItsSamples)
{
    const auto path = scratch_folder() / "layer1.mp3";
    // Junk inside the stream is skipped; it takes no time.
    write_bytes(path, std::string(777, '\xFF') + layer1_stream(100) + std::string(555, 'x') + layer1_stream(150) +
                          "TAG" + std::string(125, ' '));
    FileReaderMP3 reader(wide(path));
    ASSERT_TRUE(reader.is_open());
    const int delay = 481;
    EXPECT_DOUBLE_EQ(reader.length_seconds(), (250 * 384 - delay) / 48000.0);
    EXPECT_EQ(reader.bit_rate(), 386000) << "the bytes of two seconds of frames, junk included";
    EXPECT_EQ(reader.seconds_to_position(0), 777 + 384) << "frame 0 holds the filter banks' delay";
    EXPECT_EQ(reader.seconds_to_position(1.0), 777 + 126 * 384 + 555) << "frame 126 starts nearest to the second";
    EXPECT_EQ(reader.seconds_to_position(99), reader.length());
    EXPECT_EQ(reader.length(), 777 + 250 * 384 + 555);
    EXPECT_DOUBLE_EQ(reader.position_to_seconds(777 + 10 * 384), (10 * 384 - delay) / 48000.0);
}

std::string be32(uint32_t value)
{
    return {char(value >> 24), char(value >> 16 & 0xFF), char(value >> 8 & 0xFF), char(value & 0xFF)};
}

// Frames of 417 bytes behind a VBRI frame that claims `claimed` frames of `stream` bytes.
std::string vbri_stream(int frames, uint32_t claimed, uint32_t stream)
{
    std::string header = silent_frames(1);
    const std::string fields = "VBRI" + std::string("\0\1\0\0\0\0", 6) + be32(stream) + be32(claimed);
    header.replace(36, fields.size(), fields);
    return header + silent_frames(frames);
}

TEST(MP3Reader, VBRIHeaderGivesTheLength)
{
    const auto folder = scratch_folder();
    write_bytes(folder / "vbri.mp3", vbri_stream(200, 190, 191 * 417));
    FileReaderMP3 reader(wide(folder / "vbri.mp3"));
    ASSERT_TRUE(reader.is_open());
    EXPECT_DOUBLE_EQ(reader.length_seconds(), (190 * 1152 - 1105) / 44100.0) << "as the header says";
    EXPECT_EQ(reader.position(), 417) << "the VBRI frame is not sound";
    EXPECT_EQ(reader.seconds_to_position(1.0), 417 + 39 * 417);

    // Totals beyond the end of the file are not believed: the frames are counted.
    write_bytes(folder / "lying.mp3", vbri_stream(200, 90000, 90000 * 417));
    FileReaderMP3 lying(wide(folder / "lying.mp3"));
    ASSERT_TRUE(lying.is_open());
    EXPECT_DOUBLE_EQ(lying.length_seconds(), (201 * 1152 - 1105) / 44100.0);
    write_bytes(folder / "too_many.mp3", vbri_stream(200, 90000, 201 * 417));
    FileReaderMP3 too_many(wide(folder / "too_many.mp3"));
    EXPECT_DOUBLE_EQ(too_many.length_seconds(), (201 * 1152 - 1105) / 44100.0) << "90000 frames do not fit";
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
