#pragma once

#include <cstdint>

#include "text/byte_block.h"
#include "text/selection.h"

// An ordered list of separately allocated texts, held as item pointers in a
// doubling block. The list never copies an item and frees items only in
// release_all; owners call release_all before the list goes.
class text_list {
public:
    text_list() { storage.mode = growth_doubling; }
    text_list(const text_list&) = delete;
    text_list& operator=(const text_list&) = delete;
    ~text_list() { storage.free_storage(); }

    uint32_t count() const;
    // Null for an index at or past the end.
    char* get(uint32_t index) const;
    // index < count(); the caller owns the returned item.
    char* remove_at(uint32_t index);
    // Keeps, in order, the items whose mark is true; drops the others
    // without freeing them.
    void keep_selected(const selection& kept);
    // index <= count(). False, with the list as it was, when there is no
    // memory for one more item; the item stays the caller's.
    bool insert_at(char* item, uint32_t index);
    // index < count(). Puts the item first, the others keeping their order,
    // as insert_at(remove_at(index), 0) would, but never needs memory.
    void move_to_front(uint32_t index);
    void release_all();

    byte_block storage;

private:
    char** items() const { return reinterpret_cast<char**>(storage.data); }
    void* resize_items(uint32_t n) { return storage.resize(n * uint32_t(sizeof(char*))); }
};
