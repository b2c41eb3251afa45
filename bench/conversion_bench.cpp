// convert_utf8_to_ansi against the OS's own path, UTF-8 to UTF-16 with
// MultiByteToWideChar and on to the ANSI code page, on 1 MiB of text.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_table.h"
#include "text/ansi_conversion.h"

namespace {

constexpr size_t mebibyte = 1 << 20;
constexpr int rounds = 15;

std::string repeated(const std::string& piece)
{
    std::string text;
    while (text.size() + piece.size() <= mebibyte)
        text += piece;
    text.resize(mebibyte, 'x');
    return text;
}

uint32_t os_path(const std::string& text, char* out, uint32_t out_bytes)
{
    const int n = int(text.size());
    auto* wide = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * (size_t(n) + 1)));
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), n, wide, n + 1);
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, units, out, int(out_bytes) - 1, nullptr, nullptr);
    out[bytes] = '\0';
    free(wide);
    return uint32_t(bytes);
}

template <class Work>
double microseconds(Work work)
{
    const double start = bench::seconds_now();
    work();
    return (bench::seconds_now() - start) * 1e6;
}

bool compare(const char* name, const std::string& text)
{
    std::vector<char> ours_out(text.size() + 1);
    std::vector<char> os_out(text.size() + 1);
    const uint32_t out_bytes = uint32_t(text.size() + 1);
    std::vector<double> ours;
    std::vector<double> os;
    for (int round = 0; round < rounds; ++round) {
        ours.push_back(microseconds([&] { convert_utf8_to_ansi(text.c_str(), ours_out.data(), out_bytes, uint32_t(text.size())); }));
        os.push_back(microseconds([&] { os_path(text, os_out.data(), out_bytes); }));
    }
    if (ours_out != os_out) {
        fprintf(stderr, "conversion_bench: results differ for %s\n", name);
        return false;
    }
    const double ours_us = bench::median(ours);
    const double os_us = bench::median(os);
    bench::row(name, ours_us, os_us, ours_us / os_us, "(report)");
    return true;
}

} // namespace

int main()
{
    const bool ascii = compare("convert_utf8_to_ansi 1 MiB ASCII / OS path", repeated("now playing: Heroes-David Bowie "));
    const bool mixed = compare("convert_utf8_to_ansi 1 MiB mixed / OS path",
                               repeated("J\xC3\xB3ga-Bj\xC3\xB6rk \xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F \xE5\xA4\x9C\xE3\x81\xAB \xF0\x9F\x8E\xB5 caf\xC3\xA9 "));
    return ascii && mixed ? 0 : 1;
}
