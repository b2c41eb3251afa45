#pragma once

// The simulated host's tracks: a playlist file, one track a line, fields as
// "name=value" separated by '|', UTF-8. Lines starting with '#' are notes.
//
//   title=Heroes | artist=David Bowie | album="Heroes" | length=371

#include <map>
#include <string>
#include <vector>

#include "host_abi.h"

namespace sim {

class track final : public host::track_handle {
public:
    // Replaces each %field% by the track's value, a missing field by "?",
    // and %% by %.
    int format_title(host::text_sink* out, const char* format, void* reserved) override;

    std::string field(const std::string& name) const;

    std::map<std::string, std::string> fields;
};

std::string format_fields(const std::map<std::string, std::string>& fields, const std::string& format);

// Parses the playlist text; lines without any field are skipped.
std::vector<track> parse_playlist(const std::string& text);

} // namespace sim
