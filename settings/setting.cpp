#include "settings/setting.h"

#include "text/plain_text.h"

setting* settings_list_head = nullptr;
setting_listener* listener_list_head = nullptr;

setting_listener::setting_listener(setting* target) : target(target), next_registered(listener_list_head)
{
    listener_list_head = this;
}

setting::setting(const char* key) : next(settings_list_head)
{
    name.assign(key, unbounded);
    settings_list_head = this;
}

void setting::notify()
{
    for (setting_listener* listener = listeners; listener != nullptr; listener = listener->next_in_chain)
        listener->on_change(name.get(), this);
}
