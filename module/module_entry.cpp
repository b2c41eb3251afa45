#include <windows.h>

#include "contract/module_binding.h"
#include "module/module_client.h"
#include "settings/settings_list.h"

extern "C" module_client* __cdecl tavrolin_get_interface(void* services, HINSTANCE module)
{
    hook_up_listeners();
    module_handle = module;
    host_services = services;
    return &the_module_client;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(module);
    return TRUE;
}
