#pragma once

#include "settings/setting.h"

class int_setting final : public setting {
public:
    int_setting(const char* key, int32_t default_value) : setting(key), value(default_value), default_value(default_value) {}

    void write_data(config_writer* writer) override;
    // Applies only data of exactly four bytes.
    void set_data(const void* bytes, int size) override;
    void reset() override;

    int32_t value;
    int32_t default_value;
};
