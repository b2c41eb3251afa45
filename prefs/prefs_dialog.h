#pragma once

#include <windows.h>

// Ties the page's controls to the settings. Returns 0 for every message.
INT_PTR CALLBACK prefs_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
