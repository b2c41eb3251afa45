#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../code_page.h"
#include "../import_hooks.h"
#include "../page_driver.h"
#include "loaded_component.h"

namespace {

using host::page::enable_box;
using host::page::format_combo;

// What the page passes to the controls through SendDlgItemMessageA.
std::vector<std::string>& item_messages()
{
    static std::vector<std::string> messages;
    return messages;
}

LRESULT WINAPI record_item_message(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam)
{
    item_messages().push_back(std::to_string(id) + " " + std::to_string(message) + " " + std::to_string(wparam) + " " + std::to_string(lparam));
    return SendDlgItemMessageA(dialog, id, message, wparam, lparam);
}

// Refuses the Nth allocation of one size.
size_t refused_size = 0;
hooks::nth_call refused;

void* __cdecl refusing_malloc(size_t size)
{
    return size == refused_size && refused.fails_now() ? nullptr : malloc(size);
}

struct PrefsPage : component_test, page_driver {
    PrefsPage()
        : page_driver(component.instance<host::preferences_page>(host::preferences_page_class)),
          item_hook(component.module, "USER32.dll", "SendDlgItemMessageA", reinterpret_cast<void*>(&record_item_message))
    {
        item_messages().clear();
    }
    ~PrefsPage() override
    {
        close();
        if (page != nullptr)
            page->release();
    }
    void SetUp() override
    {
        component_test::SetUp();
        ASSERT_NE(page, nullptr);
        ASSERT_NE(host_window(), nullptr);
        ASSERT_TRUE(item_hook.installed());
    }

    void settings(const stored_settings& settings) const { component.load(settings); }
    stored_settings saved() const { return component.stored(); }
    void open() { ASSERT_TRUE(page_driver::open()); }

    hooks::import_hook item_hook;
};

TEST_F(PrefsPage, IsAHiddenChildOfTheHostWindowWithItsControls)
{
    dialog = page->create(host_window());
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(dialog)) << "the host decides when to show it";
    EXPECT_EQ(GetParent(dialog), host_window());
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD);
    EXPECT_NE(control(enable_box), nullptr);
    EXPECT_NE(control(format_combo), nullptr);
    HWND second = page->create(host_window());
    EXPECT_NE(second, dialog) << "each call makes a new dialog";
    DestroyWindow(second);
}

// Opening shows the switch as stored (BM_SETCHECK with the value itself),
// the format in the ANSI code page, the list as UTF-8 in the combo box's own
// sorted order, and puts the format, unless empty, first in the history.
TEST_F(PrefsPage, OpeningShowsTheSettings)
{
    const std::string beyond_ascii = "caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC";
    const std::wstring beyond_ascii_wide = L"caf\xE9 \x20AC \x65E5\x672C";
    const struct {
        stored_settings stored;
        std::string field;
        std::vector<std::wstring> list;
        std::string history;
    } openings[] = {
        {{.history = "zeta\nalpha\n", .enabled = 0, .format = "mid %title%"}, "mid %title%", {L"alpha", L"mid %title%", L"zeta"}, "mid %title%\nzeta\nalpha\n"},
        {{.history = "", .enabled = 7, .format = beyond_ascii},
         GetACP() == 1252 ? "caf\xE9 \x80 ??" : ansi_of(beyond_ascii_wide), {beyond_ascii_wide}, beyond_ascii + "\n"},
        {{.history = "a\nb\n", .enabled = 1, .format = ""}, "", {L"a", L"b"}, "a\nb\n"},
    };
    for (const auto& o : openings) {
        SCOPED_TRACE(o.stored.format);
        settings(o.stored);
        item_messages().clear();
        open();
        EXPECT_EQ(item_messages(), (std::vector<std::string>{std::to_string(enable_box) + " " + std::to_string(BM_SETCHECK) + " " +
                                                             std::to_string(o.stored.enabled) + " 0"}));
        EXPECT_EQ(SendMessageA(control(enable_box), BM_GETCHECK, 0, 0), o.stored.enabled != 0 ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(edit_text(), o.field);
        EXPECT_EQ(list_entries(), o.list);
        close();
        EXPECT_EQ(saved().history, o.history);
    }
}

// Formats the edit field cannot show as they are in code page 1252 or 932:
// a music note (none in 1252), a letter shown as a look-alike, a malformed
// sequence, an accent (none in 932).
const std::string formats_not_shown_as_they_are[] = {"\xE2\x99\xAA %artist% - %title%", "\xC4\x81 %title%", "abc\xFF" "def", "caf\xC3\xA9 %title%"};

// A host's utf8api may answer FALSE for a window without text.
bool empty_reads_fail = false;
BOOL __cdecl get_window_text(HWND window, host::text_sink* out)
{
    static const auto stand_in = reinterpret_cast<BOOL(__cdecl*)(HWND, host::text_sink*)>(GetProcAddress(GetModuleHandleA("utf8api.dll"), "uGetWindowText"));
    return empty_reads_fail && GetWindowTextLengthW(window) == 0 ? FALSE : stand_in(window, out);
}

// Passing through the field stores nothing until the user changes it, on
// this page or on one open beside it; then what the user typed or chose is
// stored, and an emptied field is the empty format.
TEST_F(PrefsPage, OnlyAFieldTheUserChangedIsStored)
{
    EXPECT_EQ(GetACP(), expected_code_page());
    hooks::import_hook reader(component.module, "utf8api.dll", "uGetWindowText", reinterpret_cast<void*>(&get_window_text));
    ASSERT_TRUE(reader.installed());
    page_driver beside(page);
    const char* const kept = nullptr;
    const struct {
        const char* change;
        std::function<void()> act;
        bool empty_reads_fail;
        const char* stored;
    } changes[] = {
        {"none", [] {}, false, kept},
        {"typed", [&] { type("typed %title%"); }, false, "typed %title%"},
        {"chosen", [&] { choose(int(SendMessageA(control(format_combo), CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("older")))); }, false, "older"},
        {"emptied", [&] { type(""); }, false, ""},
        {"emptied, read as a failure", [&] { type(""); }, true, ""},
        {"typed on a page beside",
         [&] {
             ASSERT_TRUE(beside.open());
             beside.enter_format_field();
             type("beside");
             beside.leave_format_field();
         },
         false, "beside"},
    };
    for (const std::string& format : formats_not_shown_as_they_are) {
        for (const auto& c : changes) {
            SCOPED_TRACE(format + ", changed: " + c.change);
            empty_reads_fail = c.empty_reads_fail;
            settings({.history = "older\n", .enabled = 1, .format = format});
            open();
            enter_format_field();
            c.act();
            for (int pass = 0; pass < 2; ++pass) {
                enter_format_field();
                leave_format_field();
            }
            beside.close();
            close();
            EXPECT_EQ(saved().format, c.stored == kept ? format : c.stored);
            if (c.stored == kept)
                EXPECT_EQ(saved().history, format + "\nolder\n");
        }
    }
    empty_reads_fail = false;
}

TEST_F(PrefsPage, AClickSetsTheSwitchAtOnce)
{
    settings({.history = "", .enabled = 5, .format = "f"});
    open();
    SendMessageA(control(enable_box), BM_CLICK, 0, 0);
    EXPECT_EQ(saved().enabled, 0);
    SendMessageA(control(enable_box), BM_CLICK, 0, 0);
    EXPECT_EQ(saved().enabled, 1);
}

TEST_F(PrefsPage, EditingChangesNothingUntilTheFieldLosesTheFocus)
{
    settings({.history = "older\n", .enabled = 1, .format = "current"});
    open();
    enter_format_field();
    type("typed %artist%");
    EXPECT_EQ(saved().format, "current") << "nothing is taken while the user types";
    leave_format_field();
    EXPECT_EQ(saved().format, "typed %artist%");

    enter_format_field();
    choose(0);
    EXPECT_EQ(edit_text(), "current");
    choose(1);
    EXPECT_EQ(edit_text(), "older") << "choosing an entry fills the edit field";
    EXPECT_EQ(saved().format, "typed %artist%");
    leave_format_field();
    EXPECT_EQ(saved().format, "older");
    EXPECT_EQ(saved().history, "current\nolder\n") << "the history changes only when the page goes";
}

// The controls keep what they showed: a load while the page is open stays
// until the user changes the field; from then on every focus loss stores
// it, also unchanged since the last.
TEST_F(PrefsPage, OnceChangedEveryFocusLossStoresTheField)
{
    settings({.history = "", .enabled = 1, .format = "on the page"});
    open();
    settings({.history = "", .enabled = 1, .format = "loaded meanwhile"});
    enter_format_field();
    leave_format_field();
    EXPECT_EQ(saved().format, "loaded meanwhile");

    enter_format_field();
    type("typed");
    leave_format_field();
    settings({.history = "", .enabled = 1, .format = "loaded again"});
    enter_format_field();
    leave_format_field();
    EXPECT_EQ(saved().format, "typed");
}

TEST_F(PrefsPage, ClosingAddsTheCurrentFormatToTheHistory)
{
    settings({.history = "a\n", .enabled = 1, .format = "b"});
    open();
    enter_format_field();
    type("c");
    leave_format_field();
    close();
    EXPECT_EQ(saved().history, "c\nb\na\n");

    open();
    close();
    const std::string after_first = saved().history;
    open();
    close();
    EXPECT_EQ(saved().history, after_first) << "opening and closing again changes nothing";
}

// Without memory for the converted text the edit field stays empty, and the
// page still works. Two copies of the format as large come first, the
// history's and the list's: the third is the field's.
TEST_F(PrefsPage, WithoutMemoryForTheEditFieldItStaysEmpty)
{
    const std::string format = "a format of a length all of its own: 0123456789";
    settings({.history = "kept\n", .enabled = 1, .format = format});
    {
        hooks::import_hook refuse(component.module, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&refusing_malloc));
        ASSERT_TRUE(refuse.installed());
        refused_size = format.size() + 1;
        refused.fail(3);
        open();
        refused.fail(-1);
    }
    EXPECT_EQ(edit_text(), "");
    EXPECT_EQ(saved().history, format + "\nkept\n");
    EXPECT_EQ(SendMessageA(control(enable_box), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(control(enable_box), BM_CLICK, 0, 0);
    EXPECT_EQ(saved().enabled, 0);
    EXPECT_EQ(saved().format, format);
}

} // namespace
