#include "settings/memory_writer.h"

int memory_writer::write(const void* bytes, int count)
{
    if (count < 0)
        return 0;
    block.write_at(bytes, uint32_t(count), block.used);
    return count;
}
