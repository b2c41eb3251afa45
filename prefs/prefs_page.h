#pragma once

// Order fixed: hosts call the tables declared here by slot (docs/design.md, "The frozen surface").

#include <windows.h>

#include "contract/service.h"

// The host's handle on the preferences page "Vexil Status" under
// "Components".
class prefs_page final : public service_object {
public:
    // A new, hidden, modeless dialog inside parent; null when it cannot be
    // made. Showing, moving and destroying it is the host's business.
    virtual HWND create(HWND parent);
    virtual const char* get_name();
    virtual const char* get_parent_name();
};
