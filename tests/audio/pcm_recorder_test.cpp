#include <gtest/gtest.h>

#include "audio/pcm_recorder.h"
#include "tests/audio/fixtures.h"

using audio::PCMData;

namespace {

PCMData block_of(int bytes) { return PCMData(liba::ByteBlock(bytes), 1, 16, 8000); }

TEST(PCMRecorder, KeepsBlocksWithinItsBoundAndPassesAllOn)
{
    audio::PCMRecorder recorder(1000);
    fixtures::Collector<PCMData> downstream;
    recorder.connect(&downstream);

    // A small view of a large buffer, as decoders hand out: the copy kept holds only
    // the view's bytes, so the buffer is not kept alive beyond the bound.
    liba::ByteBlock buffer(100000);
    buffer.fill(7);
    const PCMData first(buffer.sub(0, 600), 1, 16, 8000);
    recorder.on_data(first);
    ASSERT_TRUE(recorder.is_complete());
    ASSERT_EQ(recorder.blocks().size(), 1u);
    const PCMData& kept = recorder.blocks().front();
    EXPECT_FALSE(kept.shares_storage_with(first));
    ASSERT_EQ(kept.length(), 600);
    EXPECT_EQ(kept.data()[599], 7);
    EXPECT_TRUE(kept.same_format(first));
    EXPECT_EQ(recorder.bytes(), 600);

    recorder.on_data(block_of(600));
    EXPECT_FALSE(recorder.is_complete()) << "past the bound it keeps nothing";
    EXPECT_TRUE(recorder.blocks().empty());
    EXPECT_EQ(recorder.bytes(), 0);
    recorder.on_data(block_of(10));
    EXPECT_TRUE(recorder.blocks().empty());

    EXPECT_EQ(downstream.blocks.size(), 3u) << "every block went on unchanged";
}

} // namespace
