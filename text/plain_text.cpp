#include "text/plain_text.h"

#include <cstdlib>
#include <cstdint>
#include <cstring>

const char empty_text[1] = "";

#if defined(__SANITIZE_ADDRESS__)
#define WORD_SCAN 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WORD_SCAN 0
#endif
#endif
#ifndef WORD_SCAN
#define WORD_SCAN 1
#endif

uint32_t bounded_length(const char* text, uint32_t max_length)
{
    uint32_t n = 0;
#if WORD_SCAN
    // Whole aligned words while no byte in them is NUL. An aligned word never
    // spans two pages, so reading the one that holds the NUL is safe; no
    // word reaches index max_length. The sanitizers, which know nothing of
    // pages, see the plain loop below.
    while (n < max_length && (reinterpret_cast<uintptr_t>(text + n) & 3) != 0) {
        if (text[n] == '\0')
            return n;
        ++n;
    }
    while (max_length - n >= 4) {
        uint32_t word;
        memcpy(&word, text + n, 4);
        if (((word - 0x01010101u) & ~word & 0x80808080u) != 0)
            break;
        n += 4;
    }
#endif
    while (n < max_length && text[n] != '\0')
        ++n;
    return n;
}

uint32_t bounded_length_wide(const char16_t* text, uint32_t max_units)
{
    uint32_t n = 0;
    while (n < max_units && text[n] != 0)
        ++n;
    return n;
}

char* copy_text(const char* source, uint32_t n)
{
    if (n == unbounded)
        return nullptr;
    char* copy = static_cast<char*>(malloc(size_t(n) + 1));
    if (copy == nullptr)
        return nullptr;
    memcpy(copy, source, n);
    copy[n] = '\0';
    return copy;
}
