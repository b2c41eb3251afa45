#pragma once

#include "text/owned_text.h"

// What the host tells the module about itself through module_client. The
// module path and the flag are only stored; the file name is reported by
// the identity service.
extern owned_text module_path;
extern owned_text module_file_name;
extern bool host_flag;
