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
counting_listener second_format_listener(&vexil_status_format);
counting_listener enabled_listener(&vexil_enabled);
counting_listener unattached_listener(nullptr);

struct Settings : ::testing::Test {
    Settings()
    {
        hook_up_listeners();
        reset_settings();
        format_listener.calls = 0;
        second_format_listener.calls = 0;
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

// A blob as a host may hand it back: records, and the bare integers and
// bytes that damage leaves.
struct blob_of {
    blob_of& record(const std::string& name, const std::string& data)
    {
        put_record(bytes, name, data);
        return *this;
    }
    blob_of& integer(int32_t value)
    {
        put_int(bytes, value);
        return *this;
    }
    blob_of& raw(const std::string& text)
    {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    blob_of& cut(size_t count)
    {
        bytes.resize(bytes.size() - count);
        return *this;
    }
    std::vector<uint8_t> bytes;
};

// A load applies each record as it reads it and stops at the first that
// does not fit what remains, keeping the ones before; a record it does not
// know, or an integer of any size but four bytes (damaged, or written by a
// later version), is skipped. Names are compared up to their first NUL, text
// is taken up to its first, and of two records the later wins.
TEST_F(Settings, LoadsApplyWhatFitsAndSkipWhatTheyDoNotKnow)
{
    const struct {
        std::string name;
        blob_of blob;
        host::stored_settings after;
        int enabled_changes;
        int format_changes;
    } loads[] = {
        // No NUL follows: a loader that took it as a large name would read
        // past the blob.
        {"a negative name length", blob_of().integer(-1).raw("vexil_enabled"), {}, 0, 0},
        {"a name length of 0", blob_of().integer(0).record("vexil_enabled", int_data(0)), {}, 0, 0},
        {"a record, then 1 byte", blob_of().record("vexil_enabled", int_data(5)).raw("\x7F"), {.enabled = 5}, 1, 0},
        {"a record, then 2 bytes", blob_of().record("vexil_enabled", int_data(5)).raw("\x7F\x7F"), {.enabled = 5}, 1, 0},
        {"a record, then 3 bytes", blob_of().record("vexil_enabled", int_data(5)).raw("\x7F\x7F\x7F"), {.enabled = 5}, 1, 0},
        {"data longer than the blob",
         blob_of().record("vexil_enabled", int_data(9)).integer(19).raw("vexil_status_format").integer(1000).raw("abc"), {.enabled = 9}, 1, 0},
        {"a name longer than the blob", blob_of().integer(0x7FFFFFFF).raw("ab"), {}, 0, 0},
        // A text record, which would take any length it was given.
        {"a negative data length", blob_of().record("vexil_status_format", "").cut(4).integer(-4).raw("abcd"), {}, 0, 0},
        {"no data length", blob_of().record("vexil_status_format", "").cut(4), {}, 0, 0},
        {"1 byte of the data length", blob_of().record("vexil_status_format", "").cut(3), {}, 0, 0},
        {"2 bytes of the data length", blob_of().record("vexil_status_format", "").cut(2), {}, 0, 0},
        {"3 bytes of the data length", blob_of().record("vexil_status_format", "").cut(1), {}, 0, 0},
        {"names cut at their first NUL",
         blob_of().record(std::string("vexil_enabled\0junk", 18), int_data(0)).record(std::string("\0vexil_status_format", 20), "ignored"),
         {.enabled = 0}, 1, 0},
        {"text cut at its first NUL", blob_of().record("vexil_status_format", std::string("ab\0cd", 5)), {.format = "ab"}, 0, 1},
        {"an empty text", blob_of().record("vexil_status_format", ""), {.format = ""}, 0, 1},
        {"two records of one setting", blob_of().record("vexil_enabled", int_data(3)).record("vexil_enabled", int_data(4)), {.enabled = 4}, 2, 0},
    };
    const auto run = [this](const std::string& name, const blob_of& blob, const host::stored_settings& after, int enabled, int format) {
        SCOPED_TRACE(name);
        reset_settings();
        enabled_listener.calls = 0;
        format_listener.calls = 0;
        load(blob.bytes);
        EXPECT_EQ(saved(), host::settings_blob(after));
        EXPECT_EQ(enabled_listener.calls, enabled);
        EXPECT_EQ(format_listener.calls, format);
    };
    for (const auto& l : loads)
        run(l.name, l.blob, l.after, l.enabled_changes, l.format_changes);
    for (const size_t size : {0, 1, 2, 3, 5, 8}) {
        run("an integer of " + std::to_string(size) + " bytes",
            blob_of()
                .record("vexil_enabled", std::string(size, '\0'))
                .record("no_such_setting", "whatever")
                .record("VEXIL_STATUS_FORMAT", "wrong case")
                .record("vexil_status_format", "%title%"),
            {.format = "%title%"}, 0, 1);
    }

    const bytes valid = blob_of().record("vexil_enabled", int_data(0)).bytes;
    load_settings(valid.data(), 0);
    load_settings(valid.data(), -5);
    load_settings(nullptr, 40);
    EXPECT_EQ(vexil_enabled.value, 1) << "a blob of no size, or none, is no blob";
}

// Name length, name and a data length of 0: no write of no data.
TEST_F(Settings, EmptyTextDataIsSavedAsThreeWrites)
{
    vexil_status_format.store("");
    EXPECT_TRUE(vexil_status_format.value.is_null()) << "an empty text holds no copy";
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
    EXPECT_EQ(second_format_listener.calls, 1);
    EXPECT_EQ(format_listener.calls, 1);
    EXPECT_EQ(format_listener.last_name, "vexil_status_format");
    EXPECT_EQ(format_listener.last_setting, &vexil_status_format);
    EXPECT_EQ(unattached_listener.calls, 0);
}

} // namespace
