// The component's own route to the messenger, with the status write or the
// command failing as Windows may fail them, whichever the variable of
// failing_call.h names. Built into check_with_failing_call.exe, it shows
// what a user is told when only half of a publication worked.

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "failing_call.h"

namespace {

bool fails(const char* call)
{
    const char* failing = getenv(failing_call_variable);
    return failing != nullptr && strcmp(failing, call) == 0;
}

LONG WINAPI set_value_or_fail(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    return fails("RegSetValueExA") ? ERROR_ACCESS_DENIED : RegSetValueExA(key, name, reserved, type, data, size);
}

BOOL WINAPI post_or_fail(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!fails("PostMessageA"))
        return PostMessageA(window, message, wparam, lparam);
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

} // namespace

#define RegSetValueExA set_value_or_fail
#define PostMessageA post_or_fail
#include "status/messenger_route.cpp"
