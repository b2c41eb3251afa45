#include "prefs/prefs_dialog.h"

#include <cstdlib>

#include "contract/utf8api.h"
#include "prefs/history_combo.h"
#include "prefs/resource.h"
#include "settings/component_settings.h"
#include "text/ansi_conversion.h"
#include "text/plain_text.h"
#include "text/text_buffer.h"

// The format field of an open page that could not be filled with the
// format, for want of memory or of a conversion. What it reads is not the
// format, so leaving it changes nothing until the user types or chooses
// something there.
static HWND unfilled_field = nullptr;

// The combo box's edit field takes ANSI text; the list entries go through
// utf8api as UTF-8. False when the field could not show the format.
static bool show_format(HWND dialog, const char* format)
{
    const uint32_t n = bounded_length(format, unbounded);
    char* ansi = n < unbounded ? static_cast<char*>(malloc(size_t(n) + 1)) : nullptr;
    if (ansi == nullptr)
        return false;
    const uint32_t shown = convert_utf8_to_ansi(format, ansi, n + 1, n);
    SetDlgItemTextA(dialog, IDC_FORMAT, ansi);
    free(ansi);
    return shown > 0 || n == 0;
}

static void on_init_dialog(HWND dialog)
{
    format_history.add_entry(vexil_status_format.value.get());
    const HWND field = GetDlgItem(dialog, IDC_FORMAT);
    fill_combo(format_history, field);
    if (!show_format(dialog, vexil_status_format.value.get()))
        unfilled_field = field;
    SendDlgItemMessageA(dialog, IDC_ENABLE, BM_SETCHECK, WPARAM(vexil_enabled.value), 0);
}

static void on_enable_clicked(HWND check_box)
{
    vexil_enabled.value = int32_t(SendMessageA(check_box, BM_GETCHECK, 0, 0));
    vexil_enabled.notify();
}

// Also when the text has not changed: leaving the field always commits it,
// unless its text could not be read whole.
static void on_format_focus_lost(HWND combo)
{
    if (combo == unfilled_field)
        return;
    text_buffer edited;
    if (uGetWindowText(combo, &edited) && edited.complete())
        vexil_status_format.store(edited.data());
}

static void on_command(WPARAM command, LPARAM control)
{
    const HWND window = reinterpret_cast<HWND>(control);
    if (command == MAKEWPARAM(IDC_ENABLE, BN_CLICKED))
        on_enable_clicked(window);
    else if (command == MAKEWPARAM(IDC_FORMAT, CBN_KILLFOCUS))
        on_format_focus_lost(window);
    else if (window == unfilled_field && (command == MAKEWPARAM(IDC_FORMAT, CBN_EDITCHANGE) || command == MAKEWPARAM(IDC_FORMAT, CBN_SELCHANGE)))
        unfilled_field = nullptr;
}

static void on_destroy(HWND dialog)
{
    if (unfilled_field != nullptr && GetDlgItem(dialog, IDC_FORMAT) == unfilled_field)
        unfilled_field = nullptr;
    format_history.add_entry(vexil_status_format.value.get());
}

INT_PTR CALLBACK prefs_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        on_init_dialog(dialog);
        break;
    case WM_COMMAND:
        on_command(wparam, lparam);
        break;
    case WM_DESTROY:
        on_destroy(dialog);
        break;
    }
    return 0;
}
