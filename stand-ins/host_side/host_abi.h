#pragma once

// The component's binary contract as a host player declares it: written from
// the contract, not from the component's headers, so that tests and the
// simulated host bind the DLL exactly as a third-party host would.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "settings_records.h"

namespace host {

class text_sink {
public:
    virtual const char* data() = 0;
    virtual void append(const char* text, uint32_t max_length) = 0;
    virtual void assign(const char* text, uint32_t max_length) = 0;
    virtual void truncate(uint32_t length) = 0;
    virtual uint32_t length() = 0;
};

class config_writer {
public:
    virtual int write(const void* bytes, int count) = 0;
};

class track_handle {
public:
    virtual void reserved_1() {}
    virtual void reserved_2() {}
    virtual void reserved_3() {}
    virtual void reserved_4() {}
    virtual void reserved_5() {}
    virtual void reserved_6() {}
    virtual int format_title(text_sink* out, const char* format, void* reserved) = 0;
};

class service_object {
public:
    virtual long release() = 0;
    virtual long add_reference() = 0;
    virtual void* query(const GUID& id) = 0;
};

class service_entry {
public:
    virtual service_object* get_instance() = 0;
    virtual void object_released(service_object* object) = 0;

    service_entry* next;
    GUID class_id;
};

class identity_service : public service_object {
public:
    virtual void get_file_name(text_sink* out) = 0;
    virtual void get_name(text_sink* out) = 0;
    virtual void get_version(text_sink* out) = 0;
    virtual void get_about(text_sink* out) = 0;
};

class playback_events : public service_object {
public:
    virtual void on_playback_starting() = 0;
    virtual void on_new_track(track_handle* track) = 0;
    virtual void on_playback_stop(uint32_t reason) = 0;
    virtual void on_seek(double seconds) = 0;
    virtual void on_pause(uint32_t paused) = 0;
    virtual void on_edited(uint32_t what) = 0;
    virtual void on_time(double seconds) = 0;
    virtual void on_volume(uint32_t level) = 0;
};

class preferences_page : public service_object {
public:
    virtual HWND create(HWND parent) = 0;
    virtual const char* get_name() = 0;
    virtual const char* get_parent_name() = 0;
};

class module_client {
public:
    virtual int interface_version() = 0;
    virtual service_entry* service_list() = 0;
    virtual void save_settings(config_writer* writer) = 0;
    virtual void load_settings(const void* data, int size) = 0;
    virtual void reset_settings() = 0;
    virtual void set_module_names(const char* path, const char* file_name) = 0;
    virtual void set_host_flag(bool flag) = 0;
};

using get_interface_function = module_client*(__cdecl*)(void* host_services, HINSTANCE module);

constexpr char export_name[] = "tavrolin_get_interface";

// The preferences page's controls, by the ids a host or a user's tools
// address them with.
namespace page {
constexpr int enable_box = 102;
constexpr int format_combo = 1002;
} // namespace page

constexpr GUID playback_events_class = {0xCC01B85A, 0x5C66, 0x4E66, {0x81, 0x0C, 0xE8, 0xB8, 0x91, 0x95, 0xF5, 0xCD}};
constexpr GUID preferences_page_class = {0x7255E8D0, 0x3FCF, 0x4781, {0xB9, 0x3B, 0xD0, 0x6C, 0xB8, 0x8D, 0xFA, 0xFA}};
constexpr GUID identity_class = {0x10BB3EBD, 0xDDF7, 0x4975, {0xA3, 0xCC, 0x23, 0x08, 0x48, 0x29, 0x45, 0x3E}};

// The host's own text sink.
class host_text final : public text_sink {
public:
    const char* data() override { return text.c_str(); }
    void append(const char* source, uint32_t max_length) override { text.append(source, bounded(source, max_length)); }
    void assign(const char* source, uint32_t max_length) override
    {
        ++assign_calls;
        text.assign(source, bounded(source, max_length));
    }
    void truncate(uint32_t length) override
    {
        if (length < text.size())
            text.resize(length);
    }
    uint32_t length() override { return uint32_t(text.size()); }

    std::string text;
    int assign_calls = 0;

private:
    static size_t bounded(const char* source, uint32_t max_length)
    {
        size_t n = 0;
        while (n < max_length && source[n] != '\0')
            ++n;
        return n;
    }
};

// The host's settings store.
using blob_writer = keeping_writer<config_writer>;

// Loads a blob of the one record into the component.
inline void load_record(module_client* client, const std::string& name, const std::string& data)
{
    std::vector<uint8_t> blob;
    put_record(blob, name, data);
    client->load_settings(blob.data(), int(blob.size()));
}

inline std::string guid_text(const GUID& id)
{
    char text[40];
    snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned long>(id.Data1), id.Data2, id.Data3,
             id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}

// More entries than any module offers: a list that links back into itself
// ends the walk here instead of holding the host for ever.
constexpr size_t most_service_entries = 64;

// The module's service entries in list order; a list that does not end
// within most_service_entries gives one entry more, so that the caller
// sees it is too long.
inline std::vector<service_entry*> service_entries(module_client* client)
{
    std::vector<service_entry*> entries;
    for (service_entry* entry = client->service_list(); entry != nullptr && entries.size() <= most_service_entries; entry = entry->next)
        entries.push_back(entry);
    return entries;
}

inline service_entry* find_entry(module_client* client, const GUID& id)
{
    for (service_entry* entry : service_entries(client)) {
        if (IsEqualGUID(entry->class_id, id))
            return entry;
    }
    return nullptr;
}

// An object of the service with class id, with a reference the caller
// releases; null when the component offers no such service.
template <class Service>
Service* instance(module_client* client, const GUID& id)
{
    service_entry* entry = find_entry(client, id);
    return entry != nullptr ? static_cast<Service*>(entry->get_instance()) : nullptr;
}

// A component loaded and bound through its export; client is null when
// either failed.
struct bound_component {
    HMODULE module = nullptr;
    get_interface_function get_interface = nullptr;
    module_client* client = nullptr;
};

inline bound_component bind_component(const char* path)
{
    bound_component bound;
    bound.module = LoadLibraryA(path);
    if (bound.module == nullptr)
        return bound;
    bound.get_interface = reinterpret_cast<get_interface_function>(GetProcAddress(bound.module, export_name));
    if (bound.get_interface != nullptr)
        bound.client = bound.get_interface(nullptr, bound.module);
    return bound;
}

} // namespace host
