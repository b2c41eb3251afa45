#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

// The service registry's atomic counting, kept behind two functions so that
// the registry also builds and runs natively. Under mingw-w64 the
// Interlocked functions are compiler intrinsics, a locked instruction: the
// DLL imports no function for them.
inline int32_t increment_count(volatile int32_t* count)
{
#ifdef _WIN32
    return InterlockedIncrement(reinterpret_cast<volatile LONG*>(count));
#else
    return __atomic_add_fetch(count, 1, __ATOMIC_SEQ_CST);
#endif
}

inline int32_t decrement_count(volatile int32_t* count)
{
#ifdef _WIN32
    return InterlockedDecrement(reinterpret_cast<volatile LONG*>(count));
#else
    return __atomic_sub_fetch(count, 1, __ATOMIC_SEQ_CST);
#endif
}
