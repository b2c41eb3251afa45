#pragma once

#include "contract/host_interfaces.h"

// Formats the track's title with the user's format and makes it the
// messenger's custom status message. Every failure is silent.
void publish_status(track_handle* track);
