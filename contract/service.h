#pragma once

// Order fixed: hosts call the tables declared here by slot and read the fields by offset (docs/design.md, "The frozen surface").

#include <cstdint>

#include "contract/class_guid.h"

class service_entry;

// Base of every service object the host obtains. Objects are static and
// never freed: a count that falls to zero only tells the owner.
class service_object {
public:
    virtual long release();
    virtual long add_reference();
    virtual void* query(const class_guid& id);

    service_entry* owner = nullptr;
    volatile int32_t reference_count = 1;

protected:
    service_object() = default;
    ~service_object() = default;
};

// A registration node; the host reads next and class_id directly.
class service_entry {
public:
    // Adds a reference to the entry's object and returns it.
    virtual service_object* get_instance() = 0;
    virtual void object_released(service_object* object);

    service_entry* next = nullptr;
    class_guid class_id;

protected:
    explicit service_entry(const class_guid& id) : class_id(id) {}
    ~service_entry() = default;
    // Pushes the entry at the head of the service list and makes it the
    // owner of its object.
    void register_entry(service_object& object);
    static service_object* hand_out(service_object& object);
};

// Head of the module's service list, newest registration first.
extern service_entry* service_list_head;

// An entry whose static object lives inside it.
template <class Service>
class embedded_service_entry final : public service_entry {
public:
    explicit embedded_service_entry(const class_guid& id) : service_entry(id) { register_entry(service); }

    service_object* get_instance() override { return hand_out(service); }

    Service service;
};

// An entry for a static object stored elsewhere.
class linked_service_entry final : public service_entry {
public:
    linked_service_entry(const class_guid& id, service_object& target) : service_entry(id), target(&target)
    {
        register_entry(target);
    }

    service_object* get_instance() override { return hand_out(*target); }

private:
    service_object* target;
};
