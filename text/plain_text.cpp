#include "text/plain_text.h"

#include <cstdlib>
#include <cstring>

const char empty_text[1] = "";

uint32_t bounded_length(const char* text, uint32_t max_length)
{
    uint32_t n = 0;
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
