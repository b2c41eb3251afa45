#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

#include "host_abi.h"

// The component as a host holds it: loaded once per process and bound
// through its export.
struct loaded_component : host::bound_component {
    static loaded_component& get()
    {
        static loaded_component component;
        return component;
    }

    std::vector<uint8_t> save() const
    {
        host::blob_writer writer;
        client->save_settings(&writer);
        return writer.blob;
    }

    template <class Service>
    Service* instance(const GUID& id) const
    {
        return host::instance<Service>(client, id);
    }

private:
    loaded_component() : host::bound_component(host::bind_component("vexil_status.dll")) {}
};

// A fresh settings state for every test.
struct component_test : ::testing::Test {
    component_test() : component(loaded_component::get()), client(component.client)
    {
        if (client != nullptr)
            client->reset_settings();
    }
    void SetUp() override { ASSERT_NE(client, nullptr) << "vexil_status.dll could not be bound"; }
    ~component_test() override
    {
        if (client != nullptr)
            client->reset_settings();
    }

    loaded_component& component;
    host::module_client* client;
};

using host::int_data;
using host::put_int;
using host::put_record;
