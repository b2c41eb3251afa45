#pragma once

#include <cstdint>

// The settings blob stores every integer as 32-bit little-endian, whatever
// the machine.

inline int32_t read_int32_le(const uint8_t* bytes)
{
    return int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24);
}

inline void write_int32_le(int32_t value, uint8_t* bytes)
{
    const uint32_t bits = uint32_t(value);
    bytes[0] = uint8_t(bits);
    bytes[1] = uint8_t(bits >> 8);
    bytes[2] = uint8_t(bits >> 16);
    bytes[3] = uint8_t(bits >> 24);
}
