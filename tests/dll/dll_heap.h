#pragma once

// The DLL's heap as its own calls make it: its malloc, calloc, realloc and
// free reach these through its import table, which can fail an allocation
// and keep count of the blocks and bytes the DLL holds.

#include <windows.h>
#include <malloc.h>

#include <cstdlib>

#include "../allocation_faults.h"
#include "../import_hooks.h"

namespace dll_heap {

struct use {
    long blocks = 0;
    long bytes = 0;

    bool operator==(const use& other) const { return blocks == other.blocks && bytes == other.bytes; }
};

inline allocation_faults& faults()
{
    static allocation_faults shared;
    return shared;
}

// What the DLL holds of the blocks it allocated since the hooks went in.
inline use& live()
{
    static use counted;
    return counted;
}

inline void* counted(void* block)
{
    if (block != nullptr) {
        ++live().blocks;
        live().bytes += long(_msize(block));
    }
    return block;
}

inline void uncounted(void* block)
{
    if (block != nullptr) {
        --live().blocks;
        live().bytes -= long(_msize(block));
    }
}

inline void* __cdecl dll_malloc(size_t size)
{
    return faults().next_fails() ? nullptr : counted(malloc(size));
}

inline void* __cdecl dll_calloc(size_t count, size_t size)
{
    return faults().next_fails() ? nullptr : counted(calloc(count, size));
}

// A failed realloc leaves the block as it was; one to size 0 frees it.
inline void* __cdecl dll_realloc(void* block, size_t size)
{
    if (faults().next_fails())
        return nullptr;
    const use before = live();
    uncounted(block);
    void* moved = realloc(block, size);
    if (moved == nullptr && size > 0) {
        live() = before;
        return nullptr;
    }
    return counted(moved);
}

inline void __cdecl dll_free(void* block)
{
    uncounted(block);
    free(block);
}

// The four hooks, for the life of the object.
class watch {
public:
    explicit watch(HMODULE module)
        : malloc_hook(module, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&dll_malloc)),
          calloc_hook(module, "msvcrt.dll", "calloc", reinterpret_cast<void*>(&dll_calloc)),
          realloc_hook(module, "msvcrt.dll", "realloc", reinterpret_cast<void*>(&dll_realloc)),
          free_hook(module, "msvcrt.dll", "free", reinterpret_cast<void*>(&dll_free))
    {
    }

    bool installed() const { return malloc_hook.installed() && calloc_hook.installed() && realloc_hook.installed() && free_hook.installed(); }

private:
    hooks::import_hook malloc_hook;
    hooks::import_hook calloc_hook;
    hooks::import_hook realloc_hook;
    hooks::import_hook free_hook;
};

} // namespace dll_heap
