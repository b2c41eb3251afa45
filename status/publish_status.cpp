#include "status/publish_status.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "settings/component_settings.h"
#include "status/messenger_protocol.h"
#include "text/text_buffer.h"

// A user ID must end within its buffer; one that fills it without a NUL is
// treated as a failed read.
static bool read_user_id(HKEY pager, char (&user_id)[user_id_capacity])
{
    DWORD size = user_id_capacity;
    if (RegQueryValueExA(pager, user_id_value, nullptr, nullptr, reinterpret_cast<BYTE*>(user_id), &size) != ERROR_SUCCESS)
        return false;
    if (size > user_id_capacity)
        return false;
    if (memchr(user_id, '\0', size) != nullptr)
        return true;
    if (size == user_id_capacity)
        return false;
    user_id[size] = '\0';
    return true;
}

static bool build_profile_path(const char* user_id, char (&path)[key_path_capacity])
{
    const int written = _snprintf(path, key_path_capacity, custom_messages_key_pattern, user_id);
    path[key_path_capacity - 1] = '\0';
    return written >= 0 && unsigned(written) < key_path_capacity;
}

static void write_status(HKEY pager, HWND messenger, text_buffer& title)
{
    char user_id[user_id_capacity];
    if (!read_user_id(pager, user_id))
        return;
    char path[key_path_capacity];
    if (!build_profile_path(user_id, path))
        return;
    HKEY profile;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &profile) != ERROR_SUCCESS)
        return;
    const char* text = title.data();
    RegSetValueExA(profile, status_value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), title.length() + 1);
    RegCloseKey(profile);
    PostMessageA(messenger, WM_COMMAND, status_changed_command, 0);
}

void publish_status(track_handle* track)
{
    text_buffer title;
    track->format_title(&title, vexil_status_format.value.get(), nullptr);
    // Part of a title would be a wrong status: better the one shown now.
    if (!title.complete())
        return;
    HWND messenger = FindWindowA(messenger_window_class, nullptr);
    if (messenger == nullptr)
        return;
    HKEY pager;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, pager_key, 0, KEY_QUERY_VALUE, &pager) != ERROR_SUCCESS)
        return;
    write_status(pager, messenger, title);
    RegCloseKey(pager);
}
