#pragma once

#include "settings/setting.h"
#include "text/plain_text.h"

class text_setting : public setting {
public:
    text_setting(const char* key, const char* default_text) : setting(key)
    {
        value.assign(default_text, unbounded);
        default_value.assign(default_text, unbounded);
    }

    void write_data(config_writer* writer) override;
    // Takes the bytes up to the first NUL; notifies also when the value is
    // unchanged. Each of these keeps the old value, and tells nobody, when
    // there is no memory for the new one.
    void set_data(const void* bytes, int size) override;
    void reset() override;

    // Replaces the value with text and notifies; without memory for the copy
    // it keeps the old value and tells nobody, as set_data does.
    void store(const char* text);

    owned_text value;
    owned_text default_value;
};
