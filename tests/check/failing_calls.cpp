// The status check with one OS call failing as Windows may fail it, the one
// that the variable of failing_call.h stages. The check's own import table
// leads every call of the function here, wherever in the check it is made.
// A staged failure that is reached says so on standard error, so that a row
// whose failure is never reached fails its transcript.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "failing_call.h"
#include "../import_hooks.h"

namespace {

struct staged_failure {
    char function[32] = {};
    int call = 0;
    DWORD error = 0;
    int calls_seen = 0;

    staged_failure()
    {
        const char* staged = getenv(failing_call_variable);
        if (staged == nullptr || sscanf(staged, "%31s %d %lu", function, &call, &error) != 3)
            function[0] = '\0';
    }

    bool fails_now(const char* name)
    {
        if (strcmp(name, function) != 0 || ++calls_seen != call)
            return false;
        char line[96];
        const int length = snprintf(line, sizeof line, "staged: call %d of %s failed with error %lu\n", call, function, error);
        DWORD written;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, DWORD(length), &written, nullptr);
        return true;
    }
};

staged_failure staged;

// The function itself: the check's import table leads here.
template <class Function>
Function real(const char* library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(library), name)));
}
const auto real_open_key = real<decltype(&RegOpenKeyExA)>("advapi32.dll", "RegOpenKeyExA");
const auto real_query_value = real<decltype(&RegQueryValueExA)>("advapi32.dll", "RegQueryValueExA");
const auto real_set_value = real<decltype(&RegSetValueExA)>("advapi32.dll", "RegSetValueExA");
const auto real_post_message = real<decltype(&PostMessageA)>("user32.dll", "PostMessageA");
const auto real_malloc = real<void*(__cdecl*)(size_t)>("msvcrt.dll", "malloc");

LONG WINAPI open_key(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
{
    return staged.fails_now("RegOpenKeyExA") ? LONG(staged.error) : real_open_key(root, path, options, access, key);
}

LONG WINAPI query_value(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    return staged.fails_now("RegQueryValueExA") ? LONG(staged.error) : real_query_value(key, name, reserved, type, data, size);
}

LONG WINAPI set_value(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    return staged.fails_now("RegSetValueExA") ? LONG(staged.error) : real_set_value(key, name, reserved, type, data, size);
}

BOOL WINAPI post_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!staged.fails_now("PostMessageA"))
        return real_post_message(window, message, wparam, lparam);
    SetLastError(staged.error);
    return FALSE;
}

void* __cdecl allocate(size_t size)
{
    return staged.fails_now("malloc") ? nullptr : real_malloc(size);
}

// In place before wmain runs, for the life of the program.
const HMODULE check = GetModuleHandleA(nullptr);
const hooks::import_hook staged_hooks[] = {
    {check, "ADVAPI32.dll", "RegOpenKeyExA", reinterpret_cast<void*>(&open_key)},
    {check, "ADVAPI32.dll", "RegQueryValueExA", reinterpret_cast<void*>(&query_value)},
    {check, "ADVAPI32.dll", "RegSetValueExA", reinterpret_cast<void*>(&set_value)},
    {check, "USER32.dll", "PostMessageA", reinterpret_cast<void*>(&post_message)},
    {check, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&allocate)},
};

} // namespace
