#include "settings/history_setting.h"

#include <cstdlib>
#include <cstring>

#include "text/plain_text.h"
#include "text/text_buffer.h"
#include "text/utf8.h"

constexpr char entry_separator = '\n';
constexpr char separator_stand_in = '|';

void history_setting::get_entries(text_list& entries) const
{
    const char* position = value.get();
    while (*position != '\0') {
        uint32_t count = 0;
        while (position[count] != '\0' && position[count] != entry_separator)
            ++count;
        if (count > 0) {
            if (char* entry = copy_text(position, count))
                entries.insert_at(entry, entries.count());
            position += count;
        }
        while (*position == entry_separator)
            ++position;
    }
}

void history_setting::set_entries(const text_list& entries)
{
    text_buffer joined(growth_doubling);
    for (uint32_t i = 0; i < entries.count(); ++i) {
        joined.append(entries.get(i), unbounded);
        append_code_point(&joined, uint32_t(entry_separator));
    }
    store(joined.data());
}

// Moves every entry equal to text to the front; true when there was one.
static bool move_matches_to_front(text_list& entries, const char* text)
{
    bool found = false;
    for (uint32_t i = 0; i < entries.count(); ++i) {
        if (strcmp(entries.get(i), text) == 0) {
            entries.insert_at(entries.remove_at(i), 0);
            found = true;
        }
    }
    return found;
}

void history_setting::add_entry(const char* text)
{
    if (text == nullptr || *text == '\0')
        return;
    text_buffer single_line;
    if (strchr(text, entry_separator) != nullptr) {
        single_line.assign(text, unbounded);
        single_line.replace_byte(entry_separator, separator_stand_in);
        text = single_line.data();
    }
    text_list entries;
    get_entries(entries);
    if (!move_matches_to_front(entries, text)) {
        while (entries.count() > limit)
            free(entries.remove_at(entries.count() - 1));
        if (char* entry = copy_text(text, bounded_length(text, unbounded)))
            entries.insert_at(entry, 0);
    }
    set_entries(entries);
    entries.release_all();
}
