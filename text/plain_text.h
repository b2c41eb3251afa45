#pragma once

#include <cstdint>

// Maximum length meaning "no limit other than the terminating NUL".
constexpr uint32_t unbounded = 0xFFFFFFFFu;

// The one text that every null or empty text reads as.
extern const char empty_text[1];

// Bytes before the first NUL, but never more than max_length; no byte at
// index max_length or beyond is examined.
uint32_t bounded_length(const char* text, uint32_t max_length);

// The same for a text of UTF-16 units.
uint32_t bounded_length_wide(const char16_t* text, uint32_t max_units);

// A heap copy (malloc) of exactly n bytes plus a NUL; null when the memory
// cannot be had. n is a count, not a limit: unbounded, which the other text
// functions take as "up to the NUL", gives null as if memory had run out.
// The caller frees it.
char* copy_text(const char* source, uint32_t n);
