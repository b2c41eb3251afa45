#include "settings_store.h"

#include <cstdio>

#include "playlist.h"

namespace sim {

namespace {

int32_t read_int(const std::vector<uint8_t>& blob, size_t at)
{
    return int32_t(uint32_t(blob[at]) | uint32_t(blob[at + 1]) << 8 | uint32_t(blob[at + 2]) << 16 | uint32_t(blob[at + 3]) << 24);
}

std::string shown(const std::string& data)
{
    std::string out;
    for (const char c : data) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\0')
            out += "\\0";
        else
            out += c;
    }
    return out;
}

} // namespace

void load_stored_settings(host::module_client* client, const std::string& path)
{
    std::string stored;
    if (read_file(path, stored) && !stored.empty())
        client->load_settings(stored.data(), int(stored.size()));
}

bool save_settings_file(host::module_client* client, const std::string& path)
{
    host::blob_writer writer;
    client->save_settings(&writer);
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = fwrite(writer.blob.data(), 1, writer.blob.size(), file) == writer.blob.size();
    return fclose(file) == 0 && written;
}

std::string describe_blob(const std::vector<uint8_t>& blob)
{
    std::string out;
    size_t at = 0;
    while (at + 4 <= blob.size()) {
        const int32_t name_length = read_int(blob, at);
        if (name_length <= 0 || size_t(name_length) > blob.size() - at - 4)
            return out + "(malformed name length)\n";
        const std::string name(blob.begin() + long(at) + 4, blob.begin() + long(at) + 4 + name_length);
        at += 4 + size_t(name_length);
        if (at + 4 > blob.size())
            return out + "(malformed record " + name + ")\n";
        const int32_t data_length = read_int(blob, at);
        at += 4;
        if (data_length < 0 || size_t(data_length) > blob.size() - at)
            return out + "(malformed data of " + name + ")\n";
        const std::string data(blob.begin() + long(at), blob.begin() + long(at) + data_length);
        char line[64];
        snprintf(line, sizeof line, "%-20s %4d bytes  ", name.c_str(), data_length);
        out += line;
        if (name == "vexil_enabled" && data_length == 4)
            out += std::to_string(read_int(blob, at));
        else
            out += "\"" + shown(data) + "\"";
        out += "\n";
        at += size_t(data_length);
    }
    if (at != blob.size())
        out += "(" + std::to_string(blob.size() - at) + " trailing bytes)\n";
    return out;
}

} // namespace sim
