#pragma once

// Order fixed: hosts call the tables declared here by slot (docs/design.md, "The frozen surface").

#include "contract/host_interfaces.h"
#include "contract/service.h"

constexpr int host_interface_version = 27;

// The object the export hands the host. Its table order is the host's.
class module_client {
public:
    virtual int interface_version();
    virtual service_entry* service_list();
    virtual void save_settings(config_writer* writer);
    virtual void load_settings(const void* data, int size);
    virtual void reset_settings();
    virtual void set_module_names(const char* path, const char* file_name);
    virtual void set_host_flag(bool flag);
};

extern module_client the_module_client;
