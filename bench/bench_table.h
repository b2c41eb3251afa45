#pragma once

// One line of the benchmark table: a measurement, our time, the reference's
// time, and the ratio that the target is stated in.

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// ratio is printed as given; target says which way it must go.
inline void row(const char* measurement, double ours_us, double reference_us, double ratio, const char* target)
{
    printf("| %-44s | %12.2f | %12.2f | %6.3f | %-10s |\n", measurement, ours_us, reference_us, ratio, target);
    fflush(stdout);
}

} // namespace bench
