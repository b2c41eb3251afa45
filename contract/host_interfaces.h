#pragma once

// Order fixed: the host's own tables, called here by slot (docs/design.md, "The frozen surface").

#include <cstdint>

#include "text/text_sink.h"

// Objects of the host player that the component calls. Only the slots the
// component uses carry meaning; the others keep the table's order.

class config_writer {
public:
    // Appends count bytes to what the host will hand back on load.
    virtual int write(const void* bytes, int count) = 0;

protected:
    ~config_writer() = default;
};

class track_handle {
public:
    virtual void host_slot_1() = 0;
    virtual void host_slot_2() = 0;
    virtual void host_slot_3() = 0;
    virtual void host_slot_4() = 0;
    virtual void host_slot_5() = 0;
    virtual void host_slot_6() = 0;
    // Writes the title, formatted from format, into out. reserved is null.
    virtual int format_title(text_sink* out, const char* format, void* reserved) = 0;

protected:
    ~track_handle() = default;
};
