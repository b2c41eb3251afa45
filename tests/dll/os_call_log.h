#pragma once

// Records, in order, the window and registry calls the component makes,
// with the bytes of every value it sets, and forwards each to the real
// function, the key ledger's for the keys.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "../import_hooks.h"
#include "../key_ledger.h"

namespace os_calls {

inline std::vector<std::string>& log()
{
    static std::vector<std::string> calls;
    return calls;
}

inline std::string text_or_null(const char* text)
{
    return text != nullptr ? std::string(text) : std::string("(null)");
}

inline std::string root_name(HKEY root)
{
    return root == HKEY_CURRENT_USER ? "HKCU" : "other root";
}

inline HWND WINAPI find_window(LPCSTR window_class, LPCSTR title)
{
    log().push_back("FindWindowA " + text_or_null(window_class) + " " + text_or_null(title));
    return FindWindowA(window_class, title);
}

inline LONG WINAPI open_key(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
{
    log().push_back("RegOpenKeyExA " + root_name(root) + " " + text_or_null(path) + " options " + std::to_string(options) + " access " +
                    std::to_string(access));
    return key_ledger::open_key(root, path, options, access, key);
}

inline LONG WINAPI query_value(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    log().push_back("RegQueryValueExA " + text_or_null(name) + " size " + std::to_string(size != nullptr ? *size : 0));
    return RegQueryValueExA(key, name, reserved, type, data, size);
}

inline LONG WINAPI set_value(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    log().push_back("RegSetValueExA " + text_or_null(name) + " type " + std::to_string(type) + " size " + std::to_string(size) + " data " +
                    std::string(reinterpret_cast<const char*>(data), size));
    return RegSetValueExA(key, name, reserved, type, data, size);
}

inline LONG WINAPI close_key(HKEY key)
{
    log().push_back("RegCloseKey");
    return key_ledger::close_key(key);
}

inline BOOL WINAPI post_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    log().push_back("PostMessageA " + std::to_string(message) + " " + std::to_string(wparam) + " " + std::to_string(lparam));
    return PostMessageA(window, message, wparam, lparam);
}

// Watches the module's calls while it lives.
class recorder {
public:
    explicit recorder(HMODULE module)
    {
        log().clear();
        add(module, "USER32.dll", "FindWindowA", reinterpret_cast<void*>(&find_window));
        add(module, "USER32.dll", "PostMessageA", reinterpret_cast<void*>(&post_message));
        add(module, "ADVAPI32.dll", "RegOpenKeyExA", reinterpret_cast<void*>(&open_key));
        add(module, "ADVAPI32.dll", "RegQueryValueExA", reinterpret_cast<void*>(&query_value));
        add(module, "ADVAPI32.dll", "RegSetValueExA", reinterpret_cast<void*>(&set_value));
        add(module, "ADVAPI32.dll", "RegCloseKey", reinterpret_cast<void*>(&close_key));
    }

    bool installed() const
    {
        for (const auto& hook : hooks_in_place)
            if (!hook->installed())
                return false;
        return true;
    }

private:
    void add(HMODULE module, const char* library, const char* function, void* replacement)
    {
        hooks_in_place.push_back(std::make_unique<hooks::import_hook>(module, library, function, replacement));
    }

    std::vector<std::unique_ptr<hooks::import_hook>> hooks_in_place;
};

} // namespace os_calls
