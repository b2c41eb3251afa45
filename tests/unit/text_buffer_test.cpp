#include <gtest/gtest.h>

#include <string>

#include "text/plain_text.h"
#include "text/text_buffer.h"

namespace {

TEST(TextBuffer, NewAndEmptyBuffersReadAsTheSharedEmptyText)
{
    text_buffer buffer;
    EXPECT_EQ(buffer.length(), 0u);
    EXPECT_EQ(buffer.data(), empty_text);
    EXPECT_EQ(buffer.storage.data, nullptr);

    buffer.assign("", unbounded);
    EXPECT_EQ(buffer.data(), empty_text);
    buffer.assign("abc", unbounded);
    buffer.truncate(0);
    EXPECT_EQ(buffer.data(), empty_text);
    EXPECT_EQ(buffer.storage.data[0], '\0');
}

// The capacity, NUL included, grows to the need with 16 bytes to spare and
// shrinks to the need once more than 32 are spare, whichever operation
// changed the text; lengths bound what is taken, truncate only shortens,
// and a need the spare would take past 32 bits changes nothing. The storage
// holds exactly the capacity.
TEST(TextBuffer, EveryOperationLeavesTheContractedCapacity)
{
    enum operation { assign, append, truncate, ensure };
    const std::string ten = "0123456789";
    const struct {
        operation what;
        std::string text;
        uint32_t limit;
        std::string after;
        uint32_t capacity;
    } steps[] = {
        {assign, "", unbounded, "", 17},
        {assign, ten, unbounded, ten, 17},
        {append, ten, unbounded, ten + ten, 37},
        {append, ten + ten, unbounded, ten + ten + ten + ten, 57},
        {assign, "abc", unbounded, "abc", 4},
        {append, ten + ten + ten + "0123456", unbounded, "abc" + ten + ten + ten + "0123456", 57},
        {truncate, "", 5, "abc01", 6},
        {truncate, "", 1, "a", 6},
        {truncate, "", 9, "a", 6},
        {append, "xyz", 2, "axy", 6},
        {append, "xyz", 0, "axy", 6},
        {assign, "xyz", 1, "x", 6},
        {ensure, "", UINT32_MAX, "x", 6},
    };
    text_buffer buffer;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.after);
        if (step.what == assign)
            buffer.assign(step.text.c_str(), step.limit);
        else if (step.what == append)
            buffer.append(step.text.c_str(), step.limit);
        else if (step.what == truncate)
            buffer.truncate(step.limit);
        else
            buffer.ensure_capacity(step.limit);
        EXPECT_EQ(std::string(buffer.data()), step.after);
        EXPECT_EQ(buffer.length(), step.after.size());
        EXPECT_EQ(buffer.capacity(), step.capacity);
        EXPECT_EQ(buffer.storage.allocated, step.capacity);
    }
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
