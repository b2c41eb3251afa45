#include "settings/text_setting.h"

#include "text/plain_text.h"

void text_setting::write_data(config_writer* writer)
{
    const char* text = value.get();
    writer->write(text, int(bounded_length(text, unbounded)));
}

// A value that cannot be copied leaves the old one, and nothing changed, so
// nobody is told.

void text_setting::set_data(const void* bytes, int size)
{
    if (value.assign(static_cast<const char*>(bytes), size > 0 ? uint32_t(size) : 0))
        notify();
}

void text_setting::reset()
{
    if (value.assign(default_value.get(), unbounded))
        notify();
}

void text_setting::store(const char* text)
{
    if (value.assign(text, unbounded))
        notify();
}
