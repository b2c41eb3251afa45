#pragma once

#include <string>
#include <vector>

#include "host_abi.h"

// A host track whose title is written the way a host might: in pieces,
// with a correction at the end that cuts more than 32 bytes off, through
// every kind of sink operation.
class host_track final : public host::track_handle {
public:
    explicit host_track(std::string title) : title(std::move(title)) {}

    int format_title(host::text_sink* out, const char* format, void* reserved) override
    {
        formats.push_back(format);
        reserved_seen = reserved;
        out->assign("stale", 0xFFFFFFFFu);
        out->truncate(0);
        const size_t half = title.size() / 2;
        out->append(title.c_str(), uint32_t(half));
        out->append(title.c_str() + half, 0xFFFFFFFFu);
        out->append("#junk the host writes, then cuts off again", 0xFFFFFFFFu);
        out->truncate(uint32_t(title.size()));
        if (written_twice)
            out->assign(title.c_str(), 0xFFFFFFFFu);
        length_seen = out->length();
        text_seen = out->data();
        return 1;
    }

    std::string title;
    // Then once more, whole, as a host that formats the title twice does.
    bool written_twice = false;
    std::vector<std::string> formats;
    void* reserved_seen = reinterpret_cast<void*>(1);
    uint32_t length_seen = 0;
    std::string text_seen;
};
