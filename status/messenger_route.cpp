#include "status/messenger_route.h"

#include <cstdio>
#include <cstring>

messenger_route::~messenger_route()
{
    if (custom_messages != nullptr)
        RegCloseKey(custom_messages);
    if (pager != nullptr)
        RegCloseKey(pager);
}

bool messenger_route::find_window()
{
    window = FindWindowA(messenger_window_class, nullptr);
    return window != nullptr;
}

// Opens a key of the current user's, never creating it; key stays null
// when that fails.
bool messenger_route::open_key(const char* path, REGSAM access, HKEY& key)
{
    result = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, &key);
    if (result == ERROR_SUCCESS)
        return true;
    key = nullptr;
    return false;
}

bool messenger_route::open_pager_key()
{
    return open_key(pager_key, KEY_QUERY_VALUE, pager);
}

// On success the registry gives at most the buffer's size.
bool messenger_route::read_user_id()
{
    DWORD size = user_id_capacity;
    result = RegQueryValueExA(pager, user_id_value, nullptr, nullptr, reinterpret_cast<BYTE*>(user_id), &size);
    if (result != ERROR_SUCCESS)
        return false;
    if (memchr(user_id, '\0', size) != nullptr)
        return true;
    if (size == user_id_capacity)
        return false;
    user_id[size] = '\0';
    return true;
}

// The pattern's fixed characters and the longest user ID that ends within
// its buffer always fit the key path, with its NUL.
static_assert(sizeof custom_messages_key_pattern - sizeof "%s" + user_id_capacity <= key_path_capacity, "a key path fits its buffer");

bool messenger_route::open_custom_messages()
{
    _snprintf(custom_messages_path, key_path_capacity, custom_messages_key_pattern, user_id);
    return open_key(custom_messages_path, KEY_SET_VALUE, custom_messages);
}

bool messenger_route::open()
{
    return find_window() && open_pager_key() && read_user_id() && open_custom_messages();
}

LONG messenger_route::publish(const char* text, uint32_t length)
{
    const LONG written = RegSetValueExA(custom_messages, status_value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), length + 1);
    RegCloseKey(custom_messages);
    custom_messages = nullptr;
    posted = PostMessageA(window, WM_COMMAND, status_changed_command, 0) != FALSE;
    return written;
}
