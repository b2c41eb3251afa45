#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import_hooks.h"
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

// Refuses every allocation of one size while armed.
size_t refused_size = 0;

void* __cdecl refusing_malloc(size_t size)
{
    return size == refused_size ? nullptr : malloc(size);
}

std::string ansi_of(const std::wstring& wide)
{
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

struct PrefsPage : component_test {
    // One host window for all tests: without a window manager, Wine waits
    // about two seconds whenever a visible top-level window goes away.
    static void SetUpTestSuite()
    {
        parent = CreateWindowExA(0, "STATIC", "host preferences", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 400, nullptr, nullptr, nullptr, nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(parent); }

    PrefsPage()
        : page(component.instance<host::preferences_page>(host::preferences_page_class)),
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
        ASSERT_NE(parent, nullptr);
        ASSERT_TRUE(item_hook.installed());
    }

    void settings(const std::string& history, int32_t enabled, const std::string& format) const
    {
        std::vector<uint8_t> blob;
        put_record(blob, "format_history", history);
        put_record(blob, "vexil_enabled", int_data(enabled));
        put_record(blob, "vexil_status_format", format);
        client->load_settings(blob.data(), int(blob.size()));
    }

    // The three values as the host would store them.
    struct stored {
        std::string history;
        int32_t enabled;
        std::string format;
    };
    stored saved() const
    {
        std::vector<host::blob_record> records;
        const std::vector<uint8_t> blob = component.save();
        EXPECT_EQ(host::read_records(blob, records), blob.size()) << "the component saved a malformed blob";
        stored s{};
        for (const host::blob_record& record : records) {
            if (record.name == "format_history")
                s.history = record.data;
            else if (record.name == "vexil_enabled" && record.data.size() == 4)
                s.enabled = host::get_int(record.data.data());
            else if (record.name == "vexil_status_format")
                s.format = record.data;
        }
        return s;
    }

    void open()
    {
        dialog = page->create(parent);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        pump();
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
        GetDlgItemTextA(dialog, format_combo, text, sizeof text);
        return text;
    }
    std::vector<std::wstring> list_entries() const
    {
        std::vector<std::wstring> entries;
        const LRESULT n = SendMessageW(control(format_combo), CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            std::wstring text(size_t(SendMessageW(control(format_combo), CB_GETLBTEXTLEN, WPARAM(i), 0)), L'\0');
            SendMessageW(control(format_combo), CB_GETLBTEXT, WPARAM(i), LPARAM(text.data()));
            entries.push_back(text);
        }
        return entries;
    }
    // The user clicks into the format field, types over its text, and
    // leaves it for the check box.
    void enter_format_field() const
    {
        SetForegroundWindow(parent);
        SetFocus(control(format_combo));
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
    void leave_format_field() const
    {
        SetFocus(control(enable_box));
        pump();
    }

    host::preferences_page* page;
    hooks::import_hook item_hook;
    static HWND parent;
    HWND dialog = nullptr;
};

HWND PrefsPage::parent = nullptr;

TEST_F(PrefsPage, IsAHiddenChildOfTheHostWindowWithItsControls)
{
    dialog = page->create(parent);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(dialog)) << "the host decides when to show it";
    EXPECT_EQ(GetParent(dialog), parent);
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD);
    EXPECT_NE(control(enable_box), nullptr);
    EXPECT_NE(control(format_combo), nullptr);
    HWND second = page->create(parent);
    EXPECT_NE(second, dialog) << "each call makes a new dialog";
    DestroyWindow(second);
}

TEST_F(PrefsPage, OpeningShowsTheSettings)
{
    settings("zeta\nalpha\n", 0, "mid %title%");
    open();
    EXPECT_EQ(SendMessageA(control(enable_box), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(edit_text(), "mid %title%");
    EXPECT_EQ(list_entries(), (std::vector<std::wstring>{L"alpha", L"mid %title%", L"zeta"})) << "the combo box's own sorted order";
    EXPECT_EQ(saved().history, "mid %title%\nzeta\nalpha\n") << "the current format joins the history first";
    close();

    settings("", 1, "x");
    open();
    EXPECT_EQ(SendMessageA(control(enable_box), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(PrefsPage, TheStoredSwitchReachesTheCheckBoxUnchanged)
{
    settings("", 7, "f");
    open();
    EXPECT_EQ(item_messages(), (std::vector<std::string>{std::to_string(enable_box) + " " + std::to_string(BM_SETCHECK) + " 7 0"}));
}

TEST_F(PrefsPage, TheEditFieldShowsTheFormatInTheAnsiCodePage)
{
    const std::string format = "caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC";
    settings("", 1, format);
    open();
    EXPECT_EQ(edit_text(), ansi_of(L"caf\xE9 \x20AC \x65E5\x672C"));
    if (GetACP() == 1252)
        EXPECT_EQ(edit_text(), "caf\xE9 \x80 ??");
    EXPECT_EQ(list_entries(), (std::vector<std::wstring>{L"caf\xE9 \x20AC \x65E5\x672C"})) << "list entries go as UTF-8, unconverted";

    // Leaving the field commits what it now reads, replacements included;
    // the history keeps the original.
    enter_format_field();
    leave_format_field();
    EXPECT_EQ(saved().format, "caf\xC3\xA9 \xE2\x82\xAC ??");
    EXPECT_EQ(saved().history, format + "\n");
}

TEST_F(PrefsPage, AClickSetsTheSwitchAtOnce)
{
    settings("", 5, "f");
    open();
    SendMessageA(control(enable_box), BM_CLICK, 0, 0);
    EXPECT_EQ(saved().enabled, 0);
    SendMessageA(control(enable_box), BM_CLICK, 0, 0);
    EXPECT_EQ(saved().enabled, 1);
}

TEST_F(PrefsPage, EditingChangesNothingUntilTheFieldLosesTheFocus)
{
    settings("older\n", 1, "current");
    open();
    enter_format_field();
    type("typed %artist%");
    EXPECT_EQ(saved().format, "current") << "nothing is taken while the user types";
    leave_format_field();
    EXPECT_EQ(saved().format, "typed %artist%");

    enter_format_field();
    SendMessageA(control(format_combo), CB_SETCURSEL, 0, 0);
    EXPECT_EQ(edit_text(), "current");
    SendMessageA(control(format_combo), CB_SETCURSEL, 1, 0);
    EXPECT_EQ(edit_text(), "older") << "choosing an entry fills the edit field";
    EXPECT_EQ(saved().format, "typed %artist%");
    leave_format_field();
    EXPECT_EQ(saved().format, "older");
    EXPECT_EQ(saved().history, "current\nolder\n") << "the history changes only when the page goes";
}

// The controls keep what they showed: a load while the page is open is
// overwritten by the next focus loss, also when the field was not edited.
TEST_F(PrefsPage, LeavingTheFieldCommitsItsTextEvenUnchanged)
{
    settings("", 1, "on the page");
    open();
    settings("", 1, "loaded meanwhile");
    enter_format_field();
    leave_format_field();
    EXPECT_EQ(saved().format, "on the page");

    enter_format_field();
    type("");
    leave_format_field();
    EXPECT_EQ(saved().format, "");
}

TEST_F(PrefsPage, ClosingAddsTheCurrentFormatToTheHistory)
{
    settings("a\n", 1, "b");
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

TEST_F(PrefsPage, AnEmptyFormatLeavesTheHistoryAlone)
{
    settings("a\nb\n", 1, "");
    open();
    EXPECT_EQ(edit_text(), "");
    close();
    EXPECT_EQ(saved().history, "a\nb\n");
}

// Without memory for the converted text the edit field stays empty, and the
// page still works.
TEST_F(PrefsPage, WithoutMemoryForTheEditFieldItStaysEmpty)
{
    const std::string format = "a format of a length all of its own: 0123456789";
    settings("kept\n", 1, format);
    {
        hooks::import_hook refuse(component.module, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&refusing_malloc));
        ASSERT_TRUE(refuse.installed());
        refused_size = format.size() + 1;
        open();
        refused_size = 0;
    }
    EXPECT_EQ(edit_text(), "");
    EXPECT_EQ(SendMessageA(control(enable_box), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(control(enable_box), BM_CLICK, 0, 0);
    EXPECT_EQ(saved().enabled, 0);
    EXPECT_EQ(saved().format, format);
}

} // namespace
