#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "counting_listener.h"
#include "settings/component_settings.h"
#include "settings/settings_list.h"
#include "settings_records.h"

namespace {

counting_listener history_changes(&format_history);

struct History : ::testing::Test {
    History()
    {
        hook_up_listeners();
        reset_settings();
        history_changes.calls = 0;
    }
    ~History() override { reset_settings(); }

    // Through the loader, as a host hands the value back.
    static void load_value(const std::string& text)
    {
        std::vector<uint8_t> blob;
        host::put_record(blob, "format_history", text);
        load_settings(blob.data(), int(blob.size()));
    }
    static std::string value() { return format_history.value.get(); }

    static std::string entries_of_value()
    {
        text_list entries;
        format_history.get_entries(entries);
        std::string out;
        for (uint32_t i = 0; i < entries.count(); ++i)
            out += std::string("[") + entries.get(i) + "]";
        entries.release_all();
        return out;
    }

    static void load_entries(int n)
    {
        std::string text;
        for (int i = 0; i < n; ++i)
            text += "e" + std::to_string(i) + "\n";
        load_value(text);
    }

    static int count()
    {
        text_list entries;
        format_history.get_entries(entries);
        const int n = int(entries.count());
        entries.release_all();
        return n;
    }
};

TEST_F(History, EmptyOrNullTextsAreIgnoredWithoutNotice)
{
    load_value("a\n");
    history_changes.calls = 0;
    format_history.add_entry("");
    format_history.add_entry(nullptr);
    EXPECT_EQ(value(), "a\n");
    EXPECT_EQ(history_changes.calls, 0);
}

TEST_F(History, NewEntriesGoFirstInLineForm)
{
    format_history.add_entry("X");
    EXPECT_EQ(value(), "X\n");
    format_history.add_entry("Y");
    EXPECT_EQ(value(), "Y\nX\n");
}

TEST_F(History, EqualEntriesMoveToTheFrontWithoutDuplicates)
{
    load_value("A\nB\nC\n");
    format_history.add_entry("B");
    EXPECT_EQ(value(), "B\nA\nC\n");

    load_value("A\nB\n");
    history_changes.calls = 0;
    format_history.add_entry("A");
    EXPECT_EQ(value(), "A\nB\n");
    EXPECT_EQ(history_changes.calls, 1) << "stored and notified also when unchanged";

    load_value("A\nB\nA\n");
    format_history.add_entry("A");
    EXPECT_EQ(value(), "A\nA\nB\n") << "every equal entry moves, none is dropped";
}

TEST_F(History, InsertionBoundsTheCountToTheLimitPlusOne)
{
    load_entries(10);
    format_history.add_entry("new");
    EXPECT_EQ(count(), 11);

    load_entries(11);
    format_history.add_entry("new");
    EXPECT_EQ(count(), 11);
    EXPECT_EQ(entries_of_value().find("[e10]"), std::string::npos);

    load_entries(13);
    format_history.add_entry("new");
    EXPECT_EQ(count(), 11);
    EXPECT_EQ(entries_of_value().substr(0, 15), "[new][e0][e1][e");

    load_entries(13);
    format_history.add_entry("e12");
    EXPECT_EQ(count(), 13) << "moving an entry drops nothing";
}

TEST_F(History, LineFeedsInATextBecomeBars)
{
    const char text[] = "a\nb";
    format_history.add_entry(text);
    EXPECT_EQ(value(), "a|b\n");
    EXPECT_STREQ(text, "a\nb") << "the caller's text is not changed";
    format_history.add_entry("a|b");
    EXPECT_EQ(value(), "a|b\n");
}

TEST_F(History, LoadedValuesAreReadLeniently)
{
    load_value("\n\nA\n\nB");
    EXPECT_EQ(entries_of_value(), "[A][B]");
    format_history.add_entry("A");
    EXPECT_EQ(value(), "A\nB\n");

    load_value("A\r\nB\r\n");
    EXPECT_EQ(entries_of_value(), "[A\r][B\r]");
    format_history.add_entry("A");
    EXPECT_EQ(value(), "A\nA\r\nB\r\n") << "a text without the carriage return does not match";
}

TEST_F(History, AnEmptyListIsStoredAsNoValue)
{
    load_value("A\n");
    text_list none;
    history_changes.calls = 0;
    format_history.set_entries(none);
    EXPECT_TRUE(format_history.value.is_null());
    EXPECT_EQ(history_changes.calls, 1);
}

} // namespace
