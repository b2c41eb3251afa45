#include <gtest/gtest.h>

#include <cstring>

#include "text/byte_block.h"

namespace {

struct block_fixture : ::testing::Test {
    ~block_fixture() override { block.free_storage(); }
    byte_block block;
};

using ByteBlock = block_fixture;

TEST_F(ByteBlock, ExactAllocationFollowsTheSizeAndIsFreedAtZero)
{
    block.resize(10);
    EXPECT_EQ(block.allocated, 10u);
    block.resize(3);
    EXPECT_EQ(block.allocated, 3u);
    EXPECT_EQ(block.used, 3u);
    EXPECT_EQ(block.resize(0), nullptr);
    EXPECT_EQ(block.data, nullptr);
    EXPECT_EQ(block.allocated, 0u);
    EXPECT_EQ(block.used, 0u);
}

TEST_F(ByteBlock, DoublingGrowsAndShrinksByPowersOfTwoWithHysteresis)
{
    block.mode = growth_doubling;
    block.resize(5);
    EXPECT_EQ(block.allocated, 8u);
    EXPECT_EQ(block.used, 5u);
    block.resize(1);
    EXPECT_EQ(block.allocated, 2u);

    block.resize(32);
    EXPECT_EQ(block.allocated, 32u);
    block.resize(8);
    EXPECT_EQ(block.allocated, 16u) << "16 halved is 8, which is not greater than 8";
    block.resize(32);
    block.resize(3);
    EXPECT_EQ(block.allocated, 4u);
    block.resize(0);
    EXPECT_EQ(block.data, nullptr);
    EXPECT_EQ(block.allocated, 0u);
}

TEST_F(ByteBlock, DoublingFromEmptyAlwaysHoldsAPowerOfTwo)
{
    block.mode = growth_doubling;
    for (uint32_t size = 1; size < 600; size += 7) {
        block.resize(size);
        EXPECT_GE(block.allocated, size);
        EXPECT_LE(block.allocated, 2 * size);
        EXPECT_EQ(block.allocated & (block.allocated - 1), 0u) << block.allocated;
    }
}

TEST_F(ByteBlock, RetainKeepsItsLargestAllocation)
{
    block.mode = growth_retain;
    block.resize(64);
    uint8_t* const memory = block.data;
    block.resize(3);
    EXPECT_EQ(block.allocated, 64u);
    EXPECT_EQ(block.resize(0), memory);
    EXPECT_EQ(block.used, 0u);
    EXPECT_EQ(block.allocated, 64u);
    block.write_at("x", 1, 40);
    EXPECT_EQ(block.data, memory);
    EXPECT_EQ(block.used, 41u);
}

TEST_F(ByteBlock, WriteAtGrowsNeverShrinksAndZeroesForANullSource)
{
    block.write_at("abcdef", 6, 0);
    EXPECT_EQ(block.write_at("XY", 2, 1), block.data + 1);
    EXPECT_EQ(block.used, 6u) << "a write inside the block does not shrink it";
    EXPECT_EQ(memcmp(block.data, "aXYdef", 6), 0);

    block.write_at(nullptr, 4, block.used);
    ASSERT_EQ(block.used, 10u);
    EXPECT_EQ(memcmp(block.data + 6, "\0\0\0\0", 4), 0);

    uint8_t* const before = block.data;
    EXPECT_EQ(block.write_at("z", 0, block.used), before + 10);
    EXPECT_EQ(block.used, 10u);
}

// A block that cannot grow is left as it was, and the write goes nowhere.
TEST_F(ByteBlock, ARefusedGrowthLeavesTheBlockAsItWas)
{
    block.mode = growth_doubling;
    block.write_at("abc", 3, 0);
    const uint8_t* const data = block.data;
    EXPECT_EQ(block.resize(0x80000001u), nullptr);
    EXPECT_EQ(block.write_at("abc", 3, 0x80000000u), nullptr);
    EXPECT_EQ(block.write_at("abc", 0xFFFFFFFFu, 2), nullptr) << "position plus count overflows";
    EXPECT_EQ(block.data, data);
    EXPECT_EQ(block.allocated, 4u);
    EXPECT_EQ(block.used, 3u);
    EXPECT_EQ(memcmp(block.data, "abc", 3), 0);
}

} // namespace
