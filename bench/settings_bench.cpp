// save_settings and load_settings with a 1 MiB format, against copying the
// same bytes with memcpy.

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/component_settings.h"
#include "settings/memory_writer.h"
#include "settings/settings_list.h"

namespace {

constexpr size_t mebibyte = 1 << 20;

// A host's blob writer that appends into memory it already has, so that the
// measurement sees no growth of its own.
class preallocated_writer final : public config_writer {
public:
    explicit preallocated_writer(size_t capacity) { bytes.reserve(capacity); }
    int write(const void* data, int count) override
    {
        const auto* first = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), first, first + count);
        return count;
    }
    std::vector<uint8_t> bytes;
};

void use_large_format()
{
    const std::string format(mebibyte, 'f');
    vexil_status_format.store(format.c_str());
}

std::vector<uint8_t> saved_blob()
{
    preallocated_writer writer(2 * mebibyte);
    save_settings(&writer);
    return writer.bytes;
}

void save_1mib(benchmark::State& state)
{
    use_large_format();
    preallocated_writer writer(2 * mebibyte);
    for (auto _ : state) {
        writer.bytes.clear();
        save_settings(&writer);
        benchmark::DoNotOptimize(writer.bytes.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(writer.bytes.size()));
}

void load_1mib(benchmark::State& state)
{
    use_large_format();
    const std::vector<uint8_t> blob = saved_blob();
    for (auto _ : state) {
        load_settings(blob.data(), int(blob.size()));
        benchmark::DoNotOptimize(vexil_status_format.value.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(blob.size()));
}

void memcpy_1mib(benchmark::State& state)
{
    use_large_format();
    const std::vector<uint8_t> blob = saved_blob();
    std::vector<uint8_t> copy(blob.size());
    for (auto _ : state) {
        memcpy(copy.data(), blob.data(), blob.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(blob.size()));
}

BENCHMARK(save_1mib);
BENCHMARK(load_1mib);
BENCHMARK(memcpy_1mib);

} // namespace

BENCHMARK_MAIN();
