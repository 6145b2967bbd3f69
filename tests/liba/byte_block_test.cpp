#include "liba/byte_block.h"

#include <cstring>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

TEST(ByteBlockTest, EmptyAndSized)
{
    liba::ByteBlock empty;
    EXPECT_TRUE(empty.empty());
    liba::ByteBlock sized(16);
    EXPECT_EQ(sized.length(), 16);
    const char text[] = "abcdef";
    liba::ByteBlock copied(6, text);
    EXPECT_EQ(std::memcmp(copied.data(), "abcdef", 6), 0);
}

TEST(ByteBlockTest, EmptySubRangeStillSharesStorage)
{
    liba::ByteBlock block(8, "01234567");
    liba::ByteBlock none = block.sub(0, 0);
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(none.shares_storage_with(block));
}

TEST(ByteBlockTest, WritableCopiesOnlySharedStorageAndOnlyTheView)
{
    liba::ByteBlock block(8, "01234567");
    const uint8_t* before = block.data();
    EXPECT_EQ(block.writable(), before) << "sole owner writes in place";

    liba::ByteBlock middle = block.sub(2, 3);
    middle.writable()[0] = 'X';
    EXPECT_FALSE(middle.shares_storage_with(block));
    EXPECT_EQ(std::memcmp(middle.data(), "X34", 3), 0);
    EXPECT_EQ(std::memcmp(block.data(), "01234567", 8), 0) << "other holders keep the old bytes";
}

TEST(ByteBlockTest, FillAndCopyIn)
{
    liba::ByteBlock block(6);
    block.fill('.');
    liba::ByteBlock shared = block;
    EXPECT_EQ(block.copy_in(4, liba::ByteBlock(5, "abcde")), 2) << "only what fits is copied";
    EXPECT_EQ(std::memcmp(block.data(), "....ab", 6), 0);
    EXPECT_EQ(std::memcmp(shared.data(), "......", 6), 0);
    EXPECT_EQ(block.copy_in(7, liba::ByteBlock(2, "zz")), 0);
}

TEST(ByteBlockTest, SelfAssignmentKeepsTheBytes)
{
    liba::ByteBlock block(3, "abc");
    liba::ByteBlock& same = block;
    block = same;
    EXPECT_EQ(std::memcmp(block.data(), "abc", 3), 0);
}

TEST(ByteBlockThreadTest, CopiesAcrossThreadsReleaseStorageOnce)
{
    liba::ByteBlock block(1024);
    block.fill(7);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([block] {
            for (int i = 0; i < 10000; ++i) {
                liba::ByteBlock copy = block;
                liba::ByteBlock view = copy.sub(1, 10);
                ASSERT_EQ(view.data()[0], 7);
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(block.data()[0], 7);
}

} // namespace
