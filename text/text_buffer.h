#pragma once

#include "text/byte_block.h"
#include "text/text_sink.h"

// The component's text_sink: a NUL-terminated UTF-8 text in a byte_block.
// A source that lies inside the buffer's own text is copied correctly.
// Text that cannot be held for want of memory leaves the buffer as it was
// and marks it incomplete until an assign is held in full again.
class text_buffer final : public text_sink {
public:
    text_buffer() = default;
    explicit text_buffer(growth_mode mode) { storage.mode = mode; }
    text_buffer(const text_buffer&) = delete;
    text_buffer& operator=(const text_buffer&) = delete;
    ~text_buffer() { storage.free_storage(); }

    const char* data() override;
    void append(const char* text, uint32_t max_length) override;
    void assign(const char* text, uint32_t max_length) override;
    void truncate(uint32_t new_length) override;
    uint32_t length() override { return text_length; }

    // need counts the text and its NUL. Grows with 16 bytes to spare,
    // shrinks past 32 spare bytes; a need no 32-bit size holds with its
    // spare leaves the storage as it was.
    void ensure_capacity(uint64_t need);
    // The bytes the buffer can hold, NUL included: the storage's used size.
    uint32_t capacity() const { return storage.used; }
    uint32_t replace_byte(char from, char to, uint32_t start = 0);
    // False when some text written to the buffer could not be held.
    bool complete() const { return !incomplete; }

    byte_block storage;

private:
    bool holds(const char* text) const;
    bool has_room_for(uint64_t text_bytes) const;
    void terminate_at(uint32_t new_length);

    uint32_t text_length = 0;
    bool incomplete = false;
};
