#pragma once

#include <cstdint>

// A GUID in the standard in-memory layout: 32-bit and two 16-bit
// little-endian fields, then 8 bytes.
struct class_guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

static_assert(sizeof(class_guid) == 16, "a GUID is 16 bytes");
