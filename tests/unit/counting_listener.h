#pragma once

#include <string>

#include "settings/setting.h"

// Counts the changes of one setting and keeps what the last one was told.
class counting_listener final : public setting_listener {
public:
    explicit counting_listener(setting* target) : setting_listener(target) {}
    void on_change(const char* name, setting* changed) override
    {
        ++calls;
        last_name = name;
        last_setting = changed;
    }
    int calls = 0;
    std::string last_name;
    setting* last_setting = nullptr;
};
