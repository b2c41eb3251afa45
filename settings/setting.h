#pragma once

#include <cstdint>

#include "contract/host_interfaces.h"
#include "text/owned_text.h"

class setting;

// A change listener. Records register themselves at construction and are
// linked into their setting's chain by hook_up_listeners.
class setting_listener {
public:
    virtual void on_change(const char* name, setting* changed) = 0;

    setting* target;
    setting_listener* next_registered;
    setting_listener* next_in_chain = nullptr;

protected:
    explicit setting_listener(setting* target);
    ~setting_listener() = default;
};

// A named persistent setting. Every setting links itself at the head of the
// module's settings list when it is constructed and is never unlinked.
class setting {
public:
    virtual void write_data(config_writer* writer) = 0;
    virtual void set_data(const void* bytes, int size) = 0;
    virtual void reset() = 0;

    void notify();

    owned_text name;
    setting* next;
    setting_listener* listeners = nullptr;

protected:
    explicit setting(const char* key);
    ~setting() = default;
};

// Newest setting first; this is also the record order of a saved blob.
extern setting* settings_list_head;
extern setting_listener* listener_list_head;
