#pragma once

#include <cstdint>

enum growth_mode : int32_t {
    growth_exact = 0,    // the allocation equals the logical size
    growth_doubling = 1, // powers of two, up and down, nothing kept at size 0
    growth_retain = 2,   // powers of two, never given back until freed
};

// A growable run of heap bytes whose logical size is separate from its
// allocation. Owners call free_storage when they are destroyed.
//
// When the memory to grow cannot be had, resize returns null and the block
// is left exactly as it was, so that nothing it held is lost; a block can
// always shrink, keeping its larger allocation when a smaller one cannot be
// had.
struct byte_block {
    uint8_t* data = nullptr;
    uint32_t allocated = 0;
    uint32_t used = 0;
    growth_mode mode = growth_exact;

    // The data, or null when the block could not grow to new_size.
    void* resize(uint32_t new_size);
    // Copies count bytes (zeros for a null source) to position, growing the
    // block first when needed, and gives data + position: null when the
    // block could not grow, and for a write of no bytes to a block that
    // holds no memory.
    void* write_at(const void* source, uint32_t count, uint32_t position);
    // Gives the memory back and leaves the block empty.
    void free_storage();

private:
    uint32_t target_allocation(uint32_t new_size) const;
};
