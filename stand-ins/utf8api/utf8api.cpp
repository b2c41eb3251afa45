// Stand-in for the host maker's utf8api.dll, for the tests and the simulated
// host only. Written from the binary contract; never shipped.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "host_abi.h"

using host::text_sink;

static std::vector<char> to_utf8(const wchar_t* text, int units)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
    std::vector<char> utf8(size_t(bytes) + 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, units, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

static std::vector<wchar_t> to_wide(const char* text)
{
    const int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::vector<wchar_t> wide(size_t(units > 0 ? units : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), units);
    return wide;
}

extern "C" BOOL __cdecl uGetWindowText(HWND window, text_sink* out)
{
    const int units = GetWindowTextLengthW(window);
    std::vector<wchar_t> wide(size_t(units) + 1, L'\0');
    // An empty text is a success; only an error set by the call is a failure.
    SetLastError(ERROR_SUCCESS);
    const int got = GetWindowTextW(window, wide.data(), units + 1);
    if (got == 0 && GetLastError() != ERROR_SUCCESS)
        return FALSE;
    out->assign(to_utf8(wide.data(), got).data(), 0xFFFFFFFFu);
    return TRUE;
}

extern "C" LRESULT __cdecl uSendMessageText(HWND window, UINT message, WPARAM wparam, const char* text)
{
    return SendMessageW(window, message, wparam, reinterpret_cast<LPARAM>(to_wide(text).data()));
}
