// The status check as a user runs it, against the stand-in messenger: all
// it writes in each situation, compared with that situation's transcript,
// and what it leaves of the registry and the messenger. Each row runs
// watched_check.exe, the check built from its own source with its OS calls
// watched (watched_calls.cpp); a double click runs the check as shipped.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "../code_page.h"
#include "beside_this_program.h"
#include "messenger_process.h"
#include "staged_call.h"

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

    // The rows written so far, as UTF-8 lines, as wide as the window's.
    std::string text() const
    {
        CONSOLE_SCREEN_BUFFER_INFO info = {};
        GetConsoleScreenBufferInfo(screen, &info);
        std::string lines;
        for (SHORT y = 0; y < info.dwCursorPosition.Y; ++y) {
            wchar_t row[columns];
            DWORD got = 0;
            ReadConsoleOutputCharacterW(screen, row, DWORD(std::min(info.dwSize.X, columns)), {0, y}, &got);
            char bytes[columns * 4];
            const std::string line(bytes, size_t(WideCharToMultiByte(CP_UTF8, 0, row, int(got), bytes, sizeof bytes, nullptr, nullptr)));
            lines += line.substr(0, line.find_last_not_of(' ') + 1) + '\n';
        }
        return lines;
    }

    static void press_enter()
    {
        const HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        INPUT_RECORD enter = {KEY_EVENT, {}};
        enter.Event.KeyEvent = {TRUE, 1, VK_RETURN, 0, {L'\r'}, 0};
        DWORD written;
        WriteConsoleInputW(input, &enter, 1, &written);
        CloseHandle(input);
    }

    static constexpr SHORT columns = 400;
    HANDLE screen;
};

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

enum class output { pipe, console, its_own_console, pipe_from_its_own_console };

// Runs a check with arguments, given as Unicode, and collects what it
// writes: into pipes, or onto a console this process shares with it. Given
// a console of its own, it is started as by a double click: a check still
// running after 3 seconds shows its window's text, which is taken, and is
// given Enter. A check that has not ended after 30 seconds is ended,
// failing.
run_result run_check(const std::wstring& arguments, output to, const char* program)
{
    run_result result;
    // The console first: its host process would inherit the pipes and hold
    // them open.
    const std::unique_ptr<console_screen> console = to == output::console ? std::make_unique<console_screen>() : nullptr;
    inherited_pipe out;
    inherited_pipe errors;
    const std::string path = beside_this_program(program);
    std::wstring command = L"\"" + std::wstring(path.begin(), path.end()) + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = to == output::its_own_console ? 0 : STARTF_USESTDHANDLES;
    startup.hStdOutput = console != nullptr ? console->screen : out.write_end;
    startup.hStdError = console != nullptr ? console->screen : errors.write_end;
    const DWORD flags = to == output::its_own_console || to == output::pipe_from_its_own_console ? CREATE_NEW_CONSOLE : 0;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup, &process)) {
        if (to == output::its_own_console && WaitForSingleObject(process.hProcess, 3000) == WAIT_TIMEOUT) {
            const console_screen its_own(process.dwProcessId);
            result.output = its_own.text();
            console_screen::press_enter();
        }
        if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &result.exit_code);
        else
            TerminateProcess(process.hProcess, DWORD(-1));
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    result.output += console != nullptr ? console->text() : out.drained();
    result.errors = errors.drained();
    return result;
}

// Everything a run of the check gave, byte for byte, as its transcript
// keeps it. With VEXIL_NEW_TRANSCRIPTS set, the run writes the transcript
// instead, for a maintainer to read and commit.
void expect_transcript(const std::string& name, const run_result& run)
{
    const std::string path = std::string(VEXIL_TRANSCRIPTS) + "/" + name + ".txt";
    const std::string given = "exit status " + std::to_string(run.exit_code) + "\n-- standard output\n" + run.output + "-- standard error\n" + run.errors;
    if (getenv("VEXIL_NEW_TRANSCRIPTS") != nullptr) {
        std::ofstream(path, std::ios::binary) << given;
        return;
    }
    std::ifstream kept(path, std::ios::binary);
    EXPECT_EQ(given, std::string(std::istreambuf_iterator<char>(kept), {})) << path;
}

// A situation the check meets, and what it must leave of it.
struct situation {
    std::string transcript;
    std::wstring arguments;
    std::function<void()> prepare = [] { messenger::prepare_user(user); };
    bool messenger_running = true;
    // Staged in watched_check.exe (staged_call.h). The check as shipped runs
    // a row of the same transcript as one of watched_check.exe's.
    const char* staged = nullptr;
    const char* program = "watched_check.exe";
    output to = output::pipe;
    // Value "5" afterwards, as UTF-8; null when the registry is left as it
    // was.
    const char* written = nullptr;
    LONG commands = 0;
};

void expect_situation(const situation& s)
{
    SCOPED_TRACE(s.transcript);
    messenger::forget_everything();
    s.prepare();
    const std::unique_ptr<messenger::process> shown_by = s.messenger_running ? std::make_unique<messenger::process>() : nullptr;
    if (shown_by != nullptr)
        ASSERT_TRUE(shown_by->start("--quiet")) << "the stand-in messenger did not start";
    const std::vector<std::string> before = messenger::stored_tree(true);
    SetEnvironmentVariableA(staged_call_variable, s.staged);

    const run_result checked = run_check(s.arguments, s.to, s.program);

    SetEnvironmentVariableA(staged_call_variable, nullptr);
    expect_transcript(s.transcript, checked);
    if (s.written == nullptr) {
        EXPECT_EQ(messenger::stored_tree(true), before) << "the check wrote to the registry";
    } else {
        const messenger::registry_value status = messenger::read_value(messenger::profile_key(user), messenger::status_value);
        EXPECT_EQ(status.type, DWORD(REG_SZ));
        EXPECT_EQ(status.bytes, std::string(s.written) + '\0');
    }
    if (shown_by != nullptr) {
        EXPECT_TRUE(shown_by->sync());
        EXPECT_EQ(shown_by->status_commands(), s.commands);
        EXPECT_EQ(shown_by->other_commands(), 0);
    }
    messenger::forget_everything();
}

// Where the way ends and what to do, the status as it is shown, what --try
// reports, on a pipe and on a console, when only the write or only the
// command worked, and the usage. Double-clicked, the check has a console of
// its own, which closes when it ends: there it waits for Enter; with its
// output in a pipe it waits for nothing, as in a command prompt, whose
// console it shares (the rows on a console would not end otherwise), and
// so on a Windows that cannot tell who shares its console.
TEST(StatusCheck, SaysWhatItFindsAndWhatToDo)
{
    const auto user_id_of = [](size_t bytes) { return [bytes] { messenger::store_too_long_user_id(std::string(bytes, 'v'), DWORD(bytes), REG_BINARY); }; };
    const auto with_status = [](const std::string& status, DWORD type = REG_SZ) {
        return [status, type] {
            messenger::prepare_user(user);
            messenger::store_status(user, status, type);
        };
    };
    // Longer than any line: shown cut, and the line still ends.
    const std::wstring long_text(1500, L'\u00e9');
    std::string long_utf8;
    while (long_utf8.size() < 2 * long_text.size())
        long_utf8 += "\xC3\xA9";
    const situation situations[] = {
        {.transcript = "no_messenger_window", .messenger_running = false},
        {.transcript = "no_pager_key", .prepare = [] {}},
        {.transcript = "no_user_id", .prepare = [] { messenger::create_key(messenger::pager_key); }},
        {.transcript = "no_profile", .prepare = [] { messenger::store_user_id(user, sizeof user, REG_SZ); }},
        {.transcript = "user_id_empty", .prepare = [] { messenger::store_user_id("", 1, REG_SZ); }},
        {.transcript = "user_id_of_no_bytes", .prepare = [] { messenger::store_user_id("", 0, REG_SZ); }},
        {.transcript = "user_id_of_64_bytes", .prepare = user_id_of(64)},
        {.transcript = "user_id_of_65_bytes", .prepare = user_id_of(65)},
        {.transcript = "user_id_of_300_bytes", .prepare = user_id_of(300)},
        {.transcript = "pager_key_refused", .staged = "RegOpenKeyExA 1 5"},
        {.transcript = "custom_messages_refused", .staged = "RegOpenKeyExA 2 5"},
        {.transcript = "status_refused", .prepare = with_status("kept"), .staged = "RegOpenKeyExA 3 5"},
        {.transcript = "status_unreadable", .prepare = with_status("kept"), .staged = "RegQueryValueExA 2 1450"},
        {.transcript = "status_unreadable_at_the_second_read", .prepare = with_status("kept"), .staged = "RegQueryValueExA 3 5"},
        {.transcript = "status", .prepare = with_status("caf\xC3\xA9 at noon")},
        {.transcript = "status", .prepare = with_status("caf\xC3\xA9 at noon"), .program = "vexil_check.exe"},
        {.transcript = "status_of_400_bytes", .prepare = with_status(std::string(400, 's'))},
        {.transcript = "status_of_401_bytes", .prepare = with_status(std::string(401, 's'))},
        {.transcript = "status_cut_before_a_character", .prepare = with_status(std::string(399, 's') + "\xC3\xA9")},
        {.transcript = "status_stored_without_its_end", .prepare = with_status("no end", REG_BINARY)},
        {.transcript = "status_of_no_whole_character", .prepare = with_status(std::string(401, '\x80'), REG_BINARY)},
        {.transcript = "try_published",
         .arguments = L"--try \"caf\u00e9 \u65e5\u672c \U0001F3B5\"",
         .written = "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5",
         .commands = 1},
        {.transcript = "try_on_a_console", .arguments = L"--try \"J\u00f3ga-Bj\u00f6rk\"", .to = output::console, .written = "J\xC3\xB3ga-Bj\xC3\xB6rk", .commands = 1},
        {.transcript = "try_a_long_text", .arguments = L"--try " + long_text, .written = long_utf8.c_str(), .commands = 1},
        {.transcript = "try_write_refused", .arguments = L"--try unwritten", .staged = "RegSetValueExA 1 5", .commands = 1},
        {.transcript = "try_command_refused", .arguments = L"--try untold", .staged = "PostMessageA 1 5", .written = "untold"},
        {.transcript = "try_without_memory", .arguments = L"--try unheld", .staged = "malloc 1 0"},
        {.transcript = "try_no_messenger", .arguments = L"--try nothing", .messenger_running = false},
        {.transcript = "usage_asked_for", .arguments = L"--help", .messenger_running = false},
        {.transcript = "usage_asked_for", .arguments = L"-h", .messenger_running = false},
        {.transcript = "usage_asked_for", .arguments = L"/?", .messenger_running = false},
        {.transcript = "usage_refused", .arguments = L"--tyr x", .messenger_running = false},
        {.transcript = "usage_refused", .arguments = L"--try", .messenger_running = false},
        {.transcript = "usage_refused", .arguments = L"--try a b", .messenger_running = false},
        {.transcript = "usage_refused", .arguments = L"extra", .messenger_running = false},
        {.transcript = "usage_refused", .arguments = L"--help more", .messenger_running = false},
        {.transcript = "double_clicked", .messenger_running = false, .to = output::its_own_console},
        {.transcript = "double_clicked", .messenger_running = false, .program = "vexil_check.exe", .to = output::its_own_console},
        {.transcript = "no_messenger_window", .messenger_running = false, .to = output::pipe_from_its_own_console},
        {.transcript = "double_clicked_without_GetConsoleProcessList", .messenger_running = false, .staged = "GetProcAddress 1 127",
         .to = output::its_own_console},
    };
    for (const situation& s : situations)
        expect_situation(s);
}

// What the ANSI code page does to the status, said in a double-byte one,
// and a user ID beyond ASCII shown as the user typed it; the test run asks
// for code page 932 once more. Wine keeps the code page of its locale, so
// UTF-8's, which has no lead bytes, is staged.
TEST(StatusCheck, SaysWhatTheCodePageDoes)
{
    const UINT code_page = GetACP();
    ASSERT_EQ(code_page, expected_code_page());
    const std::string in_ansi = ansi_of(code_page == 932 ? L"\u5c71\u7530" : L"jos\u00e9");
    const std::string named = "_in_code_page_" + std::to_string(code_page);
    expect_situation({.transcript = "ready" + named});
    expect_situation({.transcript = "ready_in_code_page_65001", .staged = "GetCPInfo 1 65001"});
    expect_situation({.transcript = "user_id_beyond_ascii" + named, .prepare = [&] { messenger::prepare_user(in_ansi); }});
}

} // namespace
