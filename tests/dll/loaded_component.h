#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "host_abi.h"

// The three settings as a host stores them.
struct stored_settings {
    std::string history;
    int32_t enabled = 0;
    std::string format;

    bool operator==(const stored_settings& other) const
    {
        return history == other.history && enabled == other.enabled && format == other.format;
    }
};

// A blob of the three records, in the order the component saves them.
inline std::vector<uint8_t> settings_blob(const stored_settings& settings)
{
    std::vector<uint8_t> blob;
    host::put_record(blob, "format_history", settings.history);
    host::put_record(blob, "vexil_enabled", host::int_data(settings.enabled));
    host::put_record(blob, "vexil_status_format", settings.format);
    return blob;
}

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

    void load(const std::vector<uint8_t>& blob) const { client->load_settings(blob.data(), int(blob.size())); }
    void load(const stored_settings& settings) const { load(settings_blob(settings)); }

    // The settings as the component saves them; a malformed blob fails the
    // test that asked.
    stored_settings stored() const
    {
        std::vector<host::blob_record> records;
        const std::vector<uint8_t> blob = save();
        EXPECT_EQ(host::read_records(blob, records), blob.size()) << "the component saved a malformed blob";
        stored_settings s;
        for (const host::blob_record& record : records) {
            if (record.name == "format_history")
                s.history = record.data;
            else if (record.name == "vexil_enabled" && record.data.size() == 4)
                s.enabled = host::get_int(record.data.data());
            else if (record.name == "vexil_status_format")
                s.format = record.data;
        }
        return s;
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
