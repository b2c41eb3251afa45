#pragma once

#include <string>

#include "host_abi.h"

namespace sim {

// The host's preferences window: a flat list of pages on the left, the
// component's page among them, and the page itself on the right. With a screenshot path, it saves a picture of itself as a bitmap
// and closes; otherwise it runs until the user closes it. With dropdown,
// the format's history list is shown open.
int run_prefs_window(host::module_client* client, const std::string& screenshot, bool dropdown);

} // namespace sim
