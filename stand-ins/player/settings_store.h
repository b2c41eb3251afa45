#pragma once

// Where the simulated host keeps the component's settings: one file holding
// the blob exactly as the component wrote it.

#include <string>
#include <vector>

#include "host_abi.h"

namespace sim {

void load_stored_settings(host::module_client* client, const std::string& path);
bool save_settings_file(host::module_client* client, const std::string& path);

// One line per record: key, data length and the data shown as text, or as
// an integer for four-byte data of an integer setting.
std::string describe_blob(const std::vector<uint8_t>& blob);

} // namespace sim
