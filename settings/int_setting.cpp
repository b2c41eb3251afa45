#include "settings/int_setting.h"

#include "settings/little_endian.h"

void int_setting::write_data(config_writer* writer)
{
    uint8_t bytes[4];
    write_int32_le(value, bytes);
    writer->write(bytes, sizeof bytes);
}

void int_setting::set_data(const void* bytes, int size)
{
    if (size != 4)
        return;
    value = read_int32_le(static_cast<const uint8_t*>(bytes));
    notify();
}

void int_setting::reset()
{
    value = default_value;
    notify();
}
