#pragma once

#include "settings/history_setting.h"
#include "settings/int_setting.h"
#include "settings/text_setting.h"

// The component's three persistent settings.
extern text_setting vexil_status_format;
extern int_setting vexil_enabled;
extern history_setting format_history;
