#pragma once

// The Windows benchmarks' clock: the performance counter, in seconds.

#include <windows.h>

namespace bench {

inline double seconds_now()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

} // namespace bench
