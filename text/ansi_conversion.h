#pragma once

#include <cstdint>

// Conversions into the system's ANSI code page. Each is told the real size
// of its destination and never writes past it; out always ends in a NUL.

// Converts up to max_units units of source; returns the bytes written
// before the NUL, 0 when the conversion fails.
uint32_t convert_wide_to_ansi(const char16_t* source, char* out, uint32_t out_bytes, uint32_t max_units);

// Converts up to max_bytes of UTF-8 through UTF-16. No UTF-8 sequence gives
// more ANSI bytes than it has bytes, so out_bytes of the source length plus
// one is always enough.
uint32_t convert_utf8_to_ansi(const char* source, char* out, uint32_t out_bytes, uint32_t max_bytes);
