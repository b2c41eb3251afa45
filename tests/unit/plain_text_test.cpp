#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "text/plain_text.h"

namespace {

TEST(PlainText, BoundedLengthStopsAtTheNulOrTheMaximum)
{
    EXPECT_EQ(bounded_length("abc", 2), 2u);
    EXPECT_EQ(bounded_length("abc", unbounded), 3u);
    EXPECT_EQ(bounded_length("abc", 0), 0u);
    EXPECT_EQ(bounded_length("", 5), 0u);
    const char unterminated[3] = {'a', 'b', 'c'};
    EXPECT_EQ(bounded_length(unterminated, 3), 3u);

    const char16_t wide[] = u"ab";
    EXPECT_EQ(bounded_length_wide(wide, unbounded), 2u);
    EXPECT_EQ(bounded_length_wide(wide, 1), 1u);
}

TEST(PlainText, CopyTextCopiesExactlyNBytesAndTerminates)
{
    char* copy = copy_text("a\0bc", 4);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(memcmp(copy, "a\0bc\0", 5), 0);
    free(copy);
    EXPECT_EQ(copy_text("x", unbounded), nullptr);
}

} // namespace
