#include "text/byte_block.h"

#include <cstdlib>
#include <cstring>

// Above this a power-of-two allocation, doubling or retained, would
// overflow 32 bits.
constexpr uint32_t largest_power_of_two_request = 0x80000000u;

void byte_block::free_storage()
{
    free(data);
    data = nullptr;
    allocated = 0;
    used = 0;
}

uint32_t byte_block::target_allocation(uint32_t new_size) const
{
    if (mode == growth_exact)
        return new_size;
    uint32_t target = allocated != 0 ? allocated : 1;
    while (target < new_size)
        target <<= 1;
    if (mode == growth_doubling) {
        while ((target >> 1) > new_size)
            target >>= 1;
    }
    return target;
}

void* byte_block::resize(uint32_t new_size)
{
    if (new_size == 0) {
        if (mode == growth_retain)
            used = 0;
        else
            free_storage();
        return data;
    }
    if (mode != growth_exact && new_size > largest_power_of_two_request)
        return nullptr;
    const uint32_t target = target_allocation(new_size);
    if (target != allocated) {
        void* moved = data == nullptr ? malloc(target) : realloc(data, target);
        if (moved != nullptr) {
            data = static_cast<uint8_t*>(moved);
            allocated = target;
        } else if (target > allocated) {
            return nullptr;
        }
        // A smaller allocation that cannot be had: the larger one serves.
    }
    used = new_size;
    return data;
}

void* byte_block::write_at(const void* source, uint32_t count, uint32_t position)
{
    if (count > UINT32_MAX - position)
        return nullptr;
    if (used < position + count && resize(position + count) == nullptr)
        return nullptr;
    if (data == nullptr)
        return nullptr;
    uint8_t* target = data + position;
    if (source != nullptr)
        memcpy(target, source, count);
    else
        memset(target, 0, count);
    return target;
}
