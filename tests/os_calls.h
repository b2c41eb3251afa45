#pragma once

// The OS calls a module makes, watched through its import table while a
// watch lives: each is logged in order, with the bytes of every value set;
// one call can be staged to answer as Windows may instead; and the registry
// keys the module takes are kept in a ledger. Every key it takes must be
// given back once before the call that took it returns, and it may close no
// key it did not take. The replacements forward to the functions
// themselves, so that a module whose own imports are watched (the status
// check) does not call back into them.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "import_hooks.h"

namespace os_calls {

inline std::vector<std::string>& log()
{
    static std::vector<std::string> calls;
    return calls;
}

// The Nth call of a function (every one for 0) answers as staged: a
// registry function fails with the answer as its error; PostMessageA,
// FindWindowA, CreateDialogParamA, WideCharToMultiByte and GetProcAddress
// fail with it as the last error; a utf8api read fails; malloc gives no
// memory; GetCPInfo tells of code page answer. tell, when given, hears
// that it was reached.
struct staged_call {
    std::string function;
    int call = 0;
    DWORD answer = 0;
    hooks::nth_call nth;
    void (*tell)(const std::string& line) = nullptr;
};

inline staged_call& staged()
{
    static staged_call one;
    return one;
}

inline void stage(const std::string& function, int call, DWORD answer)
{
    staged().function = function;
    staged().call = call;
    staged().answer = answer;
    staged().nth.fail(call);
}

inline void stage_nothing()
{
    staged().function.clear();
}

// True when this call of function is the staged one.
inline bool answers_as_staged(const char* function, const char* answered = "failed with error")
{
    staged_call& s = staged();
    if (s.function != function || !s.nth.fails_now())
        return false;
    if (s.tell != nullptr)
        s.tell("staged: call " + std::to_string(s.call) + " of " + s.function + " " + answered + " " + std::to_string(s.answer) + "\n");
    return true;
}

// A failure that leaves its reason as the last error.
template <class Result>
Result failed(Result result)
{
    SetLastError(staged().answer);
    return result;
}

struct key_balance {
    std::vector<HKEY> open;
    int closed_not_open = 0;
};

inline key_balance& keys()
{
    static key_balance counted;
    return counted;
}

// What is out of balance, in words, or nothing; the count starts over.
inline std::string keys_unbalanced()
{
    const key_balance now = keys();
    keys() = {};
    std::string said;
    if (!now.open.empty())
        said = std::to_string(now.open.size()) + " key(s) left open";
    if (now.closed_not_open > 0)
        said += (said.empty() ? "" : ", ") + std::to_string(now.closed_not_open) + " close(s) of a key not open";
    return said;
}

inline std::string text_or_null(const char* text)
{
    return text != nullptr ? std::string(text) : std::string("(null)");
}

// Looked up before any hook is in place.
inline const auto real_find_window = hooks::real<decltype(&FindWindowA)>("user32.dll", "FindWindowA");
inline const auto real_post_message = hooks::real<decltype(&PostMessageA)>("user32.dll", "PostMessageA");
inline const auto real_open_key = hooks::real<decltype(&RegOpenKeyExA)>("advapi32.dll", "RegOpenKeyExA");
inline const auto real_query_value = hooks::real<decltype(&RegQueryValueExA)>("advapi32.dll", "RegQueryValueExA");
inline const auto real_set_value = hooks::real<decltype(&RegSetValueExA)>("advapi32.dll", "RegSetValueExA");
inline const auto real_close_key = hooks::real<decltype(&RegCloseKey)>("advapi32.dll", "RegCloseKey");

inline HWND WINAPI find_window(LPCSTR window_class, LPCSTR title)
{
    log().push_back("FindWindowA " + text_or_null(window_class) + " " + text_or_null(title));
    return answers_as_staged("FindWindowA") ? failed<HWND>(nullptr) : real_find_window(window_class, title);
}

inline LONG WINAPI open_key(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
{
    log().push_back("RegOpenKeyExA " + std::string(root == HKEY_CURRENT_USER ? "HKCU" : "other root") + " " + text_or_null(path) + " options " +
                    std::to_string(options) + " access " + std::to_string(access));
    if (answers_as_staged("RegOpenKeyExA"))
        return LONG(staged().answer);
    const LONG result = real_open_key(root, path, options, access, key);
    if (result == ERROR_SUCCESS)
        keys().open.push_back(*key);
    return result;
}

inline LONG WINAPI query_value(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    log().push_back("RegQueryValueExA " + text_or_null(name) + " size " + std::to_string(size != nullptr ? *size : 0));
    return answers_as_staged("RegQueryValueExA") ? LONG(staged().answer) : real_query_value(key, name, reserved, type, data, size);
}

inline LONG WINAPI set_value(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    log().push_back("RegSetValueExA " + text_or_null(name) + " type " + std::to_string(type) + " size " + std::to_string(size) + " data " +
                    std::string(reinterpret_cast<const char*>(data), size));
    return answers_as_staged("RegSetValueExA") ? LONG(staged().answer) : real_set_value(key, name, reserved, type, data, size);
}

inline LONG WINAPI close_key(HKEY key)
{
    log().push_back("RegCloseKey");
    std::vector<HKEY>& open = keys().open;
    const auto taken = std::find(open.begin(), open.end(), key);
    if (taken != open.end())
        open.erase(taken);
    else
        ++keys().closed_not_open;
    return real_close_key(key);
}

inline BOOL WINAPI post_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    log().push_back("PostMessageA " + std::to_string(message) + " " + std::to_string(wparam) + " " + std::to_string(lparam));
    return answers_as_staged("PostMessageA") ? failed(FALSE) : real_post_message(window, message, wparam, lparam);
}

// Watches a module's window and registry calls while it lives.
class watch {
public:
    explicit watch(HMODULE module)
        : hooked{{module, "USER32.dll", "FindWindowA", reinterpret_cast<void*>(&find_window)},
                 {module, "USER32.dll", "PostMessageA", reinterpret_cast<void*>(&post_message)},
                 {module, "ADVAPI32.dll", "RegOpenKeyExA", reinterpret_cast<void*>(&open_key)},
                 {module, "ADVAPI32.dll", "RegQueryValueExA", reinterpret_cast<void*>(&query_value)},
                 {module, "ADVAPI32.dll", "RegSetValueExA", reinterpret_cast<void*>(&set_value)},
                 {module, "ADVAPI32.dll", "RegCloseKey", reinterpret_cast<void*>(&close_key)}}
    {
    }

    bool installed() const
    {
        return std::all_of(std::begin(hooked), std::end(hooked), [](const hooks::import_hook& hook) { return hook.installed(); });
    }

private:
    const hooks::import_hook hooked[6];
};

} // namespace os_calls
