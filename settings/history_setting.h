#pragma once

#include "settings/text_setting.h"
#include "text/text_list.h"

// A history of texts kept in one text value, most recent first, each entry
// followed by one line feed. Reading is lenient: runs of line feeds produce
// no entries, and carriage returns stay part of an entry.
class history_setting final : public text_setting {
public:
    history_setting(const char* key, uint32_t limit, const char* default_text) : text_setting(key, default_text), limit(limit) {}

    // Appends the entries, in order, at the end of entries; false when
    // memory ran out before every entry was read.
    bool get_entries(text_list& entries) const;
    // Stores the entries in line form and notifies; entries stay the caller's.
    // False, with nothing stored, when there is no memory to join them; true
    // once the joined text went to store, which keeps the old value (and
    // tells nobody) when it cannot copy it.
    bool set_entries(const text_list& entries);
    // Makes text the most recent entry: moves every equal entry to the front,
    // or inserts it after trimming the history to limit entries. Line feeds in
    // text become '|'. Ignores a null or empty text. Without the memory for
    // the whole change the history stays as it was.
    void add_entry(const char* text);

    // The earlier entries a new one joins: the history keeps up to limit + 1
    // entries. Both are the contract's, which names 10.
    uint32_t limit;
};
