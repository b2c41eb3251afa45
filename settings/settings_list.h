#pragma once

#include "contract/host_interfaces.h"

// Module-wide operations on the settings list: the host saves, loads and
// resets all settings at once, as one blob that only the component reads.

// Writes one record per setting, in list order (see the layout beside it).
void save_settings(config_writer* writer);

// Applies a blob written by save_settings. Never trusts it: a malformed
// record ends the load, records before it stay applied.
void load_settings(const void* blob, int size);

void reset_settings();

// Links every registered listener into its setting's chain, once.
void hook_up_listeners();
