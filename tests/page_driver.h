#pragma once

// Drives the component's preferences page as a user does, inside a host
// window: opens it, types into the format field, chooses, leaves, closes.

#include <windows.h>

#include <string>
#include <vector>

#include "combo_entries.h"
#include "host_abi.h"

class page_driver {
public:
    explicit page_driver(host::preferences_page* page) : page(page) {}
    page_driver(const page_driver&) = delete;
    page_driver& operator=(const page_driver&) = delete;
    ~page_driver() { close(); }

    // One host window for every page of the run: without a window manager,
    // Wine waits about two seconds whenever a visible top-level window goes.
    static HWND host_window()
    {
        static const HWND window =
            CreateWindowExA(0, "STATIC", "host preferences", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 400, nullptr, nullptr, nullptr, nullptr);
        return window;
    }

    // False when the page gave no window.
    bool open()
    {
        dialog = page->create(host_window());
        if (dialog == nullptr)
            return false;
        ShowWindow(dialog, SW_SHOW);
        pump();
        return true;
    }
    void close()
    {
        if (dialog != nullptr)
            DestroyWindow(dialog);
        dialog = nullptr;
    }
    static void pump()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    HWND control(int id) const { return GetDlgItem(dialog, id); }
    std::string edit_text() const
    {
        char text[512] = {};
        GetDlgItemTextA(dialog, host::page::format_combo, text, sizeof text);
        return text;
    }
    std::vector<std::wstring> list_entries() const { return combo_entries(control(host::page::format_combo)); }

    // The user clicks into the format field, types over its text, chooses
    // from its list, and leaves it for the check box.
    void enter_format_field() const
    {
        SetForegroundWindow(host_window());
        SetFocus(control(host::page::format_combo));
        pump();
    }
    static void type(const std::string& text)
    {
        HWND field = GetFocus();
        SendMessageA(field, EM_SETSEL, 0, -1);
        SendMessageA(field, WM_CHAR, VK_BACK, 0);
        for (const char c : text)
            SendMessageA(field, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 0);
        pump();
    }
    // The user drops the list, walks to the entry with the arrow keys and
    // takes it with Enter.
    void choose(int index) const
    {
        const HWND combo = control(host::page::format_combo);
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        for (int step = 0; step < 32; ++step) {
            const LRESULT at = SendMessageA(combo, CB_GETCURSEL, 0, 0);
            if (at == index)
                break;
            press(at < index ? VK_DOWN : VK_UP);
        }
        press(VK_RETURN);
    }
    static void press(WPARAM key)
    {
        const HWND field = GetFocus();
        SendMessageA(field, WM_KEYDOWN, key, 0);
        SendMessageA(field, WM_KEYUP, key, 0);
        pump();
    }
    void leave_format_field() const
    {
        SetFocus(control(host::page::enable_box));
        pump();
    }

    host::preferences_page* page;
    HWND dialog = nullptr;
};
