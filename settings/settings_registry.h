#pragma once

#include "host/host_interfaces.h"

// Module-wide operations on the settings list.

// Writes one record per setting, in list order: name length, name, data
// length, data (the data only when not empty).
void save_settings(config_writer* writer);

// Applies a blob written by save_settings. Never trusts it: a malformed
// record ends the load, records before it stay applied.
void load_settings(const void* blob, int size);

void reset_settings();

// Links every registered listener into its setting's chain, once.
void hook_up_listeners();
