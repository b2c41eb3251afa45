#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "counting_listener.h"
#include "settings/component_settings.h"
#include "settings/memory_writer.h"
#include "settings/settings_list.h"
#include "settings_records.h"

namespace {

using bytes = std::vector<uint8_t>;
using host::int_data;
using host::put_int;
using host::put_record;

counting_listener format_listener(&vexil_status_format);
counting_listener enabled_listener(&vexil_enabled);
counting_listener unattached_listener(nullptr);

struct Settings : ::testing::Test {
    Settings()
    {
        hook_up_listeners();
        reset_settings();
        format_listener.calls = 0;
        enabled_listener.calls = 0;
    }
    ~Settings() override { reset_settings(); }

    static bytes saved()
    {
        memory_writer writer(growth_exact);
        save_settings(&writer);
        return bytes(writer.block.data, writer.block.data + writer.block.used);
    }

    // A copy of exactly the blob's size, so that the sanitizer catches any read
    // outside it.
    static void load(const bytes& blob)
    {
        std::vector<uint8_t> exact(blob);
        exact.shrink_to_fit();
        load_settings(exact.empty() ? nullptr : exact.data(), int(exact.size()));
    }
};

TEST_F(Settings, AFreshBlobHoldsEveryDefaultInListOrder)
{
    EXPECT_EQ(saved(), host::settings_blob(host::fresh_settings()));
}

TEST_F(Settings, SaveThenLoadRestoresEveryValue)
{
    vexil_enabled.value = -7;
    vexil_status_format.store("%artist% \xE2\x80\x94 %title%");
    format_history.store("a\nb\n");
    const bytes blob = saved();
    reset_settings();
    load(blob);
    EXPECT_EQ(vexil_enabled.value, -7);
    EXPECT_STREQ(vexil_status_format.value.get(), "%artist% \xE2\x80\x94 %title%");
    EXPECT_STREQ(format_history.value.get(), "a\nb\n");
    EXPECT_EQ(saved(), blob);
}

TEST_F(Settings, ResetRestoresEveryDefaultAndNotifies)
{
    vexil_enabled.value = 0;
    vexil_status_format.store("x");
    format_history.store("y\n");
    format_listener.calls = 0;
    reset_settings();
    EXPECT_EQ(vexil_enabled.value, 1);
    EXPECT_STREQ(vexil_status_format.value.get(), host::default_format);
    EXPECT_TRUE(format_history.value.is_null());
    EXPECT_EQ(format_listener.calls, 1);
    EXPECT_EQ(enabled_listener.calls, 1);
}

TEST_F(Settings, MalformedStartsChangeNothing)
{
    // No NUL follows the negative length: a loader that took it as a large
    // name would read past the blob.
    bytes negative_name;
    put_int(negative_name, -1);
    negative_name.insert(negative_name.end(), {'v', 'e', 'x', 'i', 'l', '_', 'e', 'n', 'a', 'b', 'l', 'e', 'd'});
    bytes zero_name;
    put_int(zero_name, 0);
    put_record(zero_name, "vexil_enabled", int_data(0));
    bytes valid;
    put_record(valid, "vexil_enabled", int_data(0));

    for (const bytes& blob : {negative_name, zero_name})
        load(blob);
    load_settings(valid.data(), 0);
    load_settings(valid.data(), -5);
    load_settings(nullptr, 40);
    EXPECT_EQ(vexil_enabled.value, 1);
    EXPECT_EQ(enabled_listener.calls, 0);
}

TEST_F(Settings, TruncatedRecordsStopTheLoadButEarlierOnesStay)
{
    for (int extra = 1; extra <= 3; ++extra) {
        reset_settings();
        bytes blob;
        put_record(blob, "vexil_enabled", int_data(5));
        blob.insert(blob.end(), size_t(extra), uint8_t(0x7F));
        load(blob);
        EXPECT_EQ(vexil_enabled.value, 5) << extra << " trailing bytes";
    }

    reset_settings();
    bytes blob;
    put_record(blob, "vexil_enabled", int_data(9));
    put_int(blob, 19);
    blob.insert(blob.end(), {'v', 'e', 'x', 'i', 'l', '_', 's', 't', 'a', 't', 'u', 's', '_', 'f', 'o', 'r', 'm', 'a', 't'});
    put_int(blob, 1000);
    blob.insert(blob.end(), {'a', 'b', 'c'});
    load(blob);
    EXPECT_EQ(vexil_enabled.value, 9);
    EXPECT_STREQ(vexil_status_format.value.get(), host::default_format);

    bytes name_past_end;
    put_int(name_past_end, 0x7FFFFFFF);
    name_past_end.insert(name_past_end.end(), {'a', 'b'});
    load(name_past_end);
    // A text record, which would take any length it was given.
    format_listener.calls = 0;
    bytes negative_data;
    put_record(negative_data, "vexil_status_format", "");
    negative_data.resize(negative_data.size() - 4);
    put_int(negative_data, -4);
    negative_data.insert(negative_data.end(), {'a', 'b', 'c', 'd'});
    load(negative_data);
    EXPECT_EQ(vexil_enabled.value, 9);
    EXPECT_STREQ(vexil_status_format.value.get(), host::default_format);

    // Cut inside the data length, at each of its four bytes.
    for (size_t kept = 0; kept < 4; ++kept) {
        bytes cut;
        put_record(cut, "vexil_status_format", "");
        cut.resize(cut.size() - 4 + kept);
        load(cut);
        EXPECT_STREQ(vexil_status_format.value.get(), host::default_format) << kept << " bytes of the data length";
    }
    EXPECT_EQ(format_listener.calls, 0);
}

// An integer record of any size but four bytes is damaged, or written by a
// later version: its first bytes mean nothing here.
TEST_F(Settings, BadOrUnknownRecordsAreSkippedAndTheLoadGoesOn)
{
    for (const size_t size : {0, 1, 2, 3, 5, 8}) {
        reset_settings();
        enabled_listener.calls = 0;
        bytes blob;
        put_record(blob, "vexil_enabled", std::string(size, '\0'));
        put_record(blob, "no_such_setting", "whatever");
        put_record(blob, "VEXIL_STATUS_FORMAT", "wrong case");
        put_record(blob, "vexil_status_format", "%title%");
        load(blob);
        EXPECT_EQ(vexil_enabled.value, 1) << size << " bytes";
        EXPECT_EQ(enabled_listener.calls, 0) << "an integer of the wrong size is not applied";
        EXPECT_STREQ(vexil_status_format.value.get(), "%title%");
    }
}

TEST_F(Settings, NamesAreCutAtTheirFirstNul)
{
    bytes blob;
    put_record(blob, std::string("vexil_enabled\0junk", 18), int_data(0));
    put_record(blob, std::string("\0vexil_status_format", 20), "ignored");
    load(blob);
    EXPECT_EQ(vexil_enabled.value, 0);
    EXPECT_STREQ(vexil_status_format.value.get(), host::default_format);
}

TEST_F(Settings, TextRecordsAreCutAtNulAndMayBeEmpty)
{
    bytes blob;
    put_record(blob, "vexil_status_format", std::string("ab\0cd", 5));
    load(blob);
    EXPECT_STREQ(vexil_status_format.value.get(), "ab");

    bytes empty;
    put_record(empty, "vexil_status_format", "");
    load(empty);
    EXPECT_TRUE(vexil_status_format.value.is_null());
    EXPECT_STREQ(vexil_status_format.value.get(), "");
    EXPECT_EQ(format_listener.calls, 2) << "a text record always notifies";
}

TEST_F(Settings, TheLaterOfTwoRecordsWins)
{
    bytes blob;
    put_record(blob, "vexil_enabled", int_data(3));
    put_record(blob, "vexil_enabled", int_data(4));
    load(blob);
    EXPECT_EQ(vexil_enabled.value, 4);
    EXPECT_EQ(enabled_listener.calls, 2);
}

// Name length, name and a data length of 0: no write of no data.
TEST_F(Settings, EmptyTextDataIsSavedAsThreeWrites)
{
    vexil_status_format.store("");
    host::keeping_writer<config_writer> writer;
    save_settings(&writer);
    const bytes expected = host::settings_blob({.format = ""});
    EXPECT_EQ(writer.blob, expected);
    EXPECT_EQ(writer.write_sizes, host::write_sizes(expected));
}

TEST_F(Settings, ListenersAreLinkedOnceAndToldTheNameAndSetting)
{
    hook_up_listeners();
    hook_up_listeners();
    vexil_status_format.store("x");
    EXPECT_EQ(format_listener.calls, 1);
    EXPECT_EQ(format_listener.last_name, "vexil_status_format");
    EXPECT_EQ(format_listener.last_setting, &vexil_status_format);
    EXPECT_EQ(unattached_listener.calls, 0);
}

} // namespace
