// The format history on any loaded value and any added text: what it stores
// is always in line form, and an insertion never leaves more entries than the
// bound allows.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "settings/component_settings.h"

static uint32_t entry_count()
{
    text_list entries;
    format_history.get_entries(entries);
    const uint32_t n = entries.count();
    entries.release_all();
    return n;
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
    const uint32_t before = entry_count();
    format_history.add_entry(added.c_str());
    const char* stored = format_history.value.get();
    const uint32_t after = entry_count();

    if (added.c_str()[0] != '\0') {
        check_line_form(stored);
        const uint32_t bound = format_history.limit + 1;
        if (after > (before > bound ? before : bound))
            abort();
    }
    return 0;
}
