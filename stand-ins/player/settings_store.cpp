#include "settings_store.h"

#include <cstdio>

#include "read_file.h"

namespace sim {

namespace {

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
    std::vector<host::blob_record> records;
    const size_t record_bytes = host::read_records(blob, records);
    std::string out;
    for (const host::blob_record& record : records) {
        char line[64];
        snprintf(line, sizeof line, "%-20s %4zu bytes  ", record.name.c_str(), record.data.size());
        out += line;
        if (host::is_integer_record(record.name) && record.data.size() == 4)
            out += std::to_string(host::get_int(record.data.data()));
        else
            out += "\"" + shown(record.data) + "\"";
        out += "\n";
    }
    if (record_bytes != blob.size())
        out += "(" + std::to_string(blob.size() - record_bytes) + " bytes that form no record)\n";
    return out;
}

} // namespace sim
