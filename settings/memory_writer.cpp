#include "settings/memory_writer.h"

int memory_writer::write(const void* bytes, int count)
{
    if (count < 0)
        return 0;
    // A write of no bytes to an empty block gives null too, and loses nothing.
    if (block.write_at(bytes, uint32_t(count), block.used) == nullptr && count > 0)
        lost_bytes = true;
    return count;
}

void memory_writer::clear()
{
    block.resize(0);
    lost_bytes = false;
}
