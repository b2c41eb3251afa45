#pragma once

// The settings blob as a host sees it: records it may write by hand, and
// reads back with every length checked. Portable, so that native tests use
// it too.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace host {

// Settings blobs as a host may write them by hand: records of a 32-bit
// little-endian length and the name, then a length and the data.
inline void put_int(std::vector<uint8_t>& blob, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        blob.push_back(uint8_t(uint32_t(value) >> (8 * i)));
}

inline void put_record(std::vector<uint8_t>& blob, const std::string& name, const std::string& data)
{
    put_int(blob, int32_t(name.size()));
    blob.insert(blob.end(), name.begin(), name.end());
    put_int(blob, int32_t(data.size()));
    blob.insert(blob.end(), data.begin(), data.end());
}

inline std::string int_data(int32_t value)
{
    std::vector<uint8_t> b;
    put_int(b, value);
    return std::string(b.begin(), b.end());
}

inline int32_t get_int(const void* at)
{
    const auto* b = static_cast<const uint8_t*>(at);
    return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

struct blob_record {
    std::string name;
    std::string data;
};

// Reads the blob's records, checking every length against what remains, up
// to the end or the first record that does not fit; returns how many bytes
// the records read take, the whole size when the blob is well formed.
inline size_t read_records(const std::vector<uint8_t>& blob, std::vector<blob_record>& records)
{
    size_t at = 0;
    while (blob.size() - at >= 4) {
        const int32_t name_length = get_int(&blob[at]);
        if (name_length <= 0 || size_t(name_length) > blob.size() - at - 4 || blob.size() - at - 4 - size_t(name_length) < 4)
            break;
        const size_t data_at = at + 4 + size_t(name_length) + 4;
        const int32_t data_length = get_int(&blob[data_at - 4]);
        if (data_length < 0 || size_t(data_length) > blob.size() - data_at)
            break;
        records.push_back({std::string(blob.begin() + long(at) + 4, blob.begin() + long(at) + 4 + name_length),
                           std::string(blob.begin() + long(data_at), blob.begin() + long(data_at) + data_length)});
        at = data_at + size_t(data_length);
    }
    return at;
}

// The format a fresh component publishes with.
constexpr char default_format[] = "now playing: %title%-%artist%";

// The component's three settings as a host stores them, initialised as a
// fresh component saves them.
struct stored_settings {
    std::string history;
    int32_t enabled = 1;
    std::string format = default_format;

    bool operator==(const stored_settings& other) const;
};

inline stored_settings fresh_settings()
{
    return {};
}

// Each setting's record, in the order the component saves them, and where
// the host keeps its value: text, or a 32-bit little-endian integer. The one
// list of the settings on the host's side; everything below derives from it.
struct setting_field {
    const char* name;
    std::string stored_settings::*text;
    int32_t stored_settings::*integer;
};
constexpr setting_field setting_fields[] = {
    {"format_history", &stored_settings::history, nullptr},
    {"vexil_enabled", nullptr, &stored_settings::enabled},
    {"vexil_status_format", &stored_settings::format, nullptr},
};

inline bool is_integer_record(const std::string& name)
{
    for (const setting_field& field : setting_fields) {
        if (name == field.name)
            return field.integer != nullptr;
    }
    return false;
}

inline std::vector<uint8_t> settings_blob(const stored_settings& settings)
{
    std::vector<uint8_t> blob;
    for (const setting_field& field : setting_fields)
        put_record(blob, field.name, field.text != nullptr ? settings.*field.text : int_data(settings.*field.integer));
    return blob;
}

inline bool stored_settings::operator==(const stored_settings& other) const
{
    return settings_blob(*this) == settings_blob(other);
}

// The settings a blob holds, an integer record of any size but four bytes
// ignored; false when the blob is malformed.
inline bool read_settings(const std::vector<uint8_t>& blob, stored_settings& settings)
{
    std::vector<blob_record> records;
    const bool well_formed = read_records(blob, records) == blob.size();
    for (const blob_record& record : records) {
        for (const setting_field& field : setting_fields) {
            if (record.name != field.name)
                continue;
            if (field.text != nullptr)
                settings.*field.text = record.data;
            else if (record.data.size() == 4)
                settings.*field.integer = get_int(record.data.data());
        }
    }
    return well_formed;
}

// The writes of a component that writes each field of a blob's records in
// one write, as the component does: name length, name, data length, and
// the data unless it is empty.
inline std::vector<int> write_sizes(const std::vector<uint8_t>& blob)
{
    std::vector<blob_record> records;
    read_records(blob, records);
    std::vector<int> sizes;
    for (const blob_record& record : records) {
        sizes.insert(sizes.end(), {4, int(record.name.size()), 4});
        if (!record.data.empty())
            sizes.push_back(int(record.data.size()));
    }
    return sizes;
}

// What a host's settings store received: the bytes of every write, and how
// they came.
struct written_blob {
    void take(const void* bytes, int count)
    {
        const auto* first = static_cast<const uint8_t*>(bytes);
        blob.insert(blob.end(), first, first + count);
        write_sizes.push_back(count);
    }

    std::vector<uint8_t> blob;
    std::vector<int> write_sizes;
};

// A host's settings store: a writer, of the host's declaration or the
// component's, that keeps every write it is given.
template <class Writer>
class keeping_writer final : public Writer, public written_blob {
public:
    int write(const void* bytes, int count) override
    {
        take(bytes, count);
        return count;
    }
};

} // namespace host
