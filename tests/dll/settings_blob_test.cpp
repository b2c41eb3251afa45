#include <gtest/gtest.h>

#include "loaded_component.h"

namespace {

using bytes = std::vector<uint8_t>;

using SettingsBlob = component_test;

// Today's fresh blob is 103 bytes: a change of its length changes what
// every user's player stores.
TEST_F(SettingsBlob, AFreshComponentSavesItsDefaultsInListOrderOneWriteAField)
{
    const bytes fresh = settings_blob(host::fresh_settings());
    ASSERT_EQ(fresh.size(), 103u);
    host::blob_writer writer;
    client->save_settings(&writer);
    EXPECT_EQ(writer.blob, fresh);
    EXPECT_EQ(writer.write_sizes, host::write_sizes(fresh));
}

// A host without a store of its own yet passes no writer.
TEST_F(SettingsBlob, SaveLoadAndResetRoundTrip)
{
    const bytes changed = settings_blob({.history = "b\na\n", .enabled = 0, .format = "%artist% \xE2\x80\x93 %title%"});
    component.load(changed);
    client->save_settings(nullptr);
    const bytes saved = component.save();
    EXPECT_EQ(saved, changed);

    client->reset_settings();
    EXPECT_EQ(component.save(), settings_blob(host::fresh_settings()));
    component.load(saved);
    EXPECT_EQ(component.save(), changed);
}

TEST_F(SettingsBlob, MalformedBlobsKeepWhatCameBefore)
{
    bytes blob;
    put_record(blob, "vexil_enabled", int_data(0));
    put_record(blob, "vexil_enabled", std::string("\x07\x00", 2));
    put_record(blob, "unknown", "x");
    put_record(blob, "vexil_status_format", "%title%");
    put_int(blob, 13);
    blob.insert(blob.end(), {'v', 'e', 'x', 'i', 'l', '_', 'e', 'n', 'a', 'b', 'l', 'e', 'd'});
    put_int(blob, 4000);
    put_int(blob, 1);
    component.load(blob);
    EXPECT_EQ(component.save(), settings_blob({.history = "", .enabled = 0, .format = "%title%"}));

    client->load_settings(nullptr, 50);
    client->load_settings(blob.data(), -1);
    EXPECT_EQ(component.save(), settings_blob({.history = "", .enabled = 0, .format = "%title%"}));
}

} // namespace
