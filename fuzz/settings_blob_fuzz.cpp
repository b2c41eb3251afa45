// The settings loader on any bytes: it never reads outside the blob, and what
// it loaded saves to a blob that loads back to the same settings.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "settings/component_settings.h"
#include "settings/memory_writer.h"
#include "settings/settings_list.h"

// A static library member that nothing names would leave the loader with
// no settings to apply: naming one setting links in the file that defines
// them all, in the component's own order.
static bool settings_linked_in()
{
    for (const setting* s = settings_list_head; s != nullptr; s = s->next) {
        if (s == &vexil_enabled)
            return true;
    }
    return false;
}

static std::vector<uint8_t> saved()
{
    memory_writer writer(growth_exact);
    save_settings(&writer);
    return std::vector<uint8_t>(writer.block.data, writer.block.data + writer.block.used);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!settings_linked_in())
        abort();
    if (size > 0x7FFFFFFF)
        return 0;
    reset_settings();
    // An exactly sized copy, so that any read past the blob is caught.
    uint8_t* blob = static_cast<uint8_t*>(malloc(size > 0 ? size : 1));
    if (size > 0)
        memcpy(blob, data, size);
    load_settings(blob, int(size));
    free(blob);

    const std::vector<uint8_t> first = saved();
    load_settings(first.data(), int(first.size()));
    if (saved() != first)
        abort();
    return 0;
}
