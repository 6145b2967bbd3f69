#include "app/simple_processor.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

audio::PCMData pcm16(const std::vector<int16_t>& samples, int channels)
{
    liba::ByteBlock bytes(static_cast<int32_t>(samples.size() * 2));
    uint8_t* out = bytes.writable();
    for (int16_t sample : samples) {
        *out++ = static_cast<uint8_t>(sample & 0xFF);
        *out++ = static_cast<uint8_t>((sample >> 8) & 0xFF);
    }
    return audio::PCMData(bytes, channels, 16, 44100);
}

audio::PCMData pcm8(const std::vector<uint8_t>& samples, int channels)
{
    return audio::PCMData(liba::ByteBlock(static_cast<int32_t>(samples.size()), samples.data()), channels, 8, 8000);
}

std::vector<int16_t> samples_of(const audio::PCMData& block)
{
    std::vector<int16_t> samples;
    for (int32_t i = 0; i + 1 < block.length(); i += 2)
        samples.push_back(static_cast<int16_t>(block.data()[i] | (block.data()[i + 1] << 8)));
    return samples;
}

// Pushes a block through a processor and collects what comes out.
class Collector : public audio::Consumer<audio::PCMData> {
public:
    std::vector<audio::PCMData> blocks;
    void on_data(const audio::PCMData& block) override { blocks.push_back(block); }
};

class Source : public audio::Provider<audio::PCMData> {
public:
    audio::PCMData next;
    audio::PCMData read(int) override { return next; }
};

struct ProcessCase {
    const char* name;
    audio::PCMData in;
    Fraction gain;
    std::vector<int16_t> expected;
    Fraction expected_peak;
};

TEST(SimpleProcessorTest, MixesMeasuresAndClamps)
{
    const ProcessCase cases[] = {
        {"8-bit mono midpoint, floor, top", pcm8({128, 0, 255}, 1), {}, {0, -32768, 32512}, {-32768, -32768}},
        {"16-bit stereo full scale", pcm16({32767, 32767}, 2), {}, {32767}, {65534, 65534}},
        {"full scale with gain above one is clamped", pcm16({32767, 32767}, 2), {3, 2}, {32767}, {65534, 65534}},
        {"negative full scale clamps low", pcm16({-32768, -32768}, 2), {2, 1}, {-32768}, {-65536, -65536}},
        {"stereo mix truncates toward zero", pcm16({3, 0, -3, 0}, 2), {}, {1, -1}, {3, 65534}},
        {"gain scales before the division", pcm16({1000, 1000}, 2), {3, 4}, {750}, {2000, 65534}},
        {"silence never sets the peak", pcm16({0, 0, 0, 0}, 2), {}, {0, 0}, {0, 0}},
        {"8-bit stereo", pcm8({255, 128}, 2), {}, {16256}, {32512, 65534}},
    };
    for (const auto& c : cases) {
        SimpleProcessor processor;
        Source source;
        Collector collector;
        source.connect(&processor);
        processor.connect(&collector);
        if (c.gain.denominator != 0)
            processor.set_gain(c.gain.numerator, c.gain.denominator);
        source.next = c.in;
        const audio::PCMData out = collector.pull(1);
        EXPECT_EQ(out.channels, 1) << c.name;
        EXPECT_EQ(out.bits, 16) << c.name;
        EXPECT_EQ(out.sample_rate, c.in.sample_rate) << c.name;
        EXPECT_EQ(samples_of(out), c.expected) << c.name;
        EXPECT_EQ(processor.peak().numerator, c.expected_peak.numerator) << c.name;
        EXPECT_EQ(processor.peak().denominator, c.expected_peak.denominator) << c.name;
    }
}

TEST(SimpleProcessorTest, PeakIsTheLoudestFractionExactly)
{
    SimpleProcessor processor;
    Source source;
    Collector collector;
    source.connect(&processor);
    processor.connect(&collector);
    // -16384 / -32768 = 0.5 against 16383 / 32767 < 0.5: the negative one is louder.
    source.next = pcm16({16383, -16384, 100}, 1);
    collector.pull(3);
    EXPECT_EQ(processor.peak().numerator, -16384);
    EXPECT_EQ(processor.peak().denominator, -32768);
    // The peak is kept across blocks and not replaced by a quieter one.
    source.next = pcm16({16000}, 1);
    collector.pull(1);
    EXPECT_EQ(processor.peak().numerator, -16384);
}

TEST(SimpleProcessorTest, WiderSamplesAndEmptyBlocksPassThroughUnchanged)
{
    SimpleProcessor processor;
    Source source;
    Collector collector;
    source.connect(&processor);
    processor.connect(&collector);
    const audio::PCMData cases[] = {
        audio::PCMData(liba::ByteBlock(6, "abcdef"), 1, 24, 48000),
        audio::PCMData(liba::ByteBlock(8, "abcdefgh"), 2, 32, 48000),
        audio::PCMData(),
        audio::PCMData(liba::ByteBlock(4, "abcd"), 0, 16, 48000),
    };
    for (const auto& in : cases) {
        source.next = in;
        const audio::PCMData out = collector.pull(1);
        EXPECT_TRUE(out.shares_storage_with(in));
        EXPECT_EQ(out.length(), in.length());
        EXPECT_EQ(out.bits, in.bits);
    }
    EXPECT_EQ(processor.peak().denominator, 0);
}

TEST(SimpleProcessorTest, PushedBlocksFlowDownstream)
{
    SimpleProcessor processor;
    Source source;
    Collector collector;
    source.connect(&processor);
    processor.connect(&collector);
    source.push(pcm16({100, 300}, 2));
    ASSERT_EQ(collector.blocks.size(), 1u);
    EXPECT_EQ(samples_of(collector.blocks[0]), std::vector<int16_t>{200});
}

TEST(LinkTest, UnlinkedEndsGiveEmptyBlocksAndDropPushes)
{
    Collector consumer;
    EXPECT_TRUE(consumer.pull(10).empty());
    Source provider;
    provider.push(pcm16({1}, 1)); // nowhere to go: dropped
    provider.connect(&consumer);
    provider.next = pcm16({1}, 1);
    EXPECT_EQ(consumer.pull(1).length(), 2);
    provider.connect(nullptr);
    EXPECT_TRUE(consumer.pull(1).empty());
}

TEST(LinkTest, DestroyingEitherSideBreaksTheLink)
{
    Collector consumer;
    {
        Source provider;
        provider.connect(&consumer);
        EXPECT_TRUE(consumer.is_linked());
    }
    EXPECT_FALSE(consumer.is_linked());
    Source provider;
    {
        Collector short_lived;
        provider.connect(&short_lived);
    }
    EXPECT_FALSE(provider.is_linked());
    provider.push(pcm16({1}, 1));
}

} // namespace
