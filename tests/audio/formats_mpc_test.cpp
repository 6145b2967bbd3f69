#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "audio/decoder_mpc.h"
#include "liba/text.h"
#include "tests/audio/formats_fixtures.h"

namespace {

using audio::DecoderMPC;
using formats_test::Scratch;

const std::string sv7_click = MELODRIFT_SOURCE_DIR "/../shared/fixtures/sv7-click.mpc";

class FormatsMPC : public testing::Test {
protected:
    void SetUp() override
    {
        if (!formats_test::have_tool("mpcenc") || !formats_test::have_tool("mpcdec"))
            GTEST_SKIP() << "mpcenc and mpcdec (musepack-tools) are not installed";
        ASSERT_TRUE(formats_test::make_source(scratch.path("source.wav"), 44100, 2));
        ASSERT_TRUE(formats_test::run("mpcenc --silent --overwrite " + scratch.path("source.wav") + " " +
                                      scratch.path("m.mpc")));
    }

    Scratch scratch;
};

TEST_F(FormatsMPC, StreamVersion8DecodesLikeMpcdec)
{
    ASSERT_TRUE(formats_test::run("mpcdec " + scratch.path("m.mpc") + " " + scratch.path("reference.wav")));
    ASSERT_TRUE(formats_test::sox_decode(scratch.path("reference.wav"), scratch.path("reference.raw")));
    DecoderMPC reader(scratch.wide("m.mpc"));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.channels(), 2);
    EXPECT_EQ(reader.sample_rate(), 44100);
    EXPECT_EQ(reader.bits_per_sample(), 16);
    EXPECT_GT(reader.bit_rate(), 32000);
    EXPECT_EQ(reader.length(), 88200);

    const std::vector<int16_t> ours = formats_test::pull_all(reader);
    const std::vector<int16_t> reference = formats_test::read_raw_samples(scratch.path("reference.raw"));
    ASSERT_EQ(ours.size(), reference.size());
    EXPECT_LE(formats_test::max_difference(ours, reference), 1);
    EXPECT_TRUE(reader.is_eof());
    EXPECT_TRUE(reader.read(100).empty());
}

TEST_F(FormatsMPC, ReadOfOneFrameKeepsTheRestOfTheLibraryCall)
{
    DecoderMPC reader(scratch.wide("m.mpc"));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.read(1).frames(), 1);
    const int decoded = reader.position();
    EXPECT_GT(decoded, 1);
    EXPECT_EQ(reader.read(100000).frames(), decoded - 1);
    EXPECT_EQ(reader.position(), decoded);
}

TEST_F(FormatsMPC, SeekKeepsTheLeftoverAndMovesThePosition)
{
    DecoderMPC reader(scratch.wide("m.mpc"));
    ASSERT_EQ(reader.read(1).frames(), 1);
    const int rest = reader.position() - 1;
    reader.seek_seconds(1.0);
    EXPECT_EQ(reader.position(), 44100);
    EXPECT_EQ(reader.read(100000).frames(), rest);
    struct Count : audio::Consumer<audio::PCMData> {
        int frames = 0;
        void on_data(const audio::PCMData& block) override { frames += block.frames(); }
    } sink;
    reader.connect(&sink);
    EXPECT_FALSE(reader.pump(100000));
    EXPECT_EQ(sink.frames, 44100);
}

// A file cut short: the length is what its whole packets hold, and a seek past them
// ends at once at that length instead of walking on beyond the end of the file.
TEST_F(FormatsMPC, TruncatedFileEndsWhereItsDataEnds)
{
    ASSERT_TRUE(formats_test::make_source(scratch.path("long.wav"), 44100, 2, 20));
    ASSERT_TRUE(formats_test::run("mpcenc --silent --overwrite " + scratch.path("long.wav") + " " +
                                  scratch.path("long.mpc")));
    std::vector<uint8_t> bytes = formats_test::read_bytes(scratch.path("long.mpc"));
    bytes.resize(bytes.size() * 2 / 5);
    formats_test::write_bytes(scratch.path("cut.mpc"), bytes);

    DecoderMPC reader(scratch.wide("cut.mpc"));
    ASSERT_TRUE(reader.is_open());
    EXPECT_GT(reader.length(), 44100 * 5);
    EXPECT_LT(reader.length(), 44100 * 10);
    for (const int position : {44100 * 15, reader.length(), std::numeric_limits<int>::max()}) {
        reader.seek(position);
        EXPECT_EQ(reader.position(), reader.length());
        EXPECT_TRUE(reader.is_eof());
    }
    reader.seek(reader.length() - 44100);
    EXPECT_GE(int(formats_test::pull_all(reader).size()) / 2, 44100) << "the last second before the end plays";

    DecoderMPC whole(scratch.wide("long.mpc"));
    EXPECT_EQ(whole.length(), 44100 * 20);
}

TEST(FormatsMPCSamples, ConvertWithRoundingAndClamping)
{
    const struct {
        float in;
        int16_t out;
    } cases[] = {
        {0.0f, 0},
        {0.5f, 16384},
        {-0.5f, -16384},
        {1.0f / 32768 * 0.6f, 1},
        {-1.0f, -32768},
        {-1.5f, -32768},
        {1.0f, 32767},
        {std::numeric_limits<float>::max(), 32767},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(audio::mpc_sample_to_16(c.in), c.out) << c.in;
}

TEST(FormatsMPCStreamVersion7, DecodesTheClick)
{
    if (!std::filesystem::exists(sv7_click))
        GTEST_SKIP() << "missing " << sv7_click;
    DecoderMPC reader(liba::to_wide(sv7_click));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.channels(), 2);
    EXPECT_EQ(reader.sample_rate(), 44100);
    EXPECT_EQ(reader.length(), 2717);
    const std::vector<int16_t> samples = formats_test::pull_all(reader);
    EXPECT_EQ(samples.size(), 2u * 2717);
    int peak = 0;
    for (int16_t s : samples)
        peak = std::max(peak, std::abs(int(s)));
    EXPECT_NEAR(peak / 32768.0, 0.21, 0.05);
}

TEST(FormatsMPCRefusal, TextAndMissingFilesAreNotOpen)
{
    Scratch scratch;
    formats_test::write_bytes(scratch.path("t.mpc"), std::vector<uint8_t>(5000, 'a'));
    for (const char* name : {"t.mpc", "missing.mpc"}) {
        DecoderMPC reader(scratch.wide(name));
        EXPECT_FALSE(reader.is_open());
        EXPECT_TRUE(reader.is_eof());
        EXPECT_EQ(reader.channels(), 0);
        EXPECT_TRUE(reader.read(100).empty());
        EXPECT_FALSE(reader.pump(100));
    }
}

} // namespace
