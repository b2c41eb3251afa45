#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The entries of a combo box's list, in the list's own order, as Unicode.
inline std::vector<std::wstring> combo_entries(HWND combo)
{
    std::vector<std::wstring> entries;
    const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        std::wstring text(size_t(SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(i), 0)), L'\0');
        SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(text.data()));
        entries.push_back(text);
    }
    return entries;
}
