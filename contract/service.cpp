#include "contract/service.h"

#include "contract/reference_count.h"

service_entry* service_list_head = nullptr;

long service_object::release()
{
    const int32_t remaining = decrement_count(&reference_count);
    if (remaining > 0)
        return remaining;
    if (owner != nullptr)
        owner->object_released(this);
    return 0;
}

long service_object::add_reference()
{
    return increment_count(&reference_count);
}

void* service_object::query(const class_guid&)
{
    return nullptr;
}

void service_entry::object_released(service_object*) {}

void service_entry::register_entry(service_object& object)
{
    next = service_list_head;
    service_list_head = this;
    object.owner = this;
}

service_object* service_entry::hand_out(service_object& object)
{
    object.add_reference();
    return &object;
}
