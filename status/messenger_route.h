#pragma once

#include <windows.h>

#include <cstdint>

#include "status/messenger_protocol.h"

// The way to the messenger's status value, one step at a time, in the order
// publishing takes it: the messenger's window, the Pager key, the user ID,
// the profile's Custom Msgs key. Each step needs the ones before it and says
// whether it succeeded; the route closes what it opened when it goes. The
// component publishes through it, and the status check walks it to show a
// user where the way ends.
class messenger_route {
public:
    messenger_route() = default;
    messenger_route(const messenger_route&) = delete;
    messenger_route& operator=(const messenger_route&) = delete;
    ~messenger_route();

    bool find_window();
    bool open_pager_key();
    // A user ID must end within its buffer: one that fills it without a NUL
    // is refused like one that does not fit.
    bool read_user_id();
    // Opened for setting values, never created.
    bool open_custom_messages();
    // All four steps.
    bool open();

    // Sets the status to text, UTF-8 of length bytes, as REG_SZ data of
    // length + 1 bytes: text[length] must be its NUL. Closes the profile key
    // and posts the command whatever the write gave, so that the messenger
    // looks again. Returns the write's result.
    LONG publish(const char* text, uint32_t length);

    HWND window = nullptr;
    bool posted = false;
    HKEY pager = nullptr;
    HKEY custom_messages = nullptr;
    // What the registry answered at the last of the four steps that asked
    // it; publish returns its own answer instead.
    LONG result = ERROR_SUCCESS;
    char user_id[user_id_capacity] = {};
    char custom_messages_path[key_path_capacity] = {};

private:
    bool open_key(const char* path, REGSAM access, HKEY& key);
};
