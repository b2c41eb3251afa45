#pragma once

#include "text/owned_text.h"

// What the host tells the module about itself. The host flag and the
// module path are only stored; the file name is reported by the identity
// service and the handle locates the dialog resources.
extern void* module_handle;
extern void* host_services;
extern owned_text module_path;
extern owned_text module_file_name;
extern bool host_flag;
