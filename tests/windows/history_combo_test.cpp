#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "../combo_entries.h"
#include "prefs/history_combo.h"
#include "settings/component_settings.h"
#include "settings/settings_list.h"

namespace {

struct HistoryCombo : ::testing::Test {
    HistoryCombo()
    {
        reset_settings();
        combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_POPUP | CBS_DROPDOWN, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    }
    ~HistoryCombo() override
    {
        DestroyWindow(combo);
        reset_settings();
    }

    std::vector<std::wstring> items() const { return combo_entries(combo); }

    HWND combo;
};

// An unsorted combo box shows the order in which the entries were sent.
TEST_F(HistoryCombo, AddsEveryEntryInHistoryOrderAsUtf8)
{
    ASSERT_NE(combo, nullptr);
    format_history.store("zeta\n\xE2\x82\xAC euro\nalpha\n");
    fill_combo(format_history, combo);
    EXPECT_EQ(items(), (std::vector<std::wstring>{L"zeta", L"\x20AC euro", L"alpha"}));
}

TEST_F(HistoryCombo, AnEmptyHistorySendsNothing)
{
    SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(L"already there"));
    fill_combo(format_history, combo);
    EXPECT_EQ(items(), std::vector<std::wstring>{L"already there"});
}

} // namespace
