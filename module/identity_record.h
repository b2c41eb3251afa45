#pragma once

// Order fixed: hosts call the tables declared here by slot (docs/design.md, "The frozen surface").

#include "contract/service.h"
#include "text/text_sink.h"

// Tells the host the component's name, version, about text and file name.
// The texts are not owned; a null text is reported as "".
class identity_record final : public service_object {
public:
    identity_record(const char* name, const char* version, const char* about) : name(name), version(version), about(about) {}

    virtual void get_file_name(text_sink* out);
    virtual void get_name(text_sink* out);
    virtual void get_version(text_sink* out);
    virtual void get_about(text_sink* out);

    const char* name;
    const char* version;
    const char* about;
};
