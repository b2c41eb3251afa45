#pragma once

#include "text/owned_text.h"

// What the host tells the module about itself through module_client. The
// module path is only stored; the file name is reported by the identity
// service.
extern owned_text module_path;
extern owned_text module_file_name;
// The one byte the host gives through set_host_flag. Its meaning is the
// host's: the component stores it and never reads it.
extern bool stored_host_flag;
