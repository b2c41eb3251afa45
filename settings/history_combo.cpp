#include "settings/history_setting.h"

#include "host/utf8api.h"

void history_setting::fill_combo(HWND combo) const
{
    text_list entries;
    get_entries(entries);
    for (uint32_t i = 0; i < entries.count(); ++i)
        uSendMessageText(combo, CB_ADDSTRING, 0, entries.get(i));
    entries.release_all();
}
