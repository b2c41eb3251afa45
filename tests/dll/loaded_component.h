#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "../os_calls.h"
#include "../saved_settings.h"
#include "beside_this_program.h"
#include "host_abi.h"
#include "messenger_process.h"

using host::stored_settings;

// The component as a host holds it: loaded once per process and bound
// through its export, its window and registry calls watched.
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
    void load(const stored_settings& settings) const { load(host::settings_blob(settings)); }

    stored_settings stored() const { return read_back(save()); }

    template <class Service>
    Service* instance(const GUID& id) const
    {
        return host::instance<Service>(client, id);
    }

    // One of the identity's texts, asked with a sink that already holds
    // text, as a host's may.
    using identity_text = void (host::identity_service::*)(host::text_sink*);
    host::host_text ask(identity_text operation) const
    {
        auto* identity = instance<host::identity_service>(host::identity_class);
        host::host_text sink;
        sink.text = "stale text the host left here";
        if (identity != nullptr) {
            (identity->*operation)(&sink);
            identity->release();
        }
        return sink;
    }

    const os_calls::watch calls{module};

private:
    loaded_component() : host::bound_component(host::bind_component("vexil_status.dll")) {}
};

// Every key the component took was given back, once, and it closed none it
// did not take: held after every test, and after every row of a table.
inline void expect_keys_given_back()
{
    EXPECT_EQ(os_calls::keys_unbalanced(), "") << "the component's registry keys";
}

// A copy of the DLL bound as a module of its own: its static objects start
// afresh, whatever the other tests did to the loaded one.
struct fresh_component {
    fresh_component() : path(copy_of_the_dll()), bound(host::bind_component(path.c_str())) {}
    fresh_component(const fresh_component&) = delete;
    fresh_component& operator=(const fresh_component&) = delete;
    ~fresh_component()
    {
        if (bound.module != nullptr)
            FreeLibrary(bound.module);
        DeleteFileA(path.c_str());
    }

    const std::string path;
    const host::bound_component bound;

private:
    static std::string copy_of_the_dll()
    {
        const std::string copy = beside_this_program("vexil_status_fresh.dll");
        return CopyFileA(beside_this_program("vexil_status.dll").c_str(), copy.c_str(), FALSE) ? copy : std::string();
    }
};

// A fresh settings state for every test.
struct component_test : ::testing::Test {
    component_test() : component(loaded_component::get()), client(component.client)
    {
        if (client != nullptr)
            client->reset_settings();
    }
    void SetUp() override
    {
        ASSERT_NE(client, nullptr) << "vexil_status.dll could not be bound";
        ASSERT_TRUE(component.calls.installed());
    }
    void TearDown() override { expect_keys_given_back(); }
    ~component_test() override
    {
        if (client != nullptr)
            client->reset_settings();
    }

    loaded_component& component;
    host::module_client* client;
};

// A component with its playback watcher, to play tracks to, and the stand-in
// messenger running for the whole suite.
struct playing_test : component_test {
    static void SetUpTestSuite()
    {
        messenger::forget_everything();
        running = new messenger::process;
        running->start("--quiet");
    }
    static void TearDownTestSuite()
    {
        delete running;
        running = nullptr;
        messenger::forget_everything();
    }

    playing_test() : watcher(component.instance<host::playback_events>(host::playback_events_class)) {}
    ~playing_test() override
    {
        if (watcher != nullptr)
            watcher->release();
    }
    void SetUp() override
    {
        component_test::SetUp();
        ASSERT_NE(watcher, nullptr);
        ASSERT_NE(running->window, nullptr) << "the stand-in messenger did not start";
    }

    // The status commands the messenger has taken so far.
    static LONG commands()
    {
        running->sync();
        return running->status_commands();
    }

    host::playback_events* watcher;
    static inline messenger::process* running = nullptr;
};
