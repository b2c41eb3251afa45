// The status check as a user runs it, against the stand-in messenger: where
// the way ends and what to do, that looking changes nothing, and what --try
// reports, on a pipe and on a console.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "beside_this_program.h"
#include "failing_call.h"
#include "messenger_process.h"

namespace {

const char user[] = "vexil_checker";

struct run_result {
    DWORD exit_code = DWORD(-1);
    std::string output;
    std::string errors;
};

// A console for the check to write on, read back as text: this process's
// own, which the check shares as it would a command prompt's, or the one the
// check was started with, attached to.
class console_screen {
public:
    explicit console_screen(DWORD attach_to = 0)
    {
        FreeConsole();
        if (attach_to != 0)
            AttachConsole(attach_to);
        else
            AllocConsole();
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
        if (attach_to == 0)
            SetConsoleScreenBufferSize(screen, {columns, 100});
    }
    console_screen(const console_screen&) = delete;
    console_screen& operator=(const console_screen&) = delete;
    ~console_screen()
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

    static void press_enter()
    {
        const HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        INPUT_RECORD keys[2] = {};
        for (int i = 0; i < 2; ++i) {
            keys[i].EventType = KEY_EVENT;
            keys[i].Event.KeyEvent.bKeyDown = i == 0;
            keys[i].Event.KeyEvent.wRepeatCount = 1;
            keys[i].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
            keys[i].Event.KeyEvent.uChar.UnicodeChar = L'\r';
        }
        DWORD written;
        WriteConsoleInputW(input, keys, 2, &written);
        CloseHandle(input);
    }

    static constexpr SHORT columns = 400;
    HANDLE screen;
};

enum class output { pipe, console };

// A pipe the check inherits the write end of, read once the check has ended:
// it holds all the check writes, so that the check never waits for it.
class inherited_pipe {
public:
    inherited_pipe()
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        if (CreatePipe(&read_end, &write_end, &inherit, 1 << 16))
            SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    }
    inherited_pipe(const inherited_pipe&) = delete;
    inherited_pipe& operator=(const inherited_pipe&) = delete;
    ~inherited_pipe()
    {
        CloseHandle(write_end);
        CloseHandle(read_end);
    }

    std::string drained()
    {
        CloseHandle(write_end);
        write_end = nullptr;
        std::string text;
        char chunk[4096];
        DWORD got;
        while (ReadFile(read_end, chunk, sizeof chunk, &got, nullptr) && got > 0)
            text.append(chunk, got);
        return text;
    }

    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
};

std::wstring command_line(const char* program, const std::wstring& arguments)
{
    const std::string path = beside_this_program(program);
    return L"\"" + std::wstring(path.begin(), path.end()) + L"\" " + arguments;
}

// Runs the status check with arguments, given as Unicode, and collects what
// it writes into pipes or onto a console this process shares with it. A
// check that has not ended after 30 seconds is ended, failing.
run_result run_check(const std::wstring& arguments, output to = output::pipe, const char* program = "vexil_check.exe", DWORD creation_flags = 0)
{
    run_result result;
    // The console first: its host process would inherit the pipes and hold
    // them open.
    const std::unique_ptr<console_screen> console = to == output::console ? std::make_unique<console_screen>() : nullptr;
    inherited_pipe out;
    inherited_pipe errors;
    std::wstring command = command_line(program, arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = console != nullptr ? console->screen : out.write_end;
    startup.hStdError = console != nullptr ? console->screen : errors.write_end;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, creation_flags, nullptr, nullptr, &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &result.exit_code);
        else
            TerminateProcess(process.hProcess, DWORD(-1));
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    result.output = console != nullptr ? console->text() : out.drained();
    result.errors = errors.drained();
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
    // The whole line of the step where the way ends, or of the status when
    // it does not.
    std::string telling_line;
    // The line right after it: what to do, or that all is ready.
    std::string advice;
};

// The lines as they came, without their line feeds.
std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

TEST(StatusCheck, SaysWhereTheWayEndsAndChangesNothing)
{
    const std::string shorter_id = "What to do: the component reads user IDs of up to 63 bytes; sign in with a shorter Yahoo! ID.";
    const std::string ready = "Ready on the messenger's side: the next track is published while \"Enable plugin\" is checked on the page \"Vexil Status\", "
                              "under \"Components\" in the player's preferences.";
    const auto user_id_of = [](size_t bytes) {
        return [bytes] {
            const std::string id(bytes, 'v');
            messenger::prepare_user(id);
            messenger::prepare_user(id.substr(0, 63));
            messenger::store_user_id(id.data(), DWORD(bytes), REG_BINARY);
        };
    };
    const auto ready_with_status = [](const std::string& status) {
        return [status] {
            messenger::prepare_user(user);
            messenger::store_status(user, status);
        };
    };
    const auto status_line = [](const std::string& shown) { return "  status value \"5\": \"" + shown + "\""; };
    const std::vector<situation> situations = {
        {"no messenger window", false, [] { messenger::prepare_user(user); }, 1,
         "  messenger window: missing (no window of class YahooBuddyMain: Yahoo! Messenger is not running)",
         "What to do: start Yahoo! Messenger and sign in, then run this check again."},
        {"a window but no Pager key", true, [] {}, 1, "  Pager key: missing (HKEY_CURRENT_USER\\Software\\Yahoo\\Pager: not found)",
         "What to do: Yahoo! Messenger has not run for this Windows user yet; start it and sign in."},
        {"a window but no user ID", true, [] { messenger::create_key(messenger::pager_key); }, 1,
         "  user ID: missing (no value \"Yahoo! User ID\" under HKEY_CURRENT_USER\\Software\\Yahoo\\Pager)",
         "What to do: nobody is signed in; sign in to Yahoo! Messenger, then run this check again."},
        {"a user ID without a profile", true, [] { messenger::store_user_id(user, sizeof user, REG_SZ); }, 1,
         "  Custom Msgs key: missing (HKEY_CURRENT_USER\\Software\\Yahoo\\Pager\\profiles\\vexil_checker\\Custom Msgs: not found; the component never "
         "creates it)",
         "What to do: sign in to Yahoo! Messenger as vexil_checker once, so that it sets up the profile and its custom messages, then run this check again."},
        {"a user ID that fills all 64 bytes", true, user_id_of(64), 1, "  user ID: unusable (value \"Yahoo! User ID\" fills all 64 bytes without an end)",
         shorter_id},
        {"a user ID of 65 bytes", true, user_id_of(65), 1, "  user ID: unusable (value \"Yahoo! User ID\": too long for 64 bytes)", shorter_id},
        {"a user ID of 300 bytes", true, user_id_of(300), 1, "  user ID: unusable (value \"Yahoo! User ID\": too long for 64 bytes)", shorter_id},
        {"ready, no status yet", true, [] { messenger::prepare_user(user); }, 0, "  status value \"5\": none yet", ready},
        {"ready with a status", true, ready_with_status("caf\xC3\xA9 at noon"), 0, status_line("caf\xC3\xA9 at noon"), ready},
        {"ready with a status of 400 bytes", true, ready_with_status(std::string(400, 's')), 0, status_line(std::string(400, 's')), ready},
        {"ready with a status of 401 bytes", true, ready_with_status(std::string(401, 's')), 0, status_line(std::string(400, 's')) + "...", ready},
        {"ready with a status whose 400th byte starts a character", true, ready_with_status(std::string(399, 's') + "\xC3\xA9"), 0,
         status_line(std::string(399, 's')) + "...", ready},
    };
    for (const situation& s : situations) {
        SCOPED_TRACE(s.name);
        messenger::forget_everything();
        s.prepare();
        const std::unique_ptr<messenger::process> shown_by = messenger_if(s.messenger_running);
        const std::vector<std::string> before = messenger::stored_tree(true);

        const run_result checked = run_check(L"");

        EXPECT_EQ(checked.exit_code, s.exit_code);
        const std::vector<std::string> lines = lines_of(checked.output);
        const auto at = std::find(lines.begin(), lines.end(), s.telling_line);
        ASSERT_TRUE(at != lines.end() && at + 1 != lines.end()) << checked.output;
        EXPECT_EQ(at[1], s.advice) << checked.output;
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

// Asking for help is no error; an argument the check does not know is.
TEST(StatusCheck, GivesItsUsageWhenAskedAndRefusesArgumentsItDoesNotKnow)
{
    const struct {
        const wchar_t* arguments;
        DWORD exit_code;
        bool asked;
    } cases[] = {
        {L"--help", 0, true}, {L"-h", 0, true},       {L"/?", 0, true},        {L"--tyr x", 2, false},
        {L"--try", 2, false}, {L"--try a b", 2, false}, {L"extra", 2, false}, {L"--help more", 2, false},
    };
    for (const auto& c : cases) {
        const run_result answered = run_check(c.arguments);
        EXPECT_EQ(answered.exit_code, c.exit_code) << c.arguments;
        EXPECT_EQ((c.asked ? answered.output : answered.errors).rfind("usage: vexil_check ", 0), 0u) << c.arguments;
        EXPECT_EQ(c.asked ? answered.errors : answered.output, "") << c.arguments;
    }
}

// A double click gives the check a console of its own, which closes when it
// ends: there it waits for Enter. With its output in a pipe it waits for
// nothing, as in a command prompt, whose console it shares (the rows on a
// console above would not end).
TEST(StatusCheck, WaitsForEnterOnlyOnAConsoleOfItsOwn)
{
    messenger::forget_everything();
    std::wstring command = command_line("vexil_check.exe", L"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &process));
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 3000), DWORD(WAIT_TIMEOUT)) << "the window closed before it could be read";
    {
        const console_screen its_own(process.dwProcessId);
        const std::vector<std::string> lines = lines_of(its_own.text());
        EXPECT_TRUE(!lines.empty() && lines.back() == "Press Enter to close this window.") << its_own.text();
        console_screen::press_enter();
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0) << "Enter did not end it";
    DWORD exit_code = 0;
    GetExitCodeProcess(process.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 1u) << "no messenger: not ready";
    TerminateProcess(process.hProcess, DWORD(-1));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const run_result piped = run_check(L"", output::pipe, "vexil_check.exe", CREATE_NEW_CONSOLE);
    EXPECT_EQ(piped.exit_code, 1u);
    EXPECT_EQ(piped.output.find("Press Enter"), std::string::npos) << piped.output;
}

} // namespace
