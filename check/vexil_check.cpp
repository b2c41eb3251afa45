// vexil_check: why is my status not changing? Walks the way the component
// takes to the messenger's status on every new track, with the component's
// own steps, and says where it ends and what the user can do about it.
// Without arguments it writes nothing and posts nothing.
//
//   vexil_check              look, and show the status the messenger has
//   vexil_check --try TEXT   publish TEXT as the component publishes a title
//   vexil_check --help       the usage, also as -h and /?
//
// Exit status: 0 when everything on the messenger's side is ready (it cannot
// see the page's switch), with --try when TEXT was written and the
// messenger told, and for the usage asked for; 1 when not; 2 for arguments
// it does not know or that are used wrongly (--try without a text or with
// two, --help with more).
//
// Started by a double click, the check has a console of its own, which
// closes when it ends: it then waits for Enter, so that its lines can be
// read.

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "contract/version.h"
#include "status/messenger_route.h"

namespace {

constexpr int ready = 0;
constexpr int not_ready = 1;
constexpr int bad_arguments = 2;
constexpr int usage_asked_for = 0;

// The longest line, and the most of a text shown on it: a status value or
// the text of --try.
constexpr int line_capacity = 2048;
constexpr int shown_text_bytes = 400;

// Text as it is on a console, and as UTF-8 bytes into a pipe or a file.
void put_text(HANDLE out, const char* text, int length)
{
    DWORD mode;
    DWORD written;
    if (GetConsoleMode(out, &mode)) {
        wchar_t wide[line_capacity];
        const int units = MultiByteToWideChar(CP_UTF8, 0, text, length, wide, line_capacity);
        WriteConsoleW(out, wide, DWORD(units), &written, nullptr);
    } else {
        WriteFile(out, text, DWORD(length), &written, nullptr);
    }
}

// One line on standard output.
void say(const char* format, ...)
{
    char line[line_capacity];
    va_list arguments;
    va_start(arguments, format);
    const int written = _vsnprintf(line, line_capacity - 1, format, arguments);
    va_end(arguments);
    // No line comes near its capacity: the longest part a line takes is a
    // key path, 255 ANSI bytes and so at most 765 of UTF-8; a text is shown
    // in at most shown_text_bytes.
    int length = written >= 0 ? written : line_capacity - 2; // LCOV_EXCL_BR_LINE: no line is cut, as said above; the clamp keeps one that would be within the line
    line[length++] = '\n';
    put_text(GetStdHandle(STD_OUTPUT_HANDLE), line, length);
}

// Registry names are in the ANSI code page, as the component reads them;
// lines are UTF-8. Every name given fits: it ends within key_path_capacity
// bytes, which are as many units at most, and a unit is at most three bytes
// of UTF-8.
struct utf8_text {
    explicit utf8_text(const char* ansi)
    {
        wchar_t wide[key_path_capacity];
        const int units = MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, key_path_capacity);
        WideCharToMultiByte(CP_UTF8, 0, wide, units, bytes, sizeof bytes, nullptr, nullptr);
    }
    char bytes[key_path_capacity * 3] = {};
};

const char* registry_answer(LONG result)
{
    switch (result) {
    case ERROR_FILE_NOT_FOUND:
        return "not found";
    case ERROR_ACCESS_DENIED:
        return "access refused";
    case ERROR_MORE_DATA:
        return "too long";
    default:
        return "refused";
    }
}

// Each step, taken, and its line: what it found, or where and why the way
// ends and what the user can do about it; false where it ends.
bool take_window(messenger_route& route)
{
    if (route.find_window()) {
        say("  messenger window: found (class %s)", messenger_window_class);
        return true;
    }
    say("  messenger window: missing (no window of class %s: Yahoo! Messenger is not running)", messenger_window_class);
    say("What to do: start Yahoo! Messenger and sign in, then run this check again.");
    return false;
}

bool take_pager_key(messenger_route& route)
{
    if (route.open_pager_key()) {
        say("  Pager key: found (HKEY_CURRENT_USER\\%s)", pager_key);
        return true;
    }
    say("  Pager key: missing (HKEY_CURRENT_USER\\%s: %s)", pager_key, registry_answer(route.result));
    if (route.result == ERROR_ACCESS_DENIED)
        say("What to do: Windows refuses this user that key; check its permissions.");
    else
        say("What to do: Yahoo! Messenger has not run for this Windows user yet; start it and sign in.");
    return false;
}

bool take_user_id(messenger_route& route)
{
    if (route.read_user_id()) {
        if (route.user_id[0] == '\0')
            say("  user ID: empty (value \"%s\" names nobody)", user_id_value);
        else
            say("  user ID: found (\"%s\")", utf8_text(route.user_id).bytes);
        return true;
    }
    if (route.result == ERROR_FILE_NOT_FOUND) {
        say("  user ID: missing (no value \"%s\" under HKEY_CURRENT_USER\\%s)", user_id_value, pager_key);
        say("What to do: nobody is signed in; sign in to Yahoo! Messenger, then run this check again.");
        return false;
    }
    if (route.result == ERROR_SUCCESS)
        say("  user ID: unusable (value \"%s\" fills all %u bytes without an end)", user_id_value, user_id_capacity);
    else
        say("  user ID: unusable (value \"%s\": %s for %u bytes)", user_id_value, registry_answer(route.result), user_id_capacity);
    say("What to do: the component reads user IDs of up to %u bytes; sign in with a shorter Yahoo! ID.", user_id_capacity - 1);
    return false;
}

// An empty user ID still names a key, as the component reads it; the
// messenger has never set one up for nobody.
bool take_custom_messages(messenger_route& route)
{
    const bool found = route.open_custom_messages();
    const utf8_text path(route.custom_messages_path);
    if (found) {
        say("  Custom Msgs key: found (HKEY_CURRENT_USER\\%s)", path.bytes);
        return true;
    }
    say("  Custom Msgs key: missing (HKEY_CURRENT_USER\\%s: %s; the component never creates it)", path.bytes, registry_answer(route.result));
    if (route.result == ERROR_ACCESS_DENIED)
        say("What to do: Windows refuses this user to change that key; check its permissions.");
    else if (route.user_id[0] == '\0')
        say("What to do: nobody is signed in; sign in to Yahoo! Messenger, then run this check again.");
    else
        say("What to do: sign in to Yahoo! Messenger as %s once, so that it sets up the profile and its custom messages, then run this check again.",
            utf8_text(route.user_id).bytes);
    return false;
}

bool (*const steps[])(messenger_route& route) = {take_window, take_pager_key, take_user_id, take_custom_messages};

// The status passes through the ANSI code page on its way into the
// registry, and a double-byte one changes UTF-8 bytes there. Such a code
// page has lead-byte ranges; UTF-8 (65001), whose characters are up to four
// bytes long too, has none and passes the status unchanged. CP_ACP always
// names a code page, so GetCPInfo cannot fail.
void report_code_page()
{
    CPINFO code_page = {};
    GetCPInfo(CP_ACP, &code_page);
    if (code_page.LeadByte[0] != 0)
        say("  code page: %u, a double-byte one: the status passes through it into the registry, and the messenger may show text beyond "
            "ASCII garbled where two of its bytes make no character of that code page",
            GetACP());
}

// Takes every step in turn and reports it; false at the first that fails.
bool walk(messenger_route& route)
{
    say("%s %s: the way to the messenger's status, as the component takes it on every new track", VEXIL_COMPONENT_NAME, VEXIL_VERSION_TEXT);
    report_code_page();
    for (const auto take : steps) {
        if (!take(route))
            return false;
    }
    return true;
}

// At most shown_text_bytes of a text, ending after the last character they
// hold whole, so that a pipe still gets UTF-8, and "..." when that is not
// all of it.
struct shown_text {
    explicit shown_text(const char* text) : length(int(strlen(text)))
    {
        if (length <= shown_text_bytes)
            return;
        length = shown_text_bytes;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
        more = "...";
    }
    int length;
    const char* more = "";
};

void say_status(const char* status)
{
    const shown_text shown(status);
    say("  status value \"%s\": \"%.*s\"%s", status_value, shown.length, status, shown.more);
}

// The status the messenger shows now, read without changing anything.
void report_status(const messenger_route& route)
{
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, route.custom_messages_path, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS) {
        say("  status value \"%s\": cannot be read (%s)", status_value, registry_answer(result));
        return;
    }
    DWORD size = 0;
    result = RegQueryValueExA(key, status_value, nullptr, nullptr, nullptr, &size);
    char* text = result == ERROR_SUCCESS ? static_cast<char*>(calloc(size_t(size) + 1, 1)) : nullptr;
    if (text != nullptr)
        result = RegQueryValueExA(key, status_value, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (result == ERROR_FILE_NOT_FOUND)
        say("  status value \"%s\": none yet", status_value);
    else if (text == nullptr || result != ERROR_SUCCESS)
        say("  status value \"%s\": cannot be read (%s)", status_value, registry_answer(result));
    else
        say_status(text);
    free(text);
}

int look()
{
    messenger_route route;
    if (!walk(route))
        return not_ready;
    report_status(route);
    say("Ready on the messenger's side: the next track is published while \"Enable plugin\" is checked on the page \"%s\", under \"Components\" in "
        "the player's preferences.",
        VEXIL_COMPONENT_NAME);
    return ready;
}

int try_text(const char* text)
{
    messenger_route route;
    if (!walk(route))
        return not_ready;
    const LONG written = route.publish(text, uint32_t(strlen(text)));
    const shown_text shown(text);
    if (written == ERROR_SUCCESS)
        say("Value \"%s\" set to \"%.*s\"%s.", status_value, shown.length, text, shown.more);
    else
        say("Value \"%s\" could not be set: %s.", status_value, registry_answer(written));
    say("%s the messenger (command %u).", route.posted ? "Told" : "Could not tell", status_changed_command);
    return written == ERROR_SUCCESS && route.posted ? ready : not_ready;
}

// The text as UTF-8, which is what the component writes.
int try_wide_text(const wchar_t* text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    char* utf8 = static_cast<char*>(malloc(size_t(bytes)));
    if (utf8 == nullptr) {
        say("There is not enough memory for the text.");
        return not_ready;
    }
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, bytes, nullptr, nullptr);
    const int status = try_text(utf8);
    free(utf8);
    return status;
}

const char usage_text[] = "usage: vexil_check             why the status does or does not change\n"
                          "       vexil_check --try TEXT  publish TEXT as the component publishes a title\n"
                          "       vexil_check --help      this text (also -h and /?)\n";

int usage(DWORD standard_handle, int status)
{
    put_text(GetStdHandle(standard_handle), usage_text, int(sizeof usage_text - 1));
    return status;
}

bool asks_for_help(const wchar_t* argument)
{
    return wcscmp(argument, L"--help") == 0 || wcscmp(argument, L"-h") == 0 || wcscmp(argument, L"/?") == 0;
}

int run(int argc, wchar_t** argv)
{
    if (argc == 1)
        return look();
    if (argc == 3 && wcscmp(argv[1], L"--try") == 0)
        return try_wide_text(argv[2]);
    if (argc == 2 && asks_for_help(argv[1]))
        return usage(STD_OUTPUT_HANDLE, usage_asked_for);
    return usage(STD_ERROR_HANDLE, bad_arguments);
}

// A console that no other process shares is the check's own, made for it
// by a double click, and it closes when the check ends. Looked up, since a
// Windows without the function still runs the check.
bool console_is_its_own()
{
    using process_list_function = DWORD(WINAPI*)(DWORD*, DWORD);
    const auto list_processes = reinterpret_cast<process_list_function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetConsoleProcessList")));
    DWORD mode;
    DWORD processes[2];
    return list_processes != nullptr && GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) && list_processes(processes, 2) == 1;
}

// A console in its usual line mode answers a read once Enter ends a line.
void wait_for_enter()
{
    say("Press Enter to close this window.");
    wchar_t typed[64];
    DWORD got;
    ReadConsoleW(GetStdHandle(STD_INPUT_HANDLE), typed, 64, &got, nullptr);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const int status = run(argc, argv);
    if (console_is_its_own())
        wait_for_enter();
    return status;
}
