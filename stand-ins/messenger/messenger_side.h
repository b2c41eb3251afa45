#pragma once

// The messenger's protocol as its side declares it (window class, registry
// keys and values, command), and how tests and the simulated host talk to
// the stand-in besides it.

#include <windows.h>

#include <string>
#include <vector>

namespace messenger {

constexpr char window_class[] = "YahooBuddyMain";
// Everything the messenger keeps for the current user lies below this key.
constexpr char yahoo_key[] = "Software\\Yahoo";
constexpr char pager_key[] = "Software\\Yahoo\\Pager";
constexpr char profiles_key[] = "Software\\Yahoo\\Pager\\profiles";
constexpr char custom_messages_key[] = "Custom Msgs";
constexpr char user_id_value[] = "Yahoo! User ID";
constexpr char status_value[] = "5";
constexpr WPARAM status_command = 392;

// Posted: once handled, every message posted before it has been handled too,
// and the event below is set.
constexpr UINT sync_message = WM_APP + 1;
constexpr char synced_event[] = "vexil_messenger_synced";
// Sent: the number of WM_COMMAND 392 with lParam 0 received so far.
constexpr UINT count_status_commands = WM_APP + 2;
// Sent: the number of other WM_COMMAND messages received so far.
constexpr UINT count_other_commands = WM_APP + 3;

inline std::string profile_key(const std::string& user)
{
    return std::string(profiles_key) + "\\" + user + "\\" + custom_messages_key;
}

// Deletes every key and value the messenger keeps for the current user.
inline void forget_everything()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, yahoo_key);
}

// A value of the current user's registry as it is stored.
struct registry_value {
    LONG result = ERROR_FILE_NOT_FOUND;
    DWORD type = 0;
    std::string bytes;
};

inline registry_value read_value(const std::string& path, const char* name)
{
    registry_value value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return value;
    char data[4096];
    DWORD size = sizeof data;
    value.result = RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size);
    if (value.result == ERROR_SUCCESS)
        value.bytes.assign(data, size);
    RegCloseKey(key);
    return value;
}

inline bool key_exists(const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

namespace detail {
inline void list_tree(HKEY key, const std::string& path, bool with_data, std::vector<std::string>& out)
{
    char name[256];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        DWORD type = 0;
        DWORD size = sizeof data;
        if (RegEnumValueA(key, i, name, &length, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        std::string line = path + " = " + name;
        if (with_data)
            line += " (type " + std::to_string(type) + ") " + std::string(reinterpret_cast<char*>(data), size);
        out.push_back(line);
    }
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY child;
        const std::string child_path = path + "\\" + name;
        out.push_back(child_path);
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            list_tree(child, child_path, with_data, out);
            RegCloseKey(child);
        }
    }
}
} // namespace detail

// Every key and value the messenger keeps for the current user, one a line:
// a key's path, or "path = name" and, with data, the value's type and bytes.
inline std::vector<std::string> stored_tree(bool with_data)
{
    std::vector<std::string> out;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, yahoo_key, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        detail::list_tree(key, yahoo_key, with_data, out);
        RegCloseKey(key);
    }
    return out;
}

inline void create_key(const std::string& path)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
}

// Stores a user ID value as it stands, in any form and of any type.
inline void store_user_id(const void* bytes, DWORD size, DWORD type)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, pager_key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, user_id_value, 0, type, static_cast<const BYTE*>(bytes), size);
        RegCloseKey(key);
    }
}

// Sets user's status value to text, as the messenger keeps it, when the
// user's custom messages are there: with its NUL as REG_SZ, or as it stands
// in any other type.
inline void store_status(const std::string& user, const std::string& text, DWORD type = REG_SZ)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, profile_key(user).c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, status_value, 0, type, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + (type == REG_SZ ? 1 : 0)));
        RegCloseKey(key);
    }
}

// Stores user as the logged-in user, with an empty set of custom messages.
inline void prepare_user(const std::string& user)
{
    store_user_id(user.c_str(), DWORD(user.size() + 1), REG_SZ);
    create_key(profile_key(user));
}

// Stores a user ID that is too long for a reader of 64 bytes, as it stands,
// with a profile for all of it and for its first 64 and 63 bytes: a reader
// that took a part of it would find a profile there.
inline void store_too_long_user_id(const std::string& id, DWORD size, DWORD type)
{
    for (const size_t taken : {id.size(), size_t(64), size_t(63)})
        prepare_user(id.substr(0, taken));
    store_user_id(id.data(), size, type);
}

} // namespace messenger
