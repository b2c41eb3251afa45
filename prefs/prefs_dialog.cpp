#include "prefs/prefs_dialog.h"

#include <cstdlib>

#include "contract/utf8api.h"
#include "prefs/history_combo.h"
#include "prefs/resource.h"
#include "settings/component_settings.h"
#include "text/ansi_conversion.h"
#include "text/plain_text.h"
#include "text/text_buffer.h"

// The edit field shows the format as the ANSI code page can, which is not
// always the format: characters the code page lacks become "?" or a look-
// alike, and a malformed sequence ends the text. So a focus loss stores the
// field only once the user has changed it, by typing or by choosing an
// entry. The mark is the dialog's own, so pages open side by side keep
// their own; a new dialog's user word is 0.
static void mark_format_changed(HWND dialog)
{
    SetWindowLongA(dialog, DWL_USER, 1);
}

static bool format_changed(HWND dialog)
{
    return GetWindowLongA(dialog, DWL_USER) != 0;
}

// The combo box's edit field takes ANSI text; the list entries go through
// utf8api as UTF-8. Without memory for the ANSI form the field stays empty.
// SetDlgItemTextA raises no CBN_EDITCHANGE, so showing the format does not
// count as the user's change. No text of a 32-bit process is 4 GiB long, so
// n + 1 does not wrap.
static void show_format(HWND dialog, const char* format)
{
    const uint32_t n = bounded_length(format, unbounded);
    char* ansi = static_cast<char*>(malloc(size_t(n) + 1));
    if (ansi == nullptr)
        return;
    convert_utf8_to_ansi(format, ansi, n + 1, n);
    SetDlgItemTextA(dialog, IDC_FORMAT, ansi);
    free(ansi);
}

static void on_init_dialog(HWND dialog)
{
    format_history.add_entry(vexil_status_format.value.get());
    fill_combo(format_history, GetDlgItem(dialog, IDC_FORMAT));
    show_format(dialog, vexil_status_format.value.get());
    // As stored, even when a loaded blob gave neither 0 nor 1: a two-state
    // box shows any other value checked, as publishing takes it, and the
    // setting keeps its value until the user clicks.
    SendDlgItemMessageA(dialog, IDC_ENABLE, BM_SETCHECK, WPARAM(vexil_enabled.value), 0);
}

static void on_enable_clicked(HWND check_box)
{
    vexil_enabled.value = int32_t(SendMessageA(check_box, BM_GETCHECK, 0, 0));
    vexil_enabled.notify();
}

// Once changed, every focus loss stores the field, also when its text is
// the same as at the last one, unless its text could not be read whole. A
// host's utf8api may answer FALSE for a window without text: when the
// control has none, that is the empty format, not a failed read.
static void on_format_focus_lost(HWND dialog, HWND combo)
{
    if (!format_changed(dialog))
        return;
    text_buffer edited;
    if (uGetWindowText(combo, &edited)) {
        if (edited.complete())
            vexil_status_format.store(edited.data());
    } else if (GetWindowTextLengthA(combo) == 0) {
        vexil_status_format.store(empty_text);
    }
}

static void on_command(HWND dialog, WPARAM command, LPARAM control)
{
    const HWND window = reinterpret_cast<HWND>(control);
    if (command == MAKEWPARAM(IDC_ENABLE, BN_CLICKED))
        on_enable_clicked(window);
    else if (command == MAKEWPARAM(IDC_FORMAT, CBN_KILLFOCUS))
        on_format_focus_lost(dialog, window);
    else if (command == MAKEWPARAM(IDC_FORMAT, CBN_EDITCHANGE) || command == MAKEWPARAM(IDC_FORMAT, CBN_SELCHANGE))
        mark_format_changed(dialog);
}

static void on_destroy()
{
    format_history.add_entry(vexil_status_format.value.get());
}

INT_PTR CALLBACK prefs_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        on_init_dialog(dialog);
        break;
    case WM_COMMAND:
        on_command(dialog, wparam, lparam);
        break;
    case WM_DESTROY:
        on_destroy();
        break;
    }
    return 0;
}
