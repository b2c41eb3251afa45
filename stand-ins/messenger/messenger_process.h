#pragma once

// Starts the stand-in messenger in a process of its own and talks to it.

#include <windows.h>

#include <string>

#include "beside_this_program.h"
#include "messenger_side.h"

namespace messenger {

class process {
public:
    process() = default;
    process(const process&) = delete;
    process& operator=(const process&) = delete;
    ~process() { stop(); }

    // Starts the messenger, which ends with this process at the latest, and
    // waits until its main window exists.
    bool start(const std::string& arguments = "")
    {
        synced = CreateEventA(nullptr, FALSE, FALSE, synced_event);
        std::string command = "\"" + beside_this_program("messenger.exe") + "\" --parent " + std::to_string(GetCurrentProcessId()) + " " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
            return false;
        for (int waited = 0; waited < 20000; waited += 20) {
            window = FindWindowA(window_class, nullptr);
            if (window != nullptr)
                return true;
            Sleep(20);
        }
        return false;
    }

    // Returns once the messenger has handled everything posted to it so far.
    bool sync() const
    {
        if (window == nullptr || !PostMessageA(window, sync_message, 0, 0))
            return false;
        return WaitForSingleObject(synced, 10000) == WAIT_OBJECT_0;
    }

    LONG status_commands() const { return LONG(SendMessageA(window, count_status_commands, 0, 0)); }
    LONG other_commands() const { return LONG(SendMessageA(window, count_other_commands, 0, 0)); }

    void stop()
    {
        if (info.hProcess != nullptr) {
            if (window != nullptr)
                PostMessageA(window, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0)
                TerminateProcess(info.hProcess, 1);
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
            info = {};
        }
        if (synced != nullptr)
            CloseHandle(synced);
        synced = nullptr;
        window = nullptr;
    }

    HWND window = nullptr;

private:
    PROCESS_INFORMATION info = {};
    HANDLE synced = nullptr;
};

} // namespace messenger
