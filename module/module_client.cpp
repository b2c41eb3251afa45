#include "module/module_client.h"

#include "module/module_state.h"
#include "settings/settings_list.h"
#include "text/plain_text.h"

int module_client::interface_version()
{
    return host_interface_version;
}

service_entry* module_client::service_list()
{
    return service_list_head;
}

void module_client::save_settings(config_writer* writer)
{
    ::save_settings(writer);
}

void module_client::load_settings(const void* data, int size)
{
    ::load_settings(data, size);
}

void module_client::reset_settings()
{
    ::reset_settings();
}

void module_client::set_module_names(const char* path, const char* file_name)
{
    module_path.assign(path, unbounded);
    module_file_name.assign(file_name, unbounded);
}

void module_client::set_host_flag(bool flag)
{
    stored_host_flag = flag;
}
