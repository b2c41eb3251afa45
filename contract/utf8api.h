#pragma once

#include <windows.h>

#include "text/text_sink.h"

// The host maker's library for UTF-8 window text, imported from utf8api.dll.
extern "C" {
// Replaces out's content with the window's text as UTF-8.
BOOL __cdecl uGetWindowText(HWND window, text_sink* out);
// Sends message with the UTF-8 text in the form the window expects.
LRESULT __cdecl uSendMessageText(HWND window, UINT message, WPARAM wparam, const char* text);
}
