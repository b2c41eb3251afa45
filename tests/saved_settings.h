#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "settings_records.h"

// The settings as a host reads them from what a save gave it; a malformed
// blob fails the test that asked.
inline host::stored_settings read_back(const std::vector<uint8_t>& blob)
{
    host::stored_settings settings;
    EXPECT_TRUE(host::read_settings(blob, settings)) << "the component saved a malformed blob";
    return settings;
}
