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
