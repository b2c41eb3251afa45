#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "text/text_list.h"

namespace {

char* item(const char* text)
{
    return strdup(text);
}

std::string joined(const text_list& list)
{
    std::string out;
    for (uint32_t i = 0; i < list.count(); ++i)
        out += std::string(list.get(i)) + ",";
    return out;
}

// Marks the positions listed in a string of '1' and '0'.
class marks final : public selection {
public:
    explicit marks(const char* pattern) : pattern(pattern) {}
    bool test(uint32_t index) const override { return pattern[index] == '1'; }
    uint32_t find(bool value, uint32_t start, uint32_t number) const override
    {
        for (uint32_t i = start; i < start + number; ++i) {
            if (test(i) == value)
                return i;
        }
        return start + number;
    }

private:
    const char* pattern;
};

constexpr uint32_t pointer_size = sizeof(char*);

TEST(TextList, InsertAndRemoveKeepTheOrder)
{
    text_list list;
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.get(0), nullptr);
    EXPECT_EQ(list.storage.data, nullptr);

    list.insert_at(item("a"), 0);
    list.insert_at(item("b"), 0);
    list.insert_at(item("c"), 2);
    EXPECT_EQ(joined(list), "b,a,c,");
    EXPECT_EQ(list.get(3), nullptr);
    EXPECT_EQ(list.get(0xFFFFFFFFu), nullptr);

    char* removed = list.remove_at(0);
    EXPECT_STREQ(removed, "b");
    free(removed);
    EXPECT_EQ(joined(list), "a,c,");

    list.insert_at(list.remove_at(1), 0);
    EXPECT_EQ(joined(list), "c,a,");
    list.release_all();
}

TEST(TextList, StorageDoublesAndHalvesInPointers)
{
    text_list list;
    for (int i = 0; i < 5; ++i)
        list.insert_at(item("x"), list.count());
    EXPECT_EQ(list.storage.allocated, 8 * pointer_size);
    free(list.remove_at(0));
    EXPECT_EQ(list.storage.allocated, 8 * pointer_size);
    free(list.remove_at(0));
    EXPECT_EQ(list.storage.allocated, 4 * pointer_size);
    list.release_all();
}

TEST(TextList, KeepSelectedCompactsInOrder)
{
    text_list list;
    for (const char* text : {"a", "b", "c", "d", "e"})
        list.insert_at(item(text), list.count());
    char* dropped_b = list.get(1);
    char* dropped_d = list.get(3);

    const select_all everything;
    uint8_t* const before = list.storage.data;
    list.keep_selected(everything);
    EXPECT_EQ(joined(list), "a,b,c,d,e,");
    EXPECT_EQ(list.storage.data, before);

    list.keep_selected(marks("10101"));
    EXPECT_EQ(joined(list), "a,c,e,");
    free(dropped_b);
    free(dropped_d);

    char* first = list.get(0);
    list.keep_selected(invert_selection(marks("100")));
    EXPECT_EQ(joined(list), "c,e,");
    free(first);
    list.release_all();
}

TEST(TextList, ReleaseAllFreesEveryItemAndTheStorage)
{
    text_list list;
    list.release_all();
    EXPECT_EQ(list.storage.data, nullptr);
    for (const char* text : {"a", "b", "c"})
        list.insert_at(item(text), 0);
    list.release_all();
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.storage.data, nullptr);
    EXPECT_EQ(list.storage.allocated, 0u);
}

TEST(Selection, InversionNegatesMarksAndSearches)
{
    const select_all all;
    const invert_selection none(all);
    EXPECT_TRUE(all.test(7));
    EXPECT_FALSE(none.test(7));
    EXPECT_EQ(all.find(true, 3, 4), 3u);
    EXPECT_EQ(all.find(false, 3, 4), 7u);
    EXPECT_EQ(none.find(true, 3, 4), 7u);
    EXPECT_EQ(none.find(false, 3, 4), 3u);
}

} // namespace
