// The service registry and its reference counts, natively under the
// sanitizers as well as under Wine.

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "contract/service.h"

namespace {

class test_service final : public service_object {};

constexpr class_guid first_class = {0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};
constexpr class_guid second_class = {0x55555555, 0x6666, 0x7777, {8, 8, 8, 8, 8, 8, 8, 8}};

// Registered once and for good, in this order, as the module's own are.
struct registered {
    service_entry* const head_before = service_list_head;
    embedded_service_entry<test_service> embedded{first_class};
    test_service object;
    linked_service_entry linked{second_class, object};
};

registered& entries()
{
    static registered r;
    return r;
}

TEST(ServiceRegistry, EachEntryGoesToTheHeadAndOwnsItsObject)
{
    registered& r = entries();
    EXPECT_EQ(service_list_head, &r.linked);
    EXPECT_EQ(r.linked.next, &r.embedded);
    EXPECT_EQ(r.embedded.next, r.head_before);
    EXPECT_EQ(memcmp(&r.embedded.class_id, &first_class, sizeof(class_guid)), 0);
    EXPECT_EQ(r.embedded.service.owner, &r.embedded);
    EXPECT_EQ(r.object.owner, &r.linked);
}

TEST(ServiceRegistry, CountsFollowGetAndReleaseAndNeverFreeTheObject)
{
    for (service_entry* entry : {static_cast<service_entry*>(&entries().embedded), static_cast<service_entry*>(&entries().linked)}) {
        service_object* object = entry->get_instance();
        EXPECT_EQ(object->reference_count, 2) << "a fresh object starts at 1";
        EXPECT_EQ(entry->get_instance(), object);
        EXPECT_EQ(object->release(), 2);
        EXPECT_EQ(object->release(), 1);
        EXPECT_EQ(object->release(), 0) << "down to nothing; the calls below find the object still there";
        EXPECT_EQ(object->release(), 0);
        EXPECT_EQ(object->query(entry->class_id), nullptr);
        EXPECT_EQ(object->add_reference(), 0);
        EXPECT_EQ(object->add_reference(), 1) << "the object lives on";
    }
    test_service unregistered;
    EXPECT_EQ(unregistered.release(), 0) << "no entry to tell";
}

// Hosts take and give back references from any thread: no change is lost.
TEST(ServiceRegistry, CountsChangeAtomically)
{
    service_object& object = entries().embedded.service;
    const int32_t before = object.reference_count;
    constexpr int threads = 4;
    constexpr int changes = 250000;
    for (long (service_object::*change)() : {&service_object::add_reference, &service_object::release}) {
        std::vector<std::thread> running;
        for (int t = 0; t < threads; ++t) {
            running.emplace_back([&object, change] {
                for (int i = 0; i < changes; ++i)
                    (object.*change)();
            });
        }
        for (std::thread& thread : running)
            thread.join();
        EXPECT_EQ(object.reference_count, change == &service_object::add_reference ? before + threads * changes : before);
    }
}

} // namespace
