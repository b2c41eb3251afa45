// Stand-in for Yahoo! Messenger, for the tests and the demo only: a main
// window of the messenger's class that shows the custom status message
// whenever it is told, by command 392, that the message changed.
//
//   messenger [--user ID] [--quiet] [--parent PID]
//
// With --user it first prepares the registry for ID as a logged-in user;
// with --parent it ends when process PID does, so that a test that crashes
// leaves no messenger behind holding its output.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "messenger_side.h"

namespace {

LONG status_commands = 0;
LONG other_commands = 0;
bool quiet = false;
HANDLE synced = nullptr;
HANDLE parent = nullptr;

// The text of a value, up to its NUL, or what is missing.
std::string read_text(const std::string& path, const char* name)
{
    if (!messenger::key_exists(path))
        return "(no key)";
    const messenger::registry_value value = messenger::read_value(path, name);
    if (value.result != ERROR_SUCCESS)
        return "(no value)";
    return value.bytes.substr(0, value.bytes.find('\0'));
}

void show_status()
{
    const std::string user = read_text(messenger::pager_key, messenger::user_id_value);
    const std::string status = read_text(messenger::profile_key(user), messenger::status_value);
    if (!quiet) {
        printf("  messenger: %s is now \"%s\"\n", user.c_str(), status.c_str());
        fflush(stdout);
    }
}

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_COMMAND:
        if (wparam == messenger::status_command && lparam == 0) {
            InterlockedIncrement(&status_commands);
            show_status();
        } else {
            InterlockedIncrement(&other_commands);
        }
        return 0;
    case messenger::sync_message:
        SetEvent(synced);
        return 0;
    case messenger::count_status_commands:
        return status_commands;
    case messenger::count_other_commands:
        return other_commands;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int run()
{
    synced = CreateEventA(nullptr, FALSE, FALSE, messenger::synced_event);
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = window_proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = messenger::window_class;
    RegisterClassA(&window_class);
    HWND window = CreateWindowExA(0, messenger::window_class, "Yahoo! Messenger (stand-in)", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                  window_class.hInstance, nullptr);
    if (window == nullptr)
        return 1;
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(parent != nullptr ? 1 : 0, &parent, FALSE, INFINITE, QS_ALLINPUT);
        if (parent != nullptr && woken == WAIT_OBJECT_0)
            break;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                CloseHandle(synced);
                return 0;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    CloseHandle(synced);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--user" && i + 1 < argc)
            messenger::prepare_user(argv[++i]);
        else if (option == "--parent" && i + 1 < argc)
            parent = OpenProcess(SYNCHRONIZE, FALSE, DWORD(strtoul(argv[++i], nullptr, 10)));
        else if (option == "--quiet")
            quiet = true;
    }
    return run();
}
