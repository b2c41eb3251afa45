// A long run of the DLL as a host would drive it: tracks by the thousand
// while the messenger comes and goes, its keys are deleted and recreated,
// the format and the switch change and the preferences page opens and
// closes. Checks that every publication arrives exactly when it should,
// that nothing is written anywhere else, that every key is given back and
// that memory stays flat.
//
//   soak [--tracks N] [--pages N]

#include <gtest/gtest.h>
#include <windows.h>
#include <malloc.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "../os_calls.h"
#include "../page_driver.h"
#include "host_abi.h"
#include "messenger_process.h"

namespace {

const char user[] = "vexil_soak";
int tracks = 5000;
int pages = 50;
int current_track = 0;

// The values the component set since the last look other than value "5" as
// REG_SZ; the log starts over.
int foreign_writes()
{
    const std::string status = "RegSetValueExA " + std::string(messenger::status_value) + " type " + std::to_string(REG_SZ) + " ";
    const auto foreign = std::count_if(os_calls::log().begin(), os_calls::log().end(), [&](const std::string& call) {
        return call.rfind("RegSetValueExA ", 0) == 0 && call.rfind(status, 0) != 0;
    });
    os_calls::log().clear();
    return int(foreign);
}

class soak_track final : public host::track_handle {
public:
    int format_title(host::text_sink* out, const char* format, void*) override
    {
        title = std::string(format) + " #" + std::to_string(current_track) + " \xC3\xA9\xE6\x97\xA5";
        out->assign(title.c_str(), 0xFFFFFFFFu);
        return 1;
    }
    std::string title;
};

struct memory_use {
    size_t private_bytes;
    size_t heap_bytes;
};

memory_use measure()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    size_t in_use = 0;
    _HEAPINFO entry = {};
    while (_heapwalk(&entry) == _HEAPOK) {
        if (entry._useflag == _USEDENTRY)
            in_use += entry._size;
    }
    return {counters.PagefileUsage, in_use};
}

TEST(Soak, EveryPublicationArrivesNothingElseIsWrittenMemoryStaysFlat)
{
    const host::bound_component component = host::bind_component("vexil_status.dll");
    ASSERT_NE(component.client, nullptr) << "cannot bind vexil_status.dll";
    host::module_client* client = component.client;
    HMODULE module = component.module;
    client->reset_settings();
    auto* events = host::instance<host::playback_events>(client, host::playback_events_class);
    auto* page = host::instance<host::preferences_page>(client, host::preferences_page_class);
    const os_calls::watch calls(module);
    ASSERT_TRUE(calls.installed());

    messenger::forget_everything();
    messenger::prepare_user(user);
    auto shown_by = std::make_unique<messenger::process>();
    EXPECT_TRUE(shown_by->start("--quiet"));
    LONG expected_commands = 0;
    bool enabled = true;
    bool messenger_running = true;
    bool keys_present = true;
    const int page_every = pages > 0 ? tracks / pages : tracks + 1;
    const int warm_up = tracks / 10;
    memory_use at_start = {};
    soak_track track;
    int opened_pages = 0;

    for (current_track = 1; current_track <= tracks; ++current_track) {
        SCOPED_TRACE(current_track);
        if (current_track == warm_up)
            at_start = measure();
        // The messenger goes away for a while, and comes back.
        if (current_track % 2500 == 1200 && messenger_running) {
            EXPECT_TRUE(shown_by->sync());
            EXPECT_EQ(shown_by->status_commands(), expected_commands);
            shown_by->stop();
            messenger_running = false;
        } else if (current_track % 2500 == 1300 && !messenger_running) {
            shown_by = std::make_unique<messenger::process>();
            EXPECT_TRUE(shown_by->start("--quiet"));
            expected_commands = 0;
            messenger_running = true;
        }
        // The user's keys go away, and come back.
        if (current_track % 700 == 350) {
            RegDeleteTreeA(HKEY_CURRENT_USER, current_track % 1400 == 350 ? messenger::yahoo_key : messenger::profiles_key);
            keys_present = false;
        } else if (current_track % 700 == 400) {
            EXPECT_FALSE(messenger::key_exists(messenger::profile_key(user))) << "a deleted key was recreated";
            messenger::prepare_user(user);
            keys_present = true;
        }
        if (current_track % 300 == 0)
            host::load_record(client, "vexil_status_format", current_track % 600 == 0 ? "%title%" : host::default_format);
        if (current_track % 450 == 0) {
            enabled = !enabled;
            host::load_record(client, "vexil_enabled", host::int_data(enabled ? 1 : 0));
        }

        track.title.clear();
        events->on_new_track(&track);
        events->on_time(1.0);
        events->on_pause(0);
        if (enabled && messenger_running && keys_present) {
            ++expected_commands;
            if (current_track % 97 == 0)
                EXPECT_EQ(messenger::read_value(messenger::profile_key(user), messenger::status_value).bytes, track.title + '\0');
        }
        EXPECT_EQ(enabled, !track.title.empty());
        EXPECT_EQ(os_calls::keys_unbalanced(), "") << "the component's registry keys";
        EXPECT_EQ(foreign_writes(), 0) << "values written besides \"5\"";

        if (current_track % page_every == 0 && opened_pages < pages) {
            page_driver opened(page);
            EXPECT_TRUE(opened.open());
            opened.enter_format_field();
            opened.leave_format_field();
            opened.close();
            page_driver::pump();
            ++opened_pages;
        }
        if (current_track % 200 == 0 && messenger_running)
            EXPECT_TRUE(shown_by->sync());
    }
    --current_track;
    if (messenger_running) {
        EXPECT_TRUE(shown_by->sync());
        EXPECT_EQ(shown_by->status_commands(), expected_commands);
    }
    shown_by->stop();
    const memory_use at_end = measure();

    if (!keys_present)
        messenger::prepare_user(user);
    const std::vector<std::string> tree = messenger::stored_tree(false);
    const std::string pager = messenger::pager_key;
    const std::string profile = messenger::profile_key(user);
    const std::vector<std::string> allowed = {pager,
                                              pager + " = " + messenger::user_id_value,
                                              messenger::profiles_key,
                                              profile.substr(0, profile.find_last_of('\\')),
                                              profile,
                                              profile + " = " + messenger::status_value};
    for (const std::string& entry : tree)
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), entry), allowed.end()) << "unexpected registry entry " << entry;
    messenger::forget_everything();
    events->release();
    page->release();

    const long private_growth = long(at_end.private_bytes) - long(at_start.private_bytes);
    const long heap_growth = long(at_end.heap_bytes) - long(at_start.heap_bytes);
    printf("soak: %d tracks, %d page openings, messenger restarted every 2500 tracks, keys deleted every 700\n", tracks, opened_pages);
    printf("soak: committed bytes %zu -> %zu (%+ld), C heap in use %zu -> %zu (%+ld), from track %d to the end\n", at_start.private_bytes,
           at_end.private_bytes, private_growth, at_start.heap_bytes, at_end.heap_bytes, heap_growth, warm_up);
    // A leak of even a few bytes a track would show in the heap.
    EXPECT_LE(heap_growth, 1024);
    EXPECT_LE(private_growth, 1 << 20);
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--tracks")
            tracks = atoi(argv[i + 1]);
        else if (std::string(argv[i]) == "--pages")
            pages = atoi(argv[i + 1]);
    }
    return RUN_ALL_TESTS();
}
