#include "status/publish_status.h"

#include "settings/component_settings.h"
#include "status/messenger_route.h"
#include "text/text_buffer.h"

void publish_status(track_handle* track)
{
    text_buffer title;
    track->format_title(&title, vexil_status_format.value.get(), nullptr);
    // Part of a title would be a wrong status: better the one shown now.
    if (!title.complete())
        return;
    messenger_route route;
    if (route.open())
        route.publish(title.data(), title.length());
}
