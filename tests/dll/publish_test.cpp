#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../code_page.h"
#include "host_track.h"
#include "loaded_component.h"
#include "messenger_process.h"

namespace {

const char user[] = "vexil_tester";

messenger::registry_value read_status(const std::string& id = user)
{
    return messenger::read_value(messenger::profile_key(id), messenger::status_value);
}

std::string window_search()
{
    return "FindWindowA " + std::string(messenger::window_class) + " (null)";
}

// The UTF-8 bytes of the title and its NUL go to RegSetValueExA as REG_SZ,
// in every code page.
std::vector<std::string> full_publication(const std::string& id, const std::string& title)
{
    return {
        window_search(),
        "RegOpenKeyExA HKCU " + std::string(messenger::pager_key) + " options 0 access " + std::to_string(KEY_QUERY_VALUE),
        "RegQueryValueExA " + std::string(messenger::user_id_value) + " size 64",
        "RegOpenKeyExA HKCU " + messenger::profile_key(id) + " options 0 access " + std::to_string(KEY_SET_VALUE),
        "RegSetValueExA " + std::string(messenger::status_value) + " type " + std::to_string(REG_SZ) + " size " + std::to_string(title.size() + 1) +
            " data " + title + '\0',
        "RegCloseKey",
        "PostMessageA " + std::to_string(WM_COMMAND) + " " + std::to_string(messenger::status_command) + " 0",
        "RegCloseKey",
    };
}

struct Publishing : playing_test {
    Publishing()
    {
        messenger::forget_everything();
        messenger::prepare_user(user);
    }
    void SetUp() override
    {
        playing_test::SetUp();
        commands_before = commands();
        os_calls::log().clear();
    }

    LONG commands_since_start() const { return commands() - commands_before; }

    void set_enabled(int32_t enabled) const { host::load_record(client, "vexil_enabled", host::int_data(enabled)); }

    void set_format(const std::string& format) const { host::load_record(client, "vexil_status_format", format); }

    LONG commands_before = 0;
};

// An empty title too: it is the empty text. The registry keeps REG_SZ as
// Unicode, read through the ANSI code page: in code page 932 a title comes
// back changed where two of its bytes make no character there ("86 20" in
// "駆 café", "81 AE" in "星の流れ"), and byte for byte where none does.
TEST_F(Publishing, EachTrackBecomesTheStatusWithOneCommand)
{
    const struct {
        std::string title;
        std::string in_code_page_932;
    } titles[] = {
        {"now playing: Heroes-David Bowie", ""},
        {"", ""},
        {"now playing: J\xC3\xB3ga-Bj\xC3\xB6rk", ""},
        {"caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC \xE3\x81\xAE", ""},
        {"\xE9\xA7\x86 caf\xC3\xA9", "\xE9\xA7\x81\x45" "caf\xC3\xA9"},
        {"\xE6\x98\x9F\xE3\x81\xAE\xE6\xB5\x81\xE3\x82\x8C-\xE5\xAE\x87\xE5\xA4\x9A\xE7\x94\xB0 \xF0\x9F\x8E\xB5",
         "\xE6\x98\x9F\xE3\x81\x45\xE6\xB5\x81\xE3\x82\x8C-\xE5\xAE\x81\x45\xA4\x9A\xE7\x94\xB0 \xF0\x9F\x8E\xB5"},
    };
    LONG expected_commands = 0;
    for (const auto& [title, in_code_page_932] : titles) {
        host_track track(title);
        os_calls::log().clear();
        watcher->on_new_track(&track);
        ++expected_commands;

        EXPECT_EQ(track.formats, std::vector<std::string>{host::default_format});
        EXPECT_EQ(track.reserved_seen, nullptr);
        EXPECT_EQ(track.text_seen, title) << "the component's sink holds what the host wrote";
        EXPECT_EQ(track.length_seen, title.size());
        EXPECT_EQ(os_calls::log(), full_publication(user, title));

        const messenger::registry_value stored = read_status();
        EXPECT_EQ(stored.type, DWORD(REG_SZ));
        EXPECT_EQ(stored.bytes, (GetACP() == 932 && !in_code_page_932.empty() ? in_code_page_932 : title) + '\0') << "code page " << GetACP();
        EXPECT_EQ(commands_since_start(), expected_commands);
    }
    EXPECT_EQ(running->other_commands(), 0);
}

TEST_F(Publishing, DisabledPublishingTheOtherEventsAndANullTrackTouchNothing)
{
    set_enabled(0);
    host_track track("never");
    watcher->on_new_track(&track);
    EXPECT_TRUE(track.formats.empty());
    set_enabled(1);
    watcher->on_new_track(nullptr);
    watcher->on_playback_starting();
    watcher->on_playback_stop(2);
    watcher->on_seek(12.5);
    watcher->on_pause(1);
    watcher->on_edited(0);
    watcher->on_time(99.0);
    watcher->on_volume(50);
    EXPECT_TRUE(os_calls::log().empty());
    EXPECT_EQ(read_status().result, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(commands_since_start(), 0);

    set_enabled(-3);
    watcher->on_new_track(&track);
    EXPECT_EQ(track.formats.size(), 1u) << "any value other than 0 is on";
}

TEST_F(Publishing, ChangesBetweenTracksReachTheNextTrack)
{
    set_format("%artist% / %title%");
    host_track first("a / b");
    watcher->on_new_track(&first);
    EXPECT_EQ(first.formats, std::vector<std::string>{"%artist% / %title%"});
    set_format("");
    host_track second("c");
    watcher->on_new_track(&second);
    EXPECT_EQ(second.formats, std::vector<std::string>{""});
    set_enabled(0);
    host_track third("d");
    watcher->on_new_track(&third);
    EXPECT_TRUE(third.formats.empty());
    set_enabled(1);
    watcher->on_new_track(&third);
    EXPECT_EQ(read_status().bytes, std::string("d") + '\0');
    EXPECT_EQ(commands_since_start(), 3);
}

// Where the way to the messenger ends, the calls stop there, and nothing is
// written, created or posted. A user ID must end within its 64 bytes; one
// stored without its NUL, shorter than that, still names the profile.
TEST_F(Publishing, TheWayEndsAtItsFirstMissingStep)
{
    const std::string longest(63, 'u');
    const std::string full(64, 'v');
    const auto unusable_id = [](const std::string& id, DWORD size, DWORD type) { return [=] { messenger::store_too_long_user_id(id, size, type); }; };
    const struct {
        const char* name;
        std::function<void()> prepare;
        // The steps of a full publication taken, or the user whose status
        // is published.
        size_t steps;
        std::string published_for;
        bool messenger_running = true;
    } ways[] = {
        {"no messenger", [] { messenger::prepare_user(user); }, 1, "", false},
        {"no Pager key", [] {}, 2},
        {"no user ID", [] { messenger::create_key(messenger::profile_key(user)); }, 3},
        {"a user ID without a profile", [] { messenger::store_user_id(user, sizeof user, REG_SZ); }, 4},
        {"a user ID of 64 bytes without an end", unusable_id(full, 64, REG_BINARY), 3},
        {"a user ID of 66 bytes", unusable_id(full + "w", 66, REG_SZ), 3},
        {"a user ID of 63 bytes", [&] { messenger::prepare_user(longest); }, 0, longest},
        {"a user ID stored without its end",
         [] {
             messenger::prepare_user(user);
             messenger::store_user_id(user, DWORD(strlen(user)), REG_BINARY);
         },
         0, user},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        messenger::forget_everything();
        way.prepare();
        const std::vector<std::string> before = messenger::stored_tree(true);
        if (!way.messenger_running)
            running->stop();
        commands_before = running->status_commands();
        host_track track("t");
        os_calls::log().clear();
        watcher->on_new_track(&track);
        if (!way.messenger_running) {
            ASSERT_TRUE(running->start("--quiet"));
            commands_before = running->status_commands();
        }

        const bool published = !way.published_for.empty();
        std::vector<std::string> expected = full_publication(published ? way.published_for : user, "t");
        if (!published) {
            // The Pager key, once open, is closed.
            expected.resize(way.steps);
            if (way.steps >= 3)
                expected.push_back("RegCloseKey");
        }
        EXPECT_EQ(os_calls::log(), expected);
        if (published)
            EXPECT_EQ(read_status(way.published_for).bytes, std::string("t") + '\0');
        else
            EXPECT_EQ(messenger::stored_tree(true), before);
        EXPECT_EQ(commands_since_start(), published ? 1 : 0);
        expect_keys_given_back();
    }
}

} // namespace
