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

    const PCMData first = block_of(600);
    recorder.on_data(first);
    ASSERT_TRUE(recorder.is_complete());
    ASSERT_EQ(recorder.blocks().size(), 1u);
    EXPECT_TRUE(recorder.blocks().front().shares_storage_with(first)) << "kept by sharing, not copied";

    recorder.on_data(block_of(600));
    EXPECT_FALSE(recorder.is_complete()) << "past the bound it keeps nothing";
    EXPECT_TRUE(recorder.blocks().empty());
    EXPECT_EQ(recorder.bytes(), 0);
    recorder.on_data(block_of(10));
    EXPECT_TRUE(recorder.blocks().empty());

    EXPECT_EQ(downstream.blocks.size(), 3u) << "every block went on unchanged";
}

} // namespace
