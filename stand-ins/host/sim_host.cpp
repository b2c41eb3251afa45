// A simulated host player: binds vexil_status.dll through its export, the way
// a real host does, and lists what the component offers.

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "host_abi.h"

namespace {

const char* service_kind(const GUID& id)
{
    if (IsEqualGUID(id, host::playback_events_class))
        return "playback watcher";
    if (IsEqualGUID(id, host::preferences_page_class))
        return "preferences page";
    if (IsEqualGUID(id, host::identity_class))
        return "component identity";
    return "unknown service";
}

void list_services(host::module_client* client)
{
    printf("interface version %d\n", client->interface_version());
    int n = 0;
    for (host::service_entry* entry = client->service_list(); entry != nullptr; entry = entry->next)
        printf("service %d: %s %s\n", ++n, host::guid_text(entry->class_id).c_str(), service_kind(entry->class_id));
}

} // namespace

int main(int argc, char** argv)
{
    const char* dll = argc > 1 ? argv[1] : "vexil_status.dll";
    HMODULE module = LoadLibraryA(dll);
    if (module == nullptr) {
        fprintf(stderr, "sim_host: cannot load %s (error %lu)\n", dll, GetLastError());
        return 1;
    }
    auto get_interface = reinterpret_cast<host::get_interface_function>(GetProcAddress(module, host::export_name));
    if (get_interface == nullptr) {
        fprintf(stderr, "sim_host: %s has no export %s\n", dll, host::export_name);
        return 1;
    }
    host::module_client* client = get_interface(nullptr, module);
    printf("loaded %s\n", dll);
    list_services(client);
    return 0;
}
