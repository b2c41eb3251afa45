#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "loaded_component.h"

namespace {

using Binding = component_test;

TEST_F(Binding, TheExportReturnsTheSameClientEveryTime)
{
    host::module_client* again = component.get_interface(reinterpret_cast<void*>(0x1234), component.module);
    EXPECT_EQ(again, client);
    EXPECT_EQ(client->interface_version(), 27);
}

TEST_F(Binding, TheServiceListRunsIdentityPreferencesPlayback)
{
    const std::vector<host::service_entry*> entries = host::service_entries(client);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_TRUE(IsEqualGUID(entries[0]->class_id, host::identity_class));
    EXPECT_TRUE(IsEqualGUID(entries[1]->class_id, host::preferences_page_class));
    EXPECT_TRUE(IsEqualGUID(entries[2]->class_id, host::playback_events_class));
    EXPECT_EQ(entries[2]->next, nullptr);
}

// The host reads entries as raw memory: next at 4, the GUID's bytes at 8,
// the embedded object (or the identity's pointer) at 24.
TEST_F(Binding, EntriesHaveTheContractedLayout)
{
    const uint8_t playback_guid_bytes[16] = {0x5A, 0xB8, 0x01, 0xCC, 0x66, 0x5C, 0x66, 0x4E, 0x81, 0x0C, 0xE8, 0xB8, 0x91, 0x95, 0xF5, 0xCD};
    host::service_entry* playback = host::find_entry(client, host::playback_events_class);
    ASSERT_NE(playback, nullptr);
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(playback);
    EXPECT_EQ(memcmp(raw + 8, playback_guid_bytes, 16), 0);

    host::service_entry* identity = client->service_list();
    const uint8_t* identity_raw = reinterpret_cast<const uint8_t*>(identity);
    EXPECT_EQ(*reinterpret_cast<host::service_entry* const*>(identity_raw + 4), identity->next);

    host::service_object* object = playback->get_instance();
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(object), raw + 24);
    const uint8_t* object_raw = reinterpret_cast<const uint8_t*>(object);
    EXPECT_EQ(*reinterpret_cast<host::service_entry* const*>(object_raw + 4), playback) << "owner at 4";
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(object_raw + 8), 2) << "count at 8";
    object->release();

    host::service_object* identity_object = identity->get_instance();
    EXPECT_EQ(*reinterpret_cast<host::service_object* const*>(identity_raw + 24), identity_object);
    identity_object->release();
}

TEST_F(Binding, ReferenceCountsFollowGetAndRelease)
{
    for (host::service_entry* entry : host::service_entries(client)) {
        host::service_object* object = entry->get_instance();
        EXPECT_EQ(object->add_reference(), 3) << "a fresh object starts at 1";
        EXPECT_EQ(entry->get_instance(), object);
        EXPECT_EQ(object->release(), 3);
        EXPECT_EQ(object->release(), 2);
        EXPECT_EQ(object->release(), 1);
        EXPECT_EQ(object->query(entry->class_id), nullptr);
        EXPECT_EQ(object->query(host::identity_class), nullptr);
    }
}

// Releasing past zero tells the entry and never frees the static object:
// the page still names itself and its parent.
TEST_F(Binding, ObjectsOutliveAnOverRelease)
{
    host::service_entry* entry = host::find_entry(client, host::preferences_page_class);
    auto* page = static_cast<host::preferences_page*>(entry->get_instance());
    page->release();
    page->release();
    page->release();
    EXPECT_STREQ(page->get_name(), "Vexil Status");
    EXPECT_STREQ(page->get_parent_name(), "Components");
    EXPECT_EQ(page->add_reference(), 0);
    EXPECT_EQ(page->add_reference(), 1);
    EXPECT_EQ(page->add_reference(), 2);
    page->release();
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(reinterpret_cast<const uint8_t*>(page) + 8), 1) << "back to the resting count";
}

// The callee pops its arguments: a slot that took the wrong size would leave
// the stack unbalanced and the calls after it would fail.
TEST_F(Binding, TheHostFlagAndTheModuleNamesTakeTheirContractedSlots)
{
    client->set_host_flag(true);
    client->set_host_flag(false);
    client->set_module_names("C:\\player\\components\\vexil_status.dll", "vexil_status.dll");
    client->set_module_names(nullptr, nullptr);
    EXPECT_EQ(client->interface_version(), 27);
}

std::string one_and_a_half()
{
    char text[16];
    snprintf(text, sizeof text, "%.1f", 1.5);
    return text;
}

// The C runtime's locale belongs to the whole process: a host that writes
// or reads decimal numbers must find it as it set it after loading us. In
// the German run the user's own locale writes "1,5".
TEST(HostLocale, LoadingTheComponentLeavesItAsTheHostSetIt)
{
    setlocale(LC_ALL, "C");
    const fresh_component fresh;
    ASSERT_NE(fresh.bound.client, nullptr);
    EXPECT_STREQ(setlocale(LC_ALL, nullptr), "C");
    EXPECT_EQ(one_and_a_half(), "1.5");

    const char* run = getenv("LC_ALL");
    const std::string users_locale = setlocale(LC_ALL, "");
    const std::string users_number = one_and_a_half();
    setlocale(LC_ALL, "C");
    EXPECT_NE(users_locale, "C") << "the user's locale is what a careless component would set";
    if (run != nullptr && std::string(run).rfind("de_", 0) == 0)
        EXPECT_EQ(users_number, "1,5") << users_locale;
}

} // namespace
