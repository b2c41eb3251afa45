#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "text/byte_block.h"

namespace {

struct block_fixture : ::testing::Test {
    ~block_fixture() override { block.free_storage(); }
    byte_block block;
};

using ByteBlock = block_fixture;

// The contracted allocation of each mode, as sizes come and go: exact
// follows the size; doubling takes powers of two and halves only when the
// size falls below half (16 halved is 8, which is not greater than 8);
// retain never gives memory back; at size 0 only retain keeps any.
TEST_F(ByteBlock, EachModeAllocatesAsContracted)
{
    const struct {
        growth_mode mode;
        uint32_t size;
        uint32_t allocated;
    } steps[] = {
        {growth_exact, 10, 10},     {growth_exact, 3, 3},       {growth_exact, 0, 0},       {growth_doubling, 5, 8},
        {growth_doubling, 1, 2},    {growth_doubling, 32, 32},  {growth_doubling, 8, 16},   {growth_doubling, 32, 32},
        {growth_doubling, 3, 4},    {growth_doubling, 0, 0},    {growth_retain, 64, 64},    {growth_retain, 3, 64},
        {growth_retain, 0, 64},
    };
    uint8_t* first_memory = nullptr;
    for (const auto& step : steps) {
        SCOPED_TRACE(std::to_string(step.mode) + " at " + std::to_string(step.size));
        if (step.mode != block.mode) {
            block.free_storage();
            block.mode = step.mode;
            first_memory = nullptr;
        }
        EXPECT_EQ(block.resize(step.size), block.data);
        first_memory = first_memory != nullptr ? first_memory : block.data;
        EXPECT_EQ(block.used, step.size);
        EXPECT_EQ(block.allocated, step.allocated);
        EXPECT_EQ(block.data == nullptr, step.allocated == 0);
        if (step.mode == growth_retain)
            EXPECT_EQ(block.data, first_memory) << "a retaining block keeps its memory";
    }
    block.write_at("x", 1, 40);
    EXPECT_EQ(block.data, first_memory);
    EXPECT_EQ(block.used, 41u);
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
