#include "status/playback_watcher.h"

#include "settings/component_settings.h"
#include "status/publish_status.h"

void playback_watcher::first_event() {}

void playback_watcher::new_track(track_handle* track)
{
    if (vexil_enabled.value != 0 && track != nullptr)
        publish_status(track);
}

void playback_watcher::third_event(uint32_t) {}
void playback_watcher::fourth_event(double) {}
void playback_watcher::fifth_event(uint32_t) {}
void playback_watcher::sixth_event(uint32_t) {}
void playback_watcher::seventh_event(double) {}
void playback_watcher::eighth_event(uint32_t) {}
