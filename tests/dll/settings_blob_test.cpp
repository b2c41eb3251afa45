#include <gtest/gtest.h>

#include "loaded_component.h"

namespace {

using bytes = std::vector<uint8_t>;

using SettingsBlob = component_test;

// Today's fresh blob is 103 bytes: a change of its length changes what
// every user's player stores.
TEST_F(SettingsBlob, AFreshComponentSavesItsDefaultsInListOrderOneWriteAField)
{
    const bytes fresh = host::settings_blob(host::fresh_settings());
    ASSERT_EQ(fresh.size(), 103u);
    host::blob_writer writer;
    client->save_settings(&writer);
    EXPECT_EQ(writer.blob, fresh);
    EXPECT_EQ(writer.write_sizes, host::write_sizes(fresh));
}

// The export's save, load and reset; and a host without a store of its own
// yet, which passes no writer. A damaged blob's load is the settings' own
// (tests/unit/settings_test.cpp, under Wine as well).
TEST_F(SettingsBlob, SaveLoadResetRoundTripAndANullWriter)
{
    const bytes changed = host::settings_blob({.history = "b\na\n", .enabled = 0, .format = "%artist% \xE2\x80\x93 %title%"});
    component.load(changed);
    client->save_settings(nullptr);
    const bytes saved = component.save();
    EXPECT_EQ(saved, changed);

    client->reset_settings();
    EXPECT_EQ(component.save(), host::settings_blob(host::fresh_settings()));
    component.load(saved);
    EXPECT_EQ(component.save(), changed);
}

} // namespace
