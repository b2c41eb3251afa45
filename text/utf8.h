#pragma once

#include <cstdint>

#include "text/text_sink.h"

// UTF-8 as in RFC 2279: up to six bytes per character, code points of up to
// 31 bits.

// Bytes consumed (1 to 6), or 0 at the end of the text or for a malformed
// sequence; reads no more than max_bytes and nothing past a NUL. At the end
// of the text (max_bytes 0, or a NUL) code_point is set to 0; for a
// malformed sequence it is left unchanged. Long forms are refused only for
// the smallest code points (C0 and C1 leads, and longer forms of values
// below 0x10, 0x200, 0x4000 and 0x80000 whose lead carries no value bits
// and whose second byte is 80); the others decode as they stand: E0 80 AF
// gives '/'.
uint32_t decode_utf8_char(const char* source, uint32_t* code_point, uint32_t max_bytes);

// Bytes of the UTF-8 form (1 to 6), or 0 above 0x7FFFFFFF. A null out only
// measures.
uint32_t encode_utf8_char(uint32_t code_point, char* out);

// Units written (1 or 2), or 0 for code point 0 and above 0x10FFFF.
uint32_t encode_utf16_char(uint32_t code_point, char16_t* out);

// Converts up to max_bytes of UTF-8 into out, which holds out_units units,
// one character at a time through decode_utf8_char; stops at the NUL, at a
// malformed or cut sequence, at a code point UTF-16 cannot carry, or when
// out is full, and reads nothing past the NUL whatever max_bytes is. Always
// terminates out (when out_units > 0); returns the units written before the
// 0 unit.
uint32_t convert_utf8_to_wide(const char* source, char16_t* out, uint32_t out_units, uint32_t max_bytes);

// The same conversion, also telling how many source bytes it used and
// whether it stopped only because out was full.
struct wide_piece {
    uint32_t units;
    uint32_t consumed;
    bool out_full;
};
wide_piece convert_utf8_to_wide_piece(const char* source, char16_t* out, uint32_t out_units, uint32_t max_bytes);

void append_code_point(text_sink* sink, uint32_t code_point);
