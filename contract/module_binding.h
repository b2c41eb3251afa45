#pragma once

// What the host hands the module when it binds it through the export. The
// handle locates the page's dialog resources; the services pointer is only
// recorded.
extern void* module_handle;
extern void* host_services;
