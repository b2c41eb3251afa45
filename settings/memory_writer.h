#pragma once

#include "contract/host_interfaces.h"
#include "text/byte_block.h"

// A config_writer that appends to a byte_block in memory.
class memory_writer final : public config_writer {
public:
    explicit memory_writer(growth_mode mode) { block.mode = mode; }
    memory_writer(const memory_writer&) = delete;
    memory_writer& operator=(const memory_writer&) = delete;
    ~memory_writer() { block.free_storage(); }

    int write(const void* bytes, int count) override;
    // Starts over with no bytes; a retaining block keeps its allocation.
    void clear();
    // False when some bytes written since the last clear could not be held.
    bool complete() const { return !lost_bytes; }

    byte_block block;

private:
    bool lost_bytes = false;
};
