#include "settings/component_settings.h"

// Each setting pushes itself at the head of the settings list, so this order
// makes saved blobs list format_history, vexil_enabled, vexil_status_format.
text_setting vexil_status_format("vexil_status_format", "now playing: %title%-%artist%");
int_setting vexil_enabled("vexil_enabled", 1);
history_setting format_history("format_history", 10, "");
