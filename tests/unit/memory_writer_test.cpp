#include <gtest/gtest.h>

#include <cstring>

#include "settings/memory_writer.h"

namespace {

TEST(MemoryWriter, WritesConcatenateAndAClearedWriterReusesItsMemory)
{
    memory_writer writer(growth_retain);
    writer.write("ab", 2);
    writer.write("cd", 2);
    ASSERT_EQ(writer.block.used, 4u);
    EXPECT_EQ(memcmp(writer.block.data, "abcd", 4), 0);
    const uint32_t allocation = writer.block.allocated;
    uint8_t* const memory = writer.block.data;
    writer.clear();
    writer.write("e", 1);
    EXPECT_EQ(writer.block.used, 1u);
    EXPECT_EQ(writer.block.data, memory);
    EXPECT_EQ(writer.block.allocated, allocation);
    writer.write("f", -1);
    EXPECT_EQ(writer.block.used, 1u) << "a negative count writes nothing";
}

} // namespace
