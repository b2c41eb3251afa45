#include "settings/history_setting.h"

#include <cstdlib>
#include <cstring>

#include "text/plain_text.h"
#include "text/text_buffer.h"
#include "text/utf8.h"

constexpr char entry_separator = '\n';
constexpr char separator_stand_in = '|';

bool history_setting::get_entries(text_list& entries) const
{
    const char* position = value.get();
    while (*position != '\0') {
        uint32_t count = 0;
        while (position[count] != '\0' && position[count] != entry_separator)
            ++count;
        if (count > 0) {
            char* entry = copy_text(position, count);
            if (entry == nullptr || !entries.insert_at(entry, entries.count())) {
                free(entry);
                return false;
            }
            position += count;
        }
        while (*position == entry_separator)
            ++position;
    }
    return true;
}

bool history_setting::set_entries(const text_list& entries)
{
    text_buffer joined(growth_doubling);
    for (uint32_t i = 0; i < entries.count(); ++i) {
        joined.append(entries.get(i), unbounded);
        append_code_point(&joined, uint32_t(entry_separator));
    }
    if (!joined.complete())
        return false;
    store(joined.data());
    return true;
}

// Moves every entry equal to text to the front; true when there was one.
static bool move_matches_to_front(text_list& entries, const char* text)
{
    bool found = false;
    for (uint32_t i = 0; i < entries.count(); ++i) {
        if (strcmp(entries.get(i), text) == 0) {
            entries.move_to_front(i);
            found = true;
        }
    }
    return found;
}

// Trims the history to its limit and puts a copy of text first; false,
// with the entries as they were, when there is no memory for it.
static bool insert_first(text_list& entries, const char* text, uint32_t limit)
{
    char* entry = copy_text(text, bounded_length(text, unbounded));
    if (entry == nullptr)
        return false;
    while (entries.count() > limit)
        free(entries.remove_at(entries.count() - 1));
    if (!entries.insert_at(entry, 0)) {
        free(entry);
        return false;
    }
    return true;
}

// Either the whole change is stored or, for want of memory at any step,
// the history stays exactly as it was.
void history_setting::add_entry(const char* text)
{
    if (text == nullptr || *text == '\0')
        return;
    text_buffer single_line;
    if (strchr(text, entry_separator) != nullptr) {
        single_line.assign(text, unbounded);
        if (!single_line.complete())
            return;
        single_line.replace_byte(entry_separator, separator_stand_in);
        text = single_line.data();
    }
    text_list entries;
    if (get_entries(entries) && (move_matches_to_front(entries, text) || insert_first(entries, text, limit)))
        set_entries(entries);
    entries.release_all();
}
