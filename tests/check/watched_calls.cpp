// The status check with its OS calls watched (os_calls.h): every registry
// key it takes must be given back once, and one call can be staged as
// Windows may answer it, the one that the variable of staged_call.h names.
// The check's own import table leads every call of these functions here,
// wherever in the check it is made. Both say so on standard error, which
// each row's transcript holds: a staged call when it is reached, and the
// keys out of balance when the check ends.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../import_hooks.h"
#include "../os_calls.h"
#include "staged_call.h"

namespace {

void tell(const std::string& line)
{
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), DWORD(line.size()), &written, nullptr);
}

struct staged_from_the_variable {
    staged_from_the_variable()
    {
        char function[32];
        int call;
        unsigned long answer;
        const char* staged = getenv(staged_call_variable);
        if (staged != nullptr && sscanf(staged, "%31s %d %lu", function, &call, &answer) == 3)
            os_calls::stage(function, call, answer);
        os_calls::staged().tell = tell;
    }
    // Once the check has ended and given back what it meant to.
    ~staged_from_the_variable()
    {
        const std::string said = os_calls::keys_unbalanced();
        if (!said.empty())
            tell("registry keys: " + said + "\n");
    }
} const staged;

const auto real_malloc = hooks::real<void*(__cdecl*)(size_t)>("msvcrt.dll", "malloc");
const auto real_cp_info = hooks::real<decltype(&GetCPInfo)>("kernel32.dll", "GetCPInfo");
const auto real_get_proc_address = hooks::real<decltype(&GetProcAddress)>("kernel32.dll", "GetProcAddress");

void* __cdecl allocate(size_t size)
{
    return os_calls::answers_as_staged("malloc") ? nullptr : real_malloc(size);
}

BOOL WINAPI cp_info(UINT code_page, LPCPINFO info)
{
    return real_cp_info(os_calls::answers_as_staged("GetCPInfo", "told of code page") ? os_calls::staged().answer : code_page, info);
}

FARPROC WINAPI get_proc_address(HMODULE module, LPCSTR name)
{
    return os_calls::answers_as_staged("GetProcAddress") ? os_calls::failed<FARPROC>(nullptr) : real_get_proc_address(module, name);
}

// In place before wmain runs, for the life of the program.
const HMODULE check = GetModuleHandleA(nullptr);
const os_calls::watch window_and_registry(check);
const hooks::import_hook watched[] = {
    {check, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&allocate)},
    {check, "KERNEL32.dll", "GetCPInfo", reinterpret_cast<void*>(&cp_info)},
    {check, "KERNEL32.dll", "GetProcAddress", reinterpret_cast<void*>(&get_proc_address)},
};

} // namespace
