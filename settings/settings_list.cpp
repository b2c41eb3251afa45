#include "settings/settings_list.h"

#include <cstring>

#include "settings/little_endian.h"
#include "settings/memory_writer.h"
#include "settings/setting.h"
#include "text/plain_text.h"

// The settings blob: one record per setting, in settings-list order, with no
// header, count or checksum, every integer 32-bit little-endian:
//
//   offset     width  field
//   0          4      name length N, greater than 0
//   4          N      the setting's key, no terminator; a load compares
//                     only the bytes before its first NUL, if it has one
//   4 + N      4      data length D, 0 or more
//   8 + N      D      the data, absent when D is 0
//
// An integer setting's data is its 4-byte value; a text setting's data is
// the UTF-8 bytes of its value, no terminator, none for an empty value.
// The host stores the blob as it is and hands it back to load_settings.

static void write_length(config_writer* writer, uint32_t length)
{
    uint8_t bytes[4];
    write_int32_le(int32_t(length), bytes);
    writer->write(bytes, sizeof bytes);
}

// Counts what a setting writes, holding nothing; every kind writes a count
// of 0 or more.
class byte_counter final : public config_writer {
public:
    int write(const void*, int count) override
    {
        total += uint32_t(count);
        return count;
    }

    uint32_t total = 0;
};

// When the scratch cannot hold a setting's data, the setting writes it to
// the host itself, after its length: the host gets the bytes of a normal
// save all the same, and replaces what it stored with nothing less. The
// data comes in the setting's own writes rather than in one; while every
// write_data makes a single write, as each kind's does, those are the writes
// of a normal save too. Only data of a byte or more can miss the scratch.
static void write_data_straight(config_writer* writer, setting* s)
{
    byte_counter counter;
    s->write_data(&counter);
    write_length(writer, counter.total);
    s->write_data(writer);
}

void save_settings(config_writer* writer)
{
    if (writer == nullptr)
        return;
    memory_writer scratch(growth_retain);
    for (setting* s = settings_list_head; s != nullptr; s = s->next) {
        scratch.clear();
        const char* name = s->name.get();
        const uint32_t name_length = bounded_length(name, unbounded);
        write_length(writer, name_length);
        writer->write(name, int(name_length));
        s->write_data(&scratch);
        if (!scratch.complete()) {
            write_data_straight(writer, s);
            continue;
        }
        const uint32_t data_length = scratch.block.used;
        write_length(writer, data_length);
        if (data_length > 0)
            writer->write(scratch.block.data, int(data_length));
    }
}

static setting* find_setting(const char* name, uint32_t name_length)
{
    for (setting* s = settings_list_head; s != nullptr; s = s->next) {
        const char* candidate = s->name.get();
        if (bounded_length(candidate, unbounded) == name_length && memcmp(candidate, name, name_length) == 0)
            return s;
    }
    return nullptr;
}

void load_settings(const void* blob, int size)
{
    if (blob == nullptr || size <= 0)
        return;
    const uint8_t* bytes = static_cast<const uint8_t*>(blob);
    int position = 0;
    while (position < size) {
        if (size - position < 4)
            return;
        const int32_t name_length = read_int32_le(bytes + position);
        if (name_length <= 0)
            return;
        position += 4;
        if (size - position < name_length)
            return;
        const char* name = reinterpret_cast<const char*>(bytes + position);
        const uint32_t name_text_length = bounded_length(name, uint32_t(name_length));
        position += name_length;
        if (size - position < 4)
            return;
        const int32_t data_length = read_int32_le(bytes + position);
        if (data_length < 0)
            return;
        position += 4;
        if (size - position < data_length)
            return;
        if (setting* target = find_setting(name, name_text_length))
            target->set_data(bytes + position, data_length);
        position += data_length;
    }
}

void reset_settings()
{
    for (setting* s = settings_list_head; s != nullptr; s = s->next)
        s->reset();
}

static bool in_chain(const setting_listener* record)
{
    for (const setting_listener* l = record->target->listeners; l != nullptr; l = l->next_in_chain) {
        if (l == record)
            return true;
    }
    return false;
}

void hook_up_listeners()
{
    for (setting_listener* record = listener_list_head; record != nullptr; record = record->next_registered) {
        if (record->target == nullptr || in_chain(record))
            continue;
        record->next_in_chain = record->target->listeners;
        record->target->listeners = record;
    }
}
