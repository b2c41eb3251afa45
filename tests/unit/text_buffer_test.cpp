#include <gtest/gtest.h>

#include <string>

#include "text/plain_text.h"
#include "text/text_buffer.h"

namespace {

std::string text_of(text_buffer& buffer)
{
    return std::string(buffer.data(), buffer.length());
}

TEST(TextBuffer, NewAndEmptyBuffersReadAsTheSharedEmptyText)
{
    text_buffer buffer;
    EXPECT_EQ(buffer.length(), 0u);
    EXPECT_EQ(buffer.data(), empty_text);
    EXPECT_EQ(buffer.storage.data, nullptr);

    buffer.assign("", unbounded);
    EXPECT_EQ(buffer.data(), empty_text);
    EXPECT_EQ(buffer.capacity(), 17u);
}

TEST(TextBuffer, CapacityGrowsWithSpareBytesAndShrinksPastThirtyTwo)
{
    text_buffer buffer;
    buffer.assign("0123456789", unbounded);
    EXPECT_EQ(buffer.capacity(), 27u);
    buffer.append("0123456789", unbounded);
    EXPECT_EQ(buffer.capacity(), 27u);
    buffer.append("01234567890123456789", unbounded);
    EXPECT_EQ(buffer.capacity(), 57u);
    EXPECT_EQ(text_of(buffer), "0123456789012345678901234567890123456789");
    buffer.assign("abc", unbounded);
    EXPECT_EQ(buffer.capacity(), 4u);
    EXPECT_EQ(buffer.storage.allocated, 4u);
    buffer.truncate(1);
    EXPECT_EQ(buffer.capacity(), 4u);
    EXPECT_STREQ(buffer.data(), "a");
}

TEST(TextBuffer, MaximumLengthsBoundWhatIsTaken)
{
    text_buffer buffer;
    buffer.assign("xyz", 2);
    EXPECT_STREQ(buffer.data(), "xy");
    EXPECT_EQ(buffer.length(), 2u);
    buffer.append("abc", 0);
    EXPECT_STREQ(buffer.data(), "xy");
    EXPECT_EQ(buffer.capacity(), 19u) << "the capacity step runs with need length + 1";
    buffer.append("abc", 1);
    EXPECT_STREQ(buffer.data(), "xya");
}

TEST(TextBuffer, TruncateOnlyShortens)
{
    text_buffer buffer;
    buffer.assign("hello", unbounded);
    buffer.truncate(9);
    EXPECT_STREQ(buffer.data(), "hello");
    buffer.truncate(0);
    EXPECT_EQ(buffer.length(), 0u);
    EXPECT_EQ(buffer.data(), empty_text);
    EXPECT_EQ(buffer.storage.data[0], '\0');
}

TEST(TextBuffer, ReplaceByteTouchesOnlyTheText)
{
    text_buffer buffer;
    buffer.assign("a\nb\nc\n", unbounded);
    EXPECT_EQ(buffer.replace_byte('\n', '|'), 3u);
    EXPECT_STREQ(buffer.data(), "a|b|c|");
    EXPECT_EQ(buffer.replace_byte('\0', 'x'), 0u) << "the terminator is never replaced";
    EXPECT_EQ(buffer.replace_byte('a', 'A', 1), 0u);
    text_buffer empty;
    EXPECT_EQ(empty.replace_byte('\n', '|'), 0u);
}

// Appending or assigning a buffer's own text must survive the storage moving
// or shrinking underneath the source.
TEST(TextBuffer, OwnTextCanBeAppendedAndAssigned)
{
    text_buffer buffer;
    buffer.assign("abcdefgh", unbounded);
    buffer.append(buffer.data(), unbounded);
    EXPECT_STREQ(buffer.data(), "abcdefghabcdefgh");
    for (int i = 0; i < 4; ++i)
        buffer.append(buffer.data(), unbounded);
    EXPECT_EQ(buffer.length(), 256u);

    buffer.assign(buffer.data() + 250, unbounded);
    EXPECT_STREQ(buffer.data(), "cdefgh");
    buffer.assign(buffer.data() + 2, 3);
    EXPECT_STREQ(buffer.data(), "efg");
}

} // namespace
