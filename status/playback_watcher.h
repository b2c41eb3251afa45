#pragma once

// Order fixed: hosts call the tables declared here by slot (docs/design.md, "The frozen surface").

#include <cstdint>

#include "contract/host_interfaces.h"
#include "contract/service.h"

// Receives the host's playback events. Only a new track matters: it
// publishes the track's title when publishing is enabled.
class playback_watcher final : public service_object {
public:
    virtual void first_event();
    virtual void new_track(track_handle* track);
    virtual void third_event(uint32_t);
    virtual void fourth_event(double);
    virtual void fifth_event(uint32_t);
    virtual void sixth_event(uint32_t);
    virtual void seventh_event(double);
    virtual void eighth_event(uint32_t);
};
