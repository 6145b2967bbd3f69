#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "audio/encoder_mp3.h"
#include "audio/file_writer_mp3.h"
#include "audio/mp3_header.h"
#include "tests/audio/fixtures.h"

using audio::EncoderMP3;
using audio::FileWriterMP3;
using audio::MP3Data;
using audio::PCMData;
using namespace fixtures;

namespace {

// Mono 16-bit PCM: a sine at half scale, or silence.
PCMData mono16(int frames, int rate, double amplitude = 16384, double phase = 0)
{
    liba::ByteBlock bytes(frames * 2);
    uint8_t* out = bytes.writable();
    for (int i = 0; i < frames; ++i) {
        const auto value = int16_t(std::lround(amplitude * std::sin(phase + i * 2 * M_PI * 440 / rate)));
        out[2 * i] = uint8_t(value & 0xFF);
        out[2 * i + 1] = uint8_t((value >> 8) & 0xFF);
    }
    return PCMData(bytes, 1, 16, rate);
}

std::string encode(const std::vector<PCMData>& blocks, int bit_rate = 64000)
{
    EncoderMP3 encoder(bit_rate);
    Collector<MP3Data> out;
    encoder.connect(&out);
    for (const PCMData& block : blocks)
        encoder.on_data(block);
    encoder.finish();
    return out.bytes;
}

TEST(EncoderMP3, HowTheInputIsCutIntoBlocksDoesNotMatter)
{
    const PCMData sound = mono16(44100, 44100);
    std::vector<PCMData> small;
    for (int at = 0; at < sound.length(); at += 100)
        small.emplace_back(sound.sub(at, std::min(100, sound.length() - at)), 1, 16, 44100);
    const std::string whole = encode({sound});
    EXPECT_FALSE(whole.empty());
    EXPECT_EQ(encode(small), whole);
}

TEST(EncoderMP3, WritesBareFramesAtTheTargetBitRate)
{
    const auto path = scratch_folder() / "bare.mp3";
    write_bytes(path, encode({mono16(44100, 44100)}, 32000));
    const std::string bytes = read_bytes(path);
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(uint8_t(bytes[0]), 0xFF) << "no ID3 tag before the first frame";
    const auto chain = audio::open_play_chain(wide(path));
    ASSERT_TRUE(chain);
    EXPECT_EQ(chain->file_reader()->bit_rate(), 32000) << "no information frame at another rate";
    EXPECT_EQ(chain->file_reader()->channels(), 1);
}

// The sound after the last whole encoder frame is still encoded, so a ring tone ends
// where it was cut: silence, then a loud tail shorter than one frame.
TEST(EncoderMP3, EncodesTheLastPartialFrame)
{
    const auto path = scratch_folder() / "tail.mp3";
    const PCMData silence = mono16(3 * 1152, 44100, 0);
    const PCMData tail = mono16(700, 44100, 30000);
    write_bytes(path, encode({silence, tail}));
    const std::vector<int16_t> decoded = decode_all(path).samples();
    ASSERT_FALSE(decoded.empty());
    int loudest = 0;
    for (int16_t sample : decoded)
        loudest = std::max(loudest, std::abs(int(sample)));
    EXPECT_GT(loudest, 15000);
}

TEST(EncoderMP3, FormatChangeStartsANewStream)
{
    const std::string bytes = encode({mono16(44100, 44100), mono16(22050, 22050)});
    std::set<int> rates;
    audio::MP3Header header;
    for (size_t at = 0; at + 4 <= bytes.size() && audio::parse_mp3_header(reinterpret_cast<const uint8_t*>(&bytes[at]), header);
         at += size_t(header.frame_length))
        rates.insert(header.sample_rate);
    EXPECT_EQ(rates, (std::set<int>{44100, 22050})) << "frames of both streams, back to back";
}

TEST(EncoderMP3, IgnoresBlocksItCannotEncode)
{
    const PCMData mono = mono16(4000, 44100);
    const PCMData cases[] = {
        PCMData(mono, 3, 16, 44100),
        PCMData(mono, 1, 24, 44100),
        PCMData(mono, 1, 16, 0),
        PCMData(mono, 0, 16, 44100),
        PCMData(),
    };
    for (const PCMData& block : cases)
        EXPECT_EQ(encode({block}), "") << block.channels << " channels, " << block.bits << " bits";
}

MP3Data frame_of(const std::string& bytes) { return MP3Data(liba::ByteBlock(int(bytes.size()), bytes.data()), int(bytes.size())); }

TEST(FileWriterMP3, WritesBlocksInOrderAroundItsBuffer)
{
    const auto path = scratch_folder() / "order.mp3";
    const std::string first(1000, 'a'), big(130000, 'b'), last(500, 'c');
    {
        FileWriterMP3 writer(wide(path), false);
        ASSERT_TRUE(writer.is_ok());
        for (const std::string* bytes : {&first, &big, &last})
            writer.on_data(frame_of(*bytes));
        EXPECT_EQ(writer.size(), int(first.size() + big.size() + last.size()));
        EXPECT_TRUE(writer.finish());
    }
    EXPECT_EQ(read_bytes(path), first + big + last);
}

TEST(FileWriterMP3, AppendsAfterWhatTheFileHeld)
{
    const auto path = scratch_folder() / "append.mp3";
    write_bytes(path, "before");
    FileWriterMP3 writer(wide(path), true);
    EXPECT_EQ(writer.size(), 6);
    writer.on_data(frame_of("after"));
    EXPECT_TRUE(writer.finish());
    EXPECT_EQ(read_bytes(path), "beforeafter");
}

TEST(FileWriterMP3, LeavesNoFileWhenNothingWasWritten)
{
    const auto folder = scratch_folder();
    {
        FileWriterMP3 writer(wide(folder / "empty.mp3"), false);
        EXPECT_TRUE(writer.is_ok());
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "empty.mp3"));

    FileWriterMP3 nowhere(wide(folder / "no_such_folder" / "x.mp3"), false);
    EXPECT_FALSE(nowhere.is_ok());
    nowhere.on_data(frame_of("ignored"));
    EXPECT_FALSE(nowhere.finish());
    EXPECT_FALSE(std::filesystem::exists(folder / "no_such_folder"));
}

TEST(FileWriterMP3, FailedWriteLeavesNoHalfWrittenFile)
{
    const auto path = scratch_folder() / "full.mp3";
    FileSizeLimit limit(100000);
    FileWriterMP3 writer(wide(path), false);
    for (int i = 0; i < 30; ++i)
        writer.on_data(frame_of(std::string(10000, 'x')));
    EXPECT_FALSE(writer.is_ok());
    EXPECT_FALSE(writer.finish());
    EXPECT_FALSE(std::filesystem::exists(path));
}

// The link points into a folder that does not exist: opening fails, unlinking would not.
TEST(FileWriterMP3, AFileItCannotOpenIsNotItsToRemove)
{
    const auto folder = scratch_folder();
    std::filesystem::create_symlink(folder / "missing" / "target.mp3", folder / "link.mp3");
    {
        FileWriterMP3 writer(wide(folder / "link.mp3"), false);
        EXPECT_FALSE(writer.is_ok());
        EXPECT_FALSE(writer.finish());
    }
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.mp3"));
}

} // namespace
