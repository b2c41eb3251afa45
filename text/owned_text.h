#pragma once

#include <cstdint>

// Null, or a private heap copy of a NUL-terminated UTF-8 text. Reads as the
// empty text when null; never holds an allocation for an empty text.
class owned_text {
public:
    owned_text() = default;
    owned_text(const owned_text&) = delete;
    owned_text& operator=(const owned_text&) = delete;
    ~owned_text() { release(); }

    // Copies text up to its NUL or max_length bytes. A null text counts as
    // empty. The text may lie inside the current copy. False, with the old
    // text kept, when there is no memory for the copy.
    bool assign(const char* text, uint32_t max_length);
    void release();

    const char* get() const;
    bool is_null() const { return copy == nullptr; }

private:
    char* copy = nullptr;
};
