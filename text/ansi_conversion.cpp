#include "text/ansi_conversion.h"

#include <windows.h>

#include "text/byte_block.h"
#include "text/plain_text.h"
#include "text/utf8.h"

// Texts of up to 32,767 bytes convert without touching the heap.
constexpr uint32_t largest_stack_scratch = 0x10000;

uint32_t convert_wide_to_ansi(const char16_t* source, char* out, uint32_t out_bytes, uint32_t max_units)
{
    if (out_bytes == 0)
        return 0;
    const uint32_t n = bounded_length_wide(source, max_units);
    int written = 0;
    if (n > 0 && out_bytes > 1 && n <= 0x7FFFFFFF) {
        const uint32_t room = out_bytes - 1 > 0x7FFFFFFF ? 0x7FFFFFFF : out_bytes - 1;
        written = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWCH>(source), int(n), out, int(room), nullptr, nullptr);
    }
    const uint32_t length = written > 0 ? uint32_t(written) : 0;
    out[length] = '\0';
    return length;
}

static uint32_t convert_through(char16_t* scratch, uint32_t scratch_units, const char* source, uint32_t n, char* out, uint32_t out_bytes)
{
    const uint32_t units = convert_utf8_to_wide(source, scratch, scratch_units, n);
    return convert_wide_to_ansi(scratch, out, out_bytes, units);
}

uint32_t convert_utf8_to_ansi(const char* source, char* out, uint32_t out_bytes, uint32_t max_bytes)
{
    const uint32_t n = bounded_length(source, max_bytes);
    if (n >= 0x7FFFFFFF) {
        if (out_bytes > 0)
            out[0] = '\0';
        return 0;
    }
    const uint32_t scratch_bytes = 2 * n + 2;
    if (scratch_bytes <= largest_stack_scratch) {
        char16_t* scratch = static_cast<char16_t*>(__builtin_alloca((scratch_bytes + 3) & ~3u));
        return convert_through(scratch, n + 1, source, n, out, out_bytes);
    }
    byte_block heap_scratch;
    char16_t* scratch = static_cast<char16_t*>(heap_scratch.resize(scratch_bytes));
    uint32_t result = 0;
    if (scratch != nullptr)
        result = convert_through(scratch, n + 1, source, n, out, out_bytes);
    else if (out_bytes > 0)
        out[0] = '\0';
    heap_scratch.free_storage();
    return result;
}
