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

// The empty slot of an abstract table, which nothing here ever calls. Our
// own keeps the C++ runtime's terminate handler, and the stdio it prints
// with, out of the DLL.
// LCOV_EXCL_START: only an object still under construction could call it, and no constructor here makes a virtual call.
extern "C" void __cxa_pure_virtual()
{
    __builtin_trap();
}
// LCOV_EXCL_STOP

// The start-up code fixes up data imported without dllimport. The DLL is
// linked so that it has none (the link fails otherwise), which leaves the
// runtime's relocator, and the stdio of its error path, nothing to do.
extern "C" void _pei386_runtime_relocator() {}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(module);
    return TRUE;
}
