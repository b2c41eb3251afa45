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

// The classes of the three services the host can obtain from the module.
constexpr class_guid playback_watcher_class = {0xCC01B85A, 0x5C66, 0x4E66, {0x81, 0x0C, 0xE8, 0xB8, 0x91, 0x95, 0xF5, 0xCD}};
constexpr class_guid prefs_page_class = {0x7255E8D0, 0x3FCF, 0x4781, {0xB9, 0x3B, 0xD0, 0x6C, 0xB8, 0x8D, 0xFA, 0xFA}};
constexpr class_guid identity_record_class = {0x10BB3EBD, 0xDDF7, 0x4975, {0xA3, 0xCC, 0x23, 0x08, 0x48, 0x29, 0x45, 0x3E}};
