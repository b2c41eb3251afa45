#include "text/ansi_conversion.h"

#include <windows.h>

#include "text/plain_text.h"
#include "text/utf8.h"

// The largest UTF-16 scratch, taken on the stack: 64 KiB.
constexpr uint32_t largest_scratch_units = 0x8000;

uint32_t convert_wide_to_ansi(const char16_t* source, char* out, uint32_t out_bytes, uint32_t max_units)
{
    if (out_bytes == 0)
        return 0;
    const uint32_t n = bounded_length_wide(source, max_units);
    int written = 0;
    // A room of 0 would ask the OS for the size instead. No text of a 32-bit
    // process has 2^31 units, but a room may be given as larger than the
    // OS's int.
    if (n > 0 && out_bytes > 1) {
        const uint32_t room = out_bytes - 1 > 0x7FFFFFFF ? 0x7FFFFFFF : out_bytes - 1;
        written = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWCH>(source), int(n), out, int(room), nullptr, nullptr);
    }
    const uint32_t length = written > 0 ? uint32_t(written) : 0;
    out[length] = '\0';
    return length;
}

uint32_t convert_utf8_to_ansi(const char* source, char* out, uint32_t out_bytes, uint32_t max_bytes)
{
    if (out_bytes == 0)
        return 0;
    // Texts of up to 32,767 bytes go through the UTF-16 scratch in one piece,
    // longer ones in pieces of up to 32,767 units (the scratch's last unit
    // holds the terminator), so that the heap is never needed. The code page
    // is stateless, so the pieces join into the same text.
    uint32_t n = bounded_length(source, max_bytes);
    const uint32_t scratch_units = n < largest_scratch_units ? n + 1 : largest_scratch_units;
    auto* scratch = static_cast<char16_t*>(__builtin_alloca((2 * scratch_units + 3) & ~3u));
    uint32_t written = 0;
    for (;;) {
        const wide_piece piece = convert_utf8_to_wide_piece(source, scratch, scratch_units, n);
        if (piece.units > 0) {
            const uint32_t bytes = convert_wide_to_ansi(scratch, out + written, out_bytes - written, piece.units);
            if (bytes == 0) {
                // As one conversion of the whole text, a text that does not
                // fit gives the empty text.
                out[0] = '\0';
                return 0;
            }
            written += bytes;
        }
        if (!piece.out_full || piece.consumed == 0) // LCOV_EXCL_BR_LINE: a full scratch has taken thousands of characters; one that took none would spin the host
            break;
        source += piece.consumed;
        n -= piece.consumed;
    }
    out[written] = '\0';
    return written;
}
