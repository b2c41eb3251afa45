#include "prefs_window.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace sim {

namespace {

constexpr char frame_class[] = "sim_host_preferences";
constexpr int page_list_width = 170;
constexpr int margin = 8;

struct frame_state {
    host::preferences_page* page = nullptr;
    HWND page_window = nullptr;
    HWND page_list = nullptr;
};

LRESULT CALLBACK frame_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* state = reinterpret_cast<frame_state*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_CLOSE:
        if (state != nullptr && state->page_window != nullptr) {
            DestroyWindow(state->page_window);
            state->page_window = nullptr;
        }
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void pump_for(DWORD milliseconds)
{
    const DWORD until = GetTickCount() + milliseconds;
    MSG message;
    while (GetTickCount() < until) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

bool save_bitmap(HWND window, const std::string& path)
{
    // The client area only: without a window manager nobody draws the frame.
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD row = DWORD((width * 3 + 3) & ~3);
    const DWORD image_size = row * DWORD(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + image_size;
    info.bmiHeader.biSizeImage = image_size;
    bool written = false;
    if (FILE* out = fopen(path.c_str(), "wb")) {
        written = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                  fwrite(bits, 1, image_size, out) == image_size;
        written = fclose(out) == 0 && written;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

HWND make_frame(frame_state& state)
{
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = frame_proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.lpszClassName = frame_class;
    RegisterClassA(&window_class);
    HWND frame = CreateWindowExA(WS_EX_DLGMODALFRAME, frame_class, "Preferences: Vexil Status", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                 40, 40, 760, 330, nullptr, nullptr, window_class.hInstance, nullptr);
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    RECT client;
    GetClientRect(frame, &client);
    state.page_list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, margin, margin, page_list_width,
                                 client.bottom - 2 * margin, frame, nullptr, window_class.hInstance, nullptr);
    SendMessageA(state.page_list, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return frame;
}

} // namespace

int run_prefs_window(host::module_client* client, const std::string& screenshot, bool dropdown)
{
    frame_state state;
    state.page = host::instance<host::preferences_page>(client, host::preferences_page_class);
    if (state.page == nullptr)
        return 1;
    HWND frame = make_frame(state);
    SendMessageA(state.page_list, LB_ADDSTRING, 0, LPARAM("Playback"));
    SendMessageA(state.page_list, LB_ADDSTRING, 0, LPARAM(state.page->get_parent_name()));
    const std::string listed = std::string("      ") + state.page->get_name();
    const LRESULT index = SendMessageA(state.page_list, LB_ADDSTRING, 0, LPARAM(listed.c_str()));
    SendMessageA(state.page_list, LB_SETCURSEL, WPARAM(index), 0);

    state.page_window = state.page->create(frame);
    if (state.page_window == nullptr) {
        fprintf(stderr, "sim_host: the page could not be created\n");
        DestroyWindow(frame);
        state.page->release();
        return 1;
    }
    SetWindowPos(state.page_window, nullptr, page_list_width + 2 * margin, margin, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);

    int status = 0;
    if (!screenshot.empty()) {
        pump_for(700);
        if (dropdown) {
            SendDlgItemMessageA(state.page_window, host::page::format_combo, CB_SHOWDROPDOWN, TRUE, 0);
            pump_for(500);
        }
        if (!save_bitmap(frame, screenshot)) {
            fprintf(stderr, "sim_host: cannot write %s\n", screenshot.c_str());
            status = 1;
        }
        SendMessageA(frame, WM_CLOSE, 0, 0);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(state.page_window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    state.page->release();
    return status;
}

} // namespace sim
