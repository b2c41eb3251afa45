#include "prefs/history_combo.h"

#include "contract/utf8api.h"

void fill_combo(const history_setting& history, HWND combo)
{
    text_list entries;
    history.get_entries(entries);
    for (uint32_t i = 0; i < entries.count(); ++i)
        uSendMessageText(combo, CB_ADDSTRING, 0, entries.get(i));
    entries.release_all();
}
