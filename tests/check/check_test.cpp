// The status check as a user runs it, against the stand-in messenger: where
// the way ends and what to do, that looking changes nothing, and what --try
// reports, on a pipe and on a console.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "failing_call.h"
#include "messenger_process.h"

namespace {

const char user[] = "vexil_checker";

struct run_result {
    DWORD exit_code = DWORD(-1);
    std::string output;
};

// A console of this process's own, wide enough that no line wraps, for the
// check to write on as it would in a command prompt.
class own_console {
public:
    own_console()
    {
        FreeConsole();
        AllocConsole();
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
        SetConsoleScreenBufferSize(screen, {columns, 100});
    }
    own_console(const own_console&) = delete;
    own_console& operator=(const own_console&) = delete;
    ~own_console()
    {
        CloseHandle(screen);
        FreeConsole();
    }

    // The rows written so far, as UTF-8 lines.
    std::string text() const
    {
        CONSOLE_SCREEN_BUFFER_INFO info = {};
        GetConsoleScreenBufferInfo(screen, &info);
        std::string lines;
        for (SHORT y = 0; y < info.dwCursorPosition.Y; ++y) {
            wchar_t row[columns];
            DWORD got = 0;
            ReadConsoleOutputCharacterW(screen, row, columns, {0, y}, &got);
            char bytes[columns * 4];
            const std::string line(bytes, size_t(WideCharToMultiByte(CP_UTF8, 0, row, int(got), bytes, sizeof bytes, nullptr, nullptr)));
            lines += line.substr(0, line.find_last_not_of(' ') + 1) + '\n';
        }
        return lines;
    }

    static constexpr SHORT columns = 400;
    HANDLE screen;
};

enum class output { pipe, console };

// Runs the status check with arguments, given as Unicode, and collects what
// it writes into a pipe or onto a console.
run_result run_check(const std::wstring& arguments, output to = output::pipe, const char* program = "vexil_check.exe")
{
    run_result result;
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    std::unique_ptr<own_console> console;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    if (to == output::console)
        console = std::make_unique<own_console>();
    else if (CreatePipe(&read_end, &write_end, &inherit, 0))
        SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    else
        return result;
    const std::string path = messenger::program_beside_this_one(program);
    std::wstring command = L"\"" + std::wstring(path.begin(), path.end()) + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = console != nullptr ? console->screen : write_end;
    startup.hStdError = startup.hStdOutput;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(write_end);
    // On a console there is no pipe, and the reads end at once.
    if (started) {
        char chunk[4096];
        DWORD got;
        while (ReadFile(read_end, chunk, sizeof chunk, &got, nullptr) && got > 0)
            result.output.append(chunk, got);
        if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &result.exit_code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(read_end);
    if (console != nullptr)
        result.output = console->text();
    return result;
}

// The stand-in messenger, started when it is to be running.
std::unique_ptr<messenger::process> messenger_if(bool running)
{
    if (!running)
        return nullptr;
    auto started = std::make_unique<messenger::process>();
    EXPECT_TRUE(started->start("--quiet")) << "the stand-in messenger did not start";
    return started;
}

struct situation {
    const char* name;
    bool messenger_running;
    std::function<void()> prepare;
    DWORD exit_code;
    // The line of the step where the way ends, or the last line when it
    // does not.
    const char* telling_line;
    // The line right after it, when the way ends.
    const char* advice;
};

TEST(StatusCheck, SaysWhereTheWayEndsAndChangesNothing)
{
    const std::string longest(64, 'v');
    const std::vector<situation> situations = {
        {"no messenger window", false, [] { messenger::prepare_user(user); }, 1, "  messenger window: missing",
         "What to do: start Yahoo! Messenger and sign in, then run this check again."},
        {"a window but no user ID", true, [] { messenger::create_key(messenger::pager_key); }, 1, "  user ID: missing",
         "What to do: nobody is signed in; sign in to Yahoo! Messenger, then run this check again."},
        {"a user ID without a profile", true, [] { messenger::store_user_id(user, sizeof user, REG_SZ); }, 1, "  Custom Msgs key: missing",
         "What to do: sign in to Yahoo! Messenger as vexil_checker once, so that it sets up the profile and its custom messages, then run this check again."},
        {"a user ID that fills all 64 bytes", true,
         [&] {
             messenger::prepare_user(longest);
             messenger::prepare_user(longest.substr(0, 63));
             messenger::store_user_id(longest.data(), 64, REG_BINARY);
         },
         1, "  user ID: unusable", "What to do: the component reads user IDs of up to 63 bytes; sign in with a shorter Yahoo! ID."},
        {"ready", true, [] { messenger::prepare_user(user); }, 0, "Ready on the messenger's side", nullptr},
    };
    for (const situation& s : situations) {
        SCOPED_TRACE(s.name);
        messenger::forget_everything();
        s.prepare();
        const std::unique_ptr<messenger::process> shown_by = messenger_if(s.messenger_running);
        const std::vector<std::string> before = messenger::stored_tree(true);

        const run_result checked = run_check(L"");

        EXPECT_EQ(checked.exit_code, s.exit_code);
        const size_t at = checked.output.find(s.telling_line);
        ASSERT_NE(at, std::string::npos) << checked.output;
        if (s.advice != nullptr) {
            const size_t next = checked.output.find('\n', at) + 1;
            EXPECT_EQ(checked.output.substr(next, checked.output.find('\n', next) - next), s.advice) << checked.output;
        }
        EXPECT_EQ(messenger::stored_tree(true), before) << "the check wrote to the registry";
        if (shown_by != nullptr) {
            EXPECT_TRUE(shown_by->sync());
            EXPECT_EQ(shown_by->status_commands() + shown_by->other_commands(), 0) << "the check posted a command";
        }
    }
    messenger::forget_everything();
}

struct attempt {
    const char* name;
    output to;
    // The OS call that fails, in the check built with a route that fails it.
    const char* failing_call;
    bool messenger_running;
    const wchar_t* text;
    // Value "5" afterwards, as UTF-8, or null when it was not written.
    const char* written;
    LONG commands;
    DWORD exit_code;
    // What the check says of it, whole lines.
    const char* telling;
};

// A text from the command line arrives as its UTF-8 bytes, with one command,
// and shows as itself on a console; when only the write or only the command
// worked, the check says which and does not report success.
TEST(StatusCheck, TrySaysWhatReachedTheMessenger)
{
    const std::vector<attempt> attempts = {
        {"published", output::pipe, nullptr, true, L"caf\u00e9 \u65e5\u672c \U0001F3B5", "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5", 1, 0,
         "Value \"5\" set to \"caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5\".\nTold the messenger (command 392).\n"},
        {"published, seen on a console", output::console, nullptr, true, L"J\u00f3ga-Bj\u00f6rk", "J\xC3\xB3ga-Bj\xC3\xB6rk", 1, 0,
         "Value \"5\" set to \"J\xC3\xB3ga-Bj\xC3\xB6rk\".\nTold the messenger (command 392).\n"},
        {"the write refused", output::pipe, "RegSetValueExA", true, L"unwritten", nullptr, 1, 1,
         "Value \"5\" could not be set: access refused.\nTold the messenger (command 392).\n"},
        {"the command refused", output::pipe, "PostMessageA", true, L"untold", "untold", 0, 1,
         "Value \"5\" set to \"untold\".\nCould not tell the messenger (command 392).\n"},
        {"no messenger", output::pipe, nullptr, false, L"nothing", nullptr, 0, 1, "  messenger window: missing"},
    };
    for (const attempt& a : attempts) {
        SCOPED_TRACE(a.name);
        messenger::forget_everything();
        messenger::prepare_user(user);
        const std::unique_ptr<messenger::process> shown_by = messenger_if(a.messenger_running);
        SetEnvironmentVariableA(failing_call_variable, a.failing_call);

        const run_result tried = run_check(L"--try \"" + std::wstring(a.text) + L"\"", a.to,
                                           a.failing_call != nullptr ? "check_with_failing_call.exe" : "vexil_check.exe");

        SetEnvironmentVariableA(failing_call_variable, nullptr);
        EXPECT_EQ(tried.exit_code, a.exit_code) << tried.output;
        EXPECT_NE(tried.output.find(a.telling), std::string::npos) << tried.output;
        const messenger::registry_value status = messenger::read_value(messenger::profile_key(user), messenger::status_value);
        if (a.written != nullptr) {
            EXPECT_EQ(status.type, DWORD(REG_SZ));
            EXPECT_EQ(status.bytes, std::string(a.written) + '\0');
        } else {
            EXPECT_EQ(status.result, ERROR_FILE_NOT_FOUND);
        }
        if (shown_by != nullptr) {
            EXPECT_TRUE(shown_by->sync());
            EXPECT_EQ(shown_by->status_commands(), a.commands);
        }
    }
    messenger::forget_everything();
}

TEST(StatusCheck, RefusesArgumentsItDoesNotKnow)
{
    for (const wchar_t* arguments : {L"--tyr x", L"--try", L"--try a b", L"extra"})
        EXPECT_EQ(run_check(arguments).exit_code, 2u) << arguments;
}

} // namespace
