#include "module/identity_record.h"

#include "module/module_state.h"
#include "text/plain_text.h"

static void answer(text_sink* out, const char* text)
{
    out->assign(text, unbounded);
}

void identity_record::get_file_name(text_sink* out)
{
    answer(out, module_file_name.get());
}

void identity_record::get_name(text_sink* out)
{
    answer(out, name);
}

void identity_record::get_version(text_sink* out)
{
    answer(out, version);
}

void identity_record::get_about(text_sink* out)
{
    answer(out, about);
}
