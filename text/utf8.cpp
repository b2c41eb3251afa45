#include "text/utf8.h"

constexpr uint32_t longest_sequence = 6;

struct lead_byte_row {
    uint8_t mask;
    uint8_t value;
};

// Indexed by sequence length.
constexpr lead_byte_row lead_bytes[longest_sequence + 1] = {
    {0x00, 0xFF}, {0x80, 0x00}, {0xE0, 0xC0}, {0xF0, 0xE0}, {0xF8, 0xF0}, {0xFC, 0xF8}, {0xFE, 0xFC},
};

static uint32_t announced_length(uint8_t lead)
{
    for (uint32_t n = 2; n <= longest_sequence; ++n) {
        if ((lead & lead_bytes[n].mask) == lead_bytes[n].value)
            return n;
    }
    return 0;
}

static bool is_continuation(uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

uint32_t decode_utf8_char(const char* source, uint32_t* code_point, uint32_t max_bytes)
{
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(source);
    if (max_bytes == 0) {
        if (code_point != nullptr)
            *code_point = 0;
        return 0;
    }
    if (max_bytes > longest_sequence)
        max_bytes = longest_sequence;
    const uint8_t lead = bytes[0];
    if (lead < 0x80) {
        if (code_point != nullptr)
            *code_point = lead;
        return lead != 0 ? 1 : 0;
    }
    const uint32_t n = announced_length(lead);
    if (n == 0 || n > max_bytes)
        return 0;
    if (n == 2 && (lead & 0x1E) == 0)
        return 0;
    uint32_t value = lead & (0xFFu >> (n + 1));
    // A NUL is no continuation byte: the walk ends at it, and nothing after
    // it is read.
    for (uint32_t i = 1; i < n; ++i) {
        const uint8_t byte = bytes[i];
        if (!is_continuation(byte))
            return 0;
        // Refuses only the long forms of the smallest code points: a lead
        // byte without value bits (E0, F0, F8, FC) and 80, then a third byte
        // below 90, 88, 84 or 82, the forms of code points below 0x10,
        // 0x200, 0x4000 and 0x80000. Other long forms (E0 80 90 is 0x10)
        // decode as they stand.
        if (i == 2 && value == 0 && ((byte & 0x7F) >> (7 - n)) == 0)
            return 0;
        value = (value << 6) | (byte & 0x3F);
    }
    if (code_point != nullptr)
        *code_point = value;
    return n;
}

static uint32_t utf8_length(uint32_t code_point)
{
    if (code_point < 0x80)
        return 1;
    if (code_point < 0x800)
        return 2;
    if (code_point < 0x10000)
        return 3;
    if (code_point < 0x200000)
        return 4;
    if (code_point < 0x4000000)
        return 5;
    if (code_point <= 0x7FFFFFFF)
        return 6;
    return 0;
}

uint32_t encode_utf8_char(uint32_t code_point, char* out)
{
    const uint32_t n = utf8_length(code_point);
    if (n == 0 || out == nullptr)
        return n;
    if (n == 1) {
        out[0] = char(code_point);
        return 1;
    }
    for (uint32_t i = n - 1; i > 0; --i) {
        out[i] = char(0x80 | (code_point & 0x3F));
        code_point >>= 6;
    }
    out[0] = char(lead_bytes[n].value | code_point);
    return n;
}

uint32_t encode_utf16_char(uint32_t code_point, char16_t* out)
{
    if (code_point == 0 || code_point > 0x10FFFF)
        return 0;
    if (code_point < 0x10000) {
        out[0] = char16_t(code_point);
        return 1;
    }
    const uint32_t v = code_point - 0x10000;
    out[0] = char16_t(0xD800 | (v >> 10));
    out[1] = char16_t(0xDC00 | (v & 0x3FF));
    return 2;
}

wide_piece convert_utf8_to_wide_piece(const char* source, char16_t* out, uint32_t out_units, uint32_t max_bytes)
{
    wide_piece piece = {0, 0, false};
    if (out_units == 0)
        return piece;
    while (max_bytes > 0 && source[piece.consumed] != '\0') {
        uint32_t code_point;
        const uint32_t consumed = decode_utf8_char(source + piece.consumed, &code_point, max_bytes);
        char16_t units[2];
        const uint32_t count = consumed > 0 ? encode_utf16_char(code_point, units) : 0;
        if (count == 0)
            break;
        // The last unit of out is kept for the terminating 0.
        if (count >= out_units - piece.units) {
            piece.out_full = true;
            break;
        }
        for (uint32_t i = 0; i < count; ++i)
            out[piece.units++] = units[i];
        piece.consumed += consumed;
        max_bytes -= consumed;
    }
    out[piece.units] = 0;
    return piece;
}

uint32_t convert_utf8_to_wide(const char* source, char16_t* out, uint32_t out_units, uint32_t max_bytes)
{
    return convert_utf8_to_wide_piece(source, out, out_units, max_bytes).units;
}

void append_code_point(text_sink* sink, uint32_t code_point)
{
    char bytes[8];
    const uint32_t n = encode_utf8_char(code_point, bytes);
    if (n > 0)
        sink->append(bytes, n);
}
