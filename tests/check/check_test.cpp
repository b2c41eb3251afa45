// The status check as a user runs it, against the stand-in messenger: where
// the way ends, what it answers, and that looking changes nothing.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "messenger_process.h"

namespace {

const char user[] = "vexil_checker";

struct run_result {
    DWORD exit_code = DWORD(-1);
    std::string output;
};

// Runs vexil_check.exe with arguments, given as Unicode, and collects what
// it writes.
run_result run_check(const std::wstring& arguments)
{
    run_result result;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read_end;
    HANDLE write_end;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0))
        return result;
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    const std::string program = messenger::program_beside_this_one("vexil_check.exe");
    std::wstring command = L"\"" + std::wstring(program.begin(), program.end()) + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(write_end);
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
    return result;
}

struct situation {
    const char* name;
    bool messenger_running;
    std::function<void()> prepare;
    DWORD exit_code;
    // The line of the step where the way ends, or the last line when it
    // does not.
    const char* telling_line;
};

TEST(StatusCheck, SaysWhereTheWayEndsAndChangesNothing)
{
    const std::string longest(64, 'v');
    const std::vector<situation> situations = {
        {"no messenger window", false, [] { messenger::prepare_user(user); }, 1, "  messenger window: missing"},
        {"a window but no user ID", true, [] { messenger::create_key(messenger::pager_key); }, 1, "  user ID: missing"},
        {"a user ID without a profile", true, [] { messenger::store_user_id(user, sizeof user, REG_SZ); }, 1, "  Custom Msgs key: missing"},
        {"a user ID that fills all 64 bytes", true,
         [&] {
             messenger::prepare_user(longest);
             messenger::prepare_user(longest.substr(0, 63));
             messenger::store_user_id(longest.data(), 64, REG_BINARY);
         },
         1, "  user ID: unusable"},
        {"ready", true, [] { messenger::prepare_user(user); }, 0, "Ready on the messenger's side"},
    };
    for (const situation& s : situations) {
        SCOPED_TRACE(s.name);
        messenger::forget_everything();
        s.prepare();
        std::unique_ptr<messenger::process> shown_by;
        if (s.messenger_running) {
            shown_by = std::make_unique<messenger::process>();
            ASSERT_TRUE(shown_by->start("--quiet"));
        }
        const std::vector<std::string> before = messenger::stored_tree(true);

        const run_result checked = run_check(L"");

        EXPECT_EQ(checked.exit_code, s.exit_code);
        const size_t at = checked.output.find(s.telling_line);
        ASSERT_NE(at, std::string::npos) << checked.output;
        if (s.exit_code != 0)
            EXPECT_EQ(checked.output.find("\nWhat to do: ", at), checked.output.find('\n', at)) << "advice right after the step\n" << checked.output;
        EXPECT_EQ(messenger::stored_tree(true), before) << "the check wrote to the registry";
        if (shown_by != nullptr) {
            EXPECT_TRUE(shown_by->sync());
            EXPECT_EQ(shown_by->status_commands() + shown_by->other_commands(), 0) << "the check posted a command";
        }
    }
    messenger::forget_everything();
}

// A text from the command line arrives as its UTF-8 bytes, with one command.
TEST(StatusCheck, TryPublishesATextAsTheComponentDoes)
{
    messenger::forget_everything();
    messenger::prepare_user(user);
    messenger::process shown_by;
    ASSERT_TRUE(shown_by.start("--quiet"));

    const run_result tried = run_check(L"--try \"caf\u00e9 \u65e5\u672c \U0001F3B5\"");

    EXPECT_EQ(tried.exit_code, 0u) << tried.output;
    const messenger::registry_value status = messenger::read_value(messenger::profile_key(user), messenger::status_value);
    EXPECT_EQ(status.type, DWORD(REG_SZ));
    EXPECT_EQ(status.bytes, std::string("caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5") + '\0');
    EXPECT_TRUE(shown_by.sync());
    EXPECT_EQ(shown_by.status_commands(), 1);
    shown_by.stop();

    const run_result unpublished = run_check(L"--try nothing");
    EXPECT_EQ(unpublished.exit_code, 1u) << "no messenger: nothing to tell";
    EXPECT_EQ(messenger::read_value(messenger::profile_key(user), messenger::status_value).bytes, status.bytes);
    messenger::forget_everything();
}

TEST(StatusCheck, RefusesArgumentsItDoesNotKnow)
{
    for (const wchar_t* arguments : {L"--tyr x", L"--try", L"--try a b", L"extra"})
        EXPECT_EQ(run_check(arguments).exit_code, 2u) << arguments;
}

} // namespace
