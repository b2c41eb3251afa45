// The UTF-8 decoder and the conversion to UTF-16 on any bytes: never past
// max_bytes, never past a NUL (also with no limit but the NUL), never past
// the destination, and every decoded character encodes back to a sequence
// that decodes to it.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "text/plain_text.h"
#include "text/utf8.h"

static void check_decoder(const char* text, uint32_t size)
{
    for (uint32_t at = 0; at < size; ++at) {
        uint32_t code_point = 0xFFFFFFFFu;
        const uint32_t n = decode_utf8_char(text + at, &code_point, size - at);
        if (n > size - at || n > 6)
            abort();
        if (n == 0)
            continue;
        char again[8];
        const uint32_t length = encode_utf8_char(code_point, again);
        uint32_t back = 0;
        if (length == 0 || decode_utf8_char(again, &back, length) != length || back != code_point)
            abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 0xFFFF)
        return 0;
    // The first byte chooses the destination's size; the rest is the text,
    // copied to exactly its size and not terminated.
    const uint32_t out_units = data[0];
    const uint32_t text_size = uint32_t(size - 1);
    char* text = static_cast<char*>(malloc(text_size > 0 ? text_size : 1));
    if (text_size > 0)
        memcpy(text, data + 1, text_size);

    check_decoder(text, text_size);

    std::vector<char16_t> out(out_units > 0 ? out_units : 1, 0x7777);
    const wide_piece piece = convert_utf8_to_wide_piece(text, out_units > 0 ? out.data() : nullptr, out_units, text_size);
    if (out_units > 0) {
        if (piece.units >= out_units || out[piece.units] != 0 || piece.consumed > text_size)
            abort();
        if (memchr(text, 0, piece.consumed) != nullptr)
            abort();
        for (uint32_t i = 0; i < piece.units; ++i)
            if (out[i] == 0)
                abort();
    }
    free(text);

    // The same bytes as a NUL-terminated text, converted with no limit but
    // the NUL: the copy is exact, so any read past the NUL is caught.
    char* terminated = static_cast<char*>(malloc(size_t(text_size) + 1));
    memcpy(terminated, data + 1, text_size);
    terminated[text_size] = '\0';
    std::vector<char16_t> unbounded_out(size_t(text_size) + 1);
    const uint32_t units = convert_utf8_to_wide(terminated, unbounded_out.data(), text_size + 1, unbounded);
    if (units > text_size || unbounded_out[units] != 0)
        abort();
    free(terminated);
    return 0;
}
