// The status check with its OS calls watched: every registry key it takes
// must be given back once, and one call can be staged as Windows may answer
// it, the one that the variable of staged_call.h names. The check's own
// import table leads every call of these functions here, wherever in the
// check it is made. Both say so on standard error, which each row's
// transcript holds: a staged call when it is reached, and the keys out of
// balance when the check ends.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../import_hooks.h"
#include "../key_ledger.h"
#include "staged_call.h"

namespace {

void tell(const std::string& line)
{
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), DWORD(line.size()), &written, nullptr);
}

struct staged_call {
    char function[32] = {};
    int call = 0;
    DWORD answer = 0;
    hooks::nth_call nth;

    staged_call()
    {
        const char* staged = getenv(staged_call_variable);
        if (staged != nullptr && sscanf(staged, "%31s %d %lu", function, &call, &answer) == 3)
            nth.fail(call);
    }

    // True when this call of the function is the staged one, which says so.
    bool now(const char* name, const char* answered)
    {
        if (strcmp(name, function) != 0 || !nth.fails_now())
            return false;
        tell("staged: call " + std::to_string(call) + " of " + function + " " + answered + " " + std::to_string(answer) + "\n");
        return true;
    }
};

staged_call staged;

// Said once the check has ended and given back what it meant to.
struct balance_at_the_end {
    ~balance_at_the_end()
    {
        const std::string said = key_ledger::unbalanced();
        if (!said.empty())
            tell("registry keys: " + said + "\n");
    }
} const at_the_end;

const auto real_query_value = hooks::real<decltype(&RegQueryValueExA)>("advapi32.dll", "RegQueryValueExA");
const auto real_set_value = hooks::real<decltype(&RegSetValueExA)>("advapi32.dll", "RegSetValueExA");
const auto real_post_message = hooks::real<decltype(&PostMessageA)>("user32.dll", "PostMessageA");
const auto real_malloc = hooks::real<void*(__cdecl*)(size_t)>("msvcrt.dll", "malloc");
const auto real_cp_info = hooks::real<decltype(&GetCPInfo)>("kernel32.dll", "GetCPInfo");
const auto real_get_proc_address = hooks::real<decltype(&GetProcAddress)>("kernel32.dll", "GetProcAddress");

LONG WINAPI open_key(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
{
    return staged.now("RegOpenKeyExA", "failed with error") ? LONG(staged.answer) : key_ledger::open_key(root, path, options, access, key);
}

LONG WINAPI query_value(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    return staged.now("RegQueryValueExA", "failed with error") ? LONG(staged.answer) : real_query_value(key, name, reserved, type, data, size);
}

LONG WINAPI set_value(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    return staged.now("RegSetValueExA", "failed with error") ? LONG(staged.answer) : real_set_value(key, name, reserved, type, data, size);
}

BOOL WINAPI post_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!staged.now("PostMessageA", "failed with error"))
        return real_post_message(window, message, wparam, lparam);
    SetLastError(staged.answer);
    return FALSE;
}

void* __cdecl allocate(size_t size)
{
    return staged.now("malloc", "failed with error") ? nullptr : real_malloc(size);
}

BOOL WINAPI cp_info(UINT code_page, LPCPINFO info)
{
    return real_cp_info(staged.now("GetCPInfo", "told of code page") ? staged.answer : code_page, info);
}

FARPROC WINAPI get_proc_address(HMODULE module, LPCSTR name)
{
    if (!staged.now("GetProcAddress", "failed with error"))
        return real_get_proc_address(module, name);
    SetLastError(staged.answer);
    return nullptr;
}

// In place before wmain runs, for the life of the program.
const HMODULE check = GetModuleHandleA(nullptr);
const hooks::import_hook watched[] = {
    {check, "ADVAPI32.dll", "RegOpenKeyExA", reinterpret_cast<void*>(&open_key)},
    {check, "ADVAPI32.dll", "RegCloseKey", reinterpret_cast<void*>(&key_ledger::close_key)},
    {check, "ADVAPI32.dll", "RegQueryValueExA", reinterpret_cast<void*>(&query_value)},
    {check, "ADVAPI32.dll", "RegSetValueExA", reinterpret_cast<void*>(&set_value)},
    {check, "USER32.dll", "PostMessageA", reinterpret_cast<void*>(&post_message)},
    {check, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&allocate)},
    {check, "KERNEL32.dll", "GetCPInfo", reinterpret_cast<void*>(&cp_info)},
    {check, "KERNEL32.dll", "GetProcAddress", reinterpret_cast<void*>(&get_proc_address)},
};

} // namespace
