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

// Entries register for good, as the module's static ones do.
test_service linked_object;
embedded_service_entry<test_service>* embedded;
linked_service_entry* linked;
service_entry* head_before;

struct ServiceRegistry : ::testing::Test {
    static void SetUpTestSuite()
    {
        head_before = service_list_head;
        embedded = new embedded_service_entry<test_service>(first_class);
        linked = new linked_service_entry(second_class, linked_object);
    }
};

TEST_F(ServiceRegistry, EachEntryGoesToTheHeadAndOwnsItsObject)
{
    EXPECT_EQ(service_list_head, linked);
    EXPECT_EQ(linked->next, embedded);
    EXPECT_EQ(embedded->next, head_before);
    EXPECT_EQ(memcmp(&embedded->class_id, &first_class, sizeof(class_guid)), 0);
    EXPECT_EQ(embedded->service.owner, embedded);
    EXPECT_EQ(linked_object.owner, linked);
}

TEST_F(ServiceRegistry, CountsFollowGetAndReleaseAndNeverFreeTheObject)
{
    for (service_entry* entry : {static_cast<service_entry*>(embedded), static_cast<service_entry*>(linked)}) {
        service_object* object = entry->get_instance();
        EXPECT_EQ(object->reference_count, 2) << "a fresh object starts at 1";
        EXPECT_EQ(entry->get_instance(), object);
        EXPECT_EQ(object->release(), 2);
        EXPECT_EQ(object->release(), 1);
        EXPECT_EQ(object->release(), 0) << "down to nothing, the owner is told";
        EXPECT_EQ(object->release(), 0);
        EXPECT_EQ(object->query(entry->class_id), nullptr);
        EXPECT_EQ(object->add_reference(), 0);
        EXPECT_EQ(object->add_reference(), 1) << "the object lives on";
    }
}

// Hosts take and give back references from any thread: no change is lost.
TEST_F(ServiceRegistry, CountsChangeAtomically)
{
    service_object& object = embedded->service;
    const int32_t before = object.reference_count;
    constexpr int threads = 4;
    constexpr int changes = 250000;
    const auto on_every_thread = [&object](long (service_object::*change)()) {
        std::vector<std::thread> running;
        for (int t = 0; t < threads; ++t) {
            running.emplace_back([&object, change] {
                for (int i = 0; i < changes; ++i)
                    (object.*change)();
            });
        }
        for (std::thread& thread : running)
            thread.join();
    };
    on_every_thread(&service_object::add_reference);
    EXPECT_EQ(object.reference_count, before + threads * changes);
    on_every_thread(&service_object::release);
    EXPECT_EQ(object.reference_count, before);
}

} // namespace
