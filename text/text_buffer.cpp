#include "text/text_buffer.h"

#include <cstring>

#include "text/plain_text.h"

constexpr uint32_t spare_on_growth = 16;
constexpr uint32_t spare_before_shrink = 32;

const char* text_buffer::data()
{
    return text_length > 0 ? reinterpret_cast<const char*>(storage.data) : empty_text;
}

bool text_buffer::holds(const char* text) const
{
    const char* begin = reinterpret_cast<const char*>(storage.data);
    return begin != nullptr && text >= begin && text < begin + capacity();
}

bool text_buffer::has_room_for(uint64_t text_bytes) const
{
    return storage.data != nullptr && capacity() > text_bytes;
}

void text_buffer::ensure_capacity(uint64_t need)
{
    if (capacity() < need) {
        if (need <= UINT32_MAX - spare_on_growth)
            storage.resize(uint32_t(need) + spare_on_growth);
    } else if (capacity() - need > spare_before_shrink) {
        storage.resize(uint32_t(need));
    }
}

// Only called with the storage holding at least new_length + 1 bytes.
void text_buffer::terminate_at(uint32_t new_length)
{
    text_length = new_length;
    storage.data[new_length] = '\0';
}

void text_buffer::append(const char* text, uint32_t max_length)
{
    const uint32_t n = bounded_length(text, max_length);
    const bool own = holds(text);
    const uint32_t offset = own ? uint32_t(text - reinterpret_cast<const char*>(storage.data)) : 0;
    // Without room, and no 32-bit size may hold the result, the text stays
    // as it was and the buffer is marked incomplete.
    const uint64_t length_after = uint64_t(text_length) + n;
    ensure_capacity(length_after + 1);
    if (!has_room_for(length_after)) {
        incomplete = true;
        return;
    }
    const char* source = own ? reinterpret_cast<const char*>(storage.data) + offset : text;
    storage.write_at(source, n, text_length);
    terminate_at(text_length + n);
}

void text_buffer::assign(const char* text, uint32_t max_length)
{
    const uint32_t n = bounded_length(text, max_length);
    if (holds(text)) {
        // Moved first: shrinking the storage could cut the source off.
        memmove(storage.data, text, n);
        ensure_capacity(n + 1);
        terminate_at(n);
        incomplete = false;
        return;
    }
    ensure_capacity(n + 1);
    if (!has_room_for(n)) {
        incomplete = true;
        return;
    }
    storage.write_at(text, n, 0);
    terminate_at(n);
    incomplete = false;
}

void text_buffer::truncate(uint32_t new_length)
{
    if (text_length <= new_length)
        return;
    terminate_at(new_length);
    ensure_capacity(new_length + 1);
}

uint32_t text_buffer::replace_byte(char from, char to, uint32_t start)
{
    uint32_t replaced = 0;
    for (uint32_t i = start; i < text_length; ++i) {
        if (storage.data[i] == uint8_t(from)) {
            storage.data[i] = uint8_t(to);
            ++replaced;
        }
    }
    return replaced;
}
