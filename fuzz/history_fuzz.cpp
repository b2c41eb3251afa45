// The format history on any loaded value and any added text: what it stores
// is always in line form, and an insertion leaves exactly the entries it
// should.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "settings/component_settings.h"

static std::vector<std::string> entries_now()
{
    text_list entries;
    format_history.get_entries(entries);
    std::vector<std::string> copied;
    for (uint32_t i = 0; i < entries.count(); ++i)
        copied.emplace_back(entries.get(i));
    entries.release_all();
    return copied;
}

static void check_line_form(const char* value)
{
    // Entries, each ended by one line feed: no empty entry, nothing after the
    // last line feed.
    const size_t length = strlen(value);
    if (length == 0)
        return;
    if (value[0] == '\n' || value[length - 1] != '\n' || strstr(value, "\n\n") != nullptr)
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The loaded value and the added text, separated by the first 0xFF.
    const uint8_t* separator = static_cast<const uint8_t*>(memchr(data, 0xFF, size));
    const size_t loaded_size = separator != nullptr ? size_t(separator - data) : size;
    const std::string added = separator != nullptr ? std::string(reinterpret_cast<const char*>(separator + 1), size - loaded_size - 1) : "";
    if (loaded_size > 0x7FFFFFFF)
        return 0;

    format_history.set_data(data, int(loaded_size));
    const std::vector<std::string> before = entries_now();
    format_history.add_entry(added.c_str());
    const size_t after = entries_now().size();

    // The text up to its first NUL, its line feeds as bars: an entry equal
    // to it moves to the front, else it goes first after the trim.
    std::string entry = added.c_str();
    std::replace(entry.begin(), entry.end(), '\n', '|');
    size_t expected = before.size();
    if (!entry.empty() && std::find(before.begin(), before.end(), entry) == before.end())
        expected = std::min<size_t>(before.size(), format_history.limit) + 1;
    if (after != expected)
        abort();
    if (!entry.empty())
        check_line_form(format_history.value.get());
    return 0;
}
