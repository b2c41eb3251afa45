#pragma once

#include <windows.h>

#include "settings/history_setting.h"

// Adds every entry of the history to the combo box as UTF-8 through
// utf8api. The box is not emptied first; a sorted box, as the page's is,
// lists them in its own order.
void fill_combo(const history_setting& history, HWND combo);
