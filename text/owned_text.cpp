#include "text/owned_text.h"

#include <cstdlib>

#include "text/plain_text.h"

bool owned_text::assign(const char* text, uint32_t max_length)
{
    const uint32_t n = text != nullptr ? bounded_length(text, max_length) : 0;
    char* replacement = n > 0 ? copy_text(text, n) : nullptr;
    if (n > 0 && replacement == nullptr)
        return false;
    release();
    copy = replacement;
    return true;
}

void owned_text::release()
{
    free(copy);
    copy = nullptr;
}

const char* owned_text::get() const
{
    return copy != nullptr ? copy : empty_text;
}
