// The DLL driven as a host drives it while its heap fails, and while the OS
// calls it makes fail one at a time: nothing crashes, nothing the user set
// is lost, and the component works normally afterwards. And every host
// operation leaves the DLL's heap as it found it.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../import_hooks.h"
#include "../os_calls.h"
#include "../page_driver.h"
#include "../settings_fault_operations.h"
#include "dll_heap.h"
#include "host_track.h"
#include "loaded_component.h"
#include "messenger_process.h"

namespace {

// The page's other calls that may fail, watched beside the window and
// registry calls (os_calls.h) and staged the same way.
HWND WINAPI create_dialog(HINSTANCE module, LPCSTR name, HWND parent, DLGPROC procedure, LPARAM parameter)
{
    return os_calls::answers_as_staged("CreateDialogParamA") ? os_calls::failed<HWND>(nullptr) : CreateDialogParamA(module, name, parent, procedure, parameter);
}
int WINAPI wide_to_ansi(UINT code_page, DWORD flags, LPCWCH source, int units, LPSTR out, int room, LPCCH fallback, LPBOOL used)
{
    return os_calls::answers_as_staged("WideCharToMultiByte") ? os_calls::failed(0) : WideCharToMultiByte(code_page, flags, source, units, out, room, fallback, used);
}
BOOL __cdecl get_window_text(HWND window, host::text_sink* out)
{
    static const auto read = hooks::real<BOOL(__cdecl*)(HWND, host::text_sink*)>("utf8api.dll", "uGetWindowText");
    return os_calls::answers_as_staged("uGetWindowText") ? FALSE : read(window, out);
}

const char user[] = "vexil_faults";
const stored_settings on_page = {.history = "older\nold\n", .enabled = 1, .format = "current"};
// The same once the page is open: the format has joined the history.
const std::string page_history = "current\nolder\nold\n";
const stored_settings opened = {.history = page_history, .enabled = 1, .format = "current"};

// The DLL's heap is counted, and fails as the walk asks, and the page's
// calls are watched, in every test.
struct Faults : playing_test {
    Faults()
        : page(component.instance<host::preferences_page>(host::preferences_page_class)), heap(component.module),
          page_calls{{component.module, "USER32.dll", "CreateDialogParamA", reinterpret_cast<void*>(&create_dialog)},
                     {component.module, "KERNEL32.dll", "WideCharToMultiByte", reinterpret_cast<void*>(&wide_to_ansi)},
                     {component.module, "utf8api.dll", "uGetWindowText", reinterpret_cast<void*>(&get_window_text)}}
    {
        messenger::prepare_user(user);
    }
    ~Faults() override
    {
        page.close();
        if (page.page != nullptr)
            page.page->release();
    }
    void SetUp() override
    {
        playing_test::SetUp();
        ASSERT_NE(page.page, nullptr);
        ASSERT_TRUE(heap.installed());
        for (const hooks::import_hook& hook : page_calls)
            ASSERT_TRUE(hook.installed());
    }

    // The settings as the host reaches them through the module client.
    settings_host host() const
    {
        loaded_component* bound = &component;
        return {[bound](const stored_settings& settings) { bound->load(settings); }, [bound] { bound->client->reset_settings(); },
                [bound] {
                    host::blob_writer writer;
                    bound->client->save_settings(&writer);
                    return host::written_blob(writer);
                }};
    }
    static std::string status() { return messenger::read_value(messenger::profile_key(user), messenger::status_value).bytes; }
    void close_page_with(const stored_settings& settings)
    {
        page.close();
        component.load(settings);
    }
    void open_page_with(const stored_settings& settings)
    {
        close_page_with(settings);
        EXPECT_TRUE(page.open());
        page.enter_format_field();
    }

    // A track that is published normally, or not at all: the status is left
    // alone, or it is the whole title and one command tells the messenger.
    struct publication {
        host_track track{""};
        LONG commands_before = 0;
    };
    void prepare_track(publication& p, const std::string& title)
    {
        component.load(on_page);
        messenger::store_status(user, "before");
        p.track = host_track(title);
        p.commands_before = commands();
    }
    static void expect_whole_or_nothing(const publication& p)
    {
        const std::string now = status();
        const bool published = now == p.track.title + '\0';
        EXPECT_TRUE(published || now == std::string("before") + '\0') << now;
        EXPECT_EQ(commands() - p.commands_before, published ? 1 : 0);
    }

    std::vector<fault_operation> allocating_operations();

    // After a failure, a track is published and the page shows the format.
    void expect_normal_work(const std::string& title)
    {
        publication after;
        prepare_track(after, title);
        watcher->on_new_track(&after.track);
        EXPECT_EQ(status(), after.track.title + '\0');
        open_page_with(on_page);
        EXPECT_EQ(page.edit_text(), on_page.format);
    }

    page_driver page;
    const dll_heap::watch heap;
    const hooks::import_hook page_calls[3];
    publication playing;
    int tracks = 0;
    const std::function<void()> bind = [this] { EXPECT_EQ(component.get_interface(nullptr, component.module), client); };
    const std::function<void()> ask_identity = [this] {
        for (const auto text : {&host::identity_service::get_name, &host::identity_service::get_version, &host::identity_service::get_about,
                                &host::identity_service::get_file_name})
            component.ask(text);
    };
};

// Every host operation that allocates, each with its check: the walk fails
// each allocation of every one in turn, and the heap's balance runs them
// too.
std::vector<fault_operation> Faults::allocating_operations()
{
    std::vector<fault_operation> operations = settings_operations(host());
    operations.insert(operations.end(), {
        {"set the module names", [&] { client->set_module_names("C:\\old", "old.dll"); },
         [&] { client->set_module_names("C:\\players\\new", "new.dll"); },
         [&] {
             const std::string now = component.ask(&host::identity_service::get_file_name).text;
             EXPECT_TRUE(now == "old.dll" || now == "new.dll") << now;
         }},
        {"play a new track", [&] { prepare_track(playing, "track " + std::to_string(++tracks) + " \xC3\xA9\xE6\x97\xA5 of a length to grow"); },
         [&] { watcher->on_new_track(&playing.track); }, [&] { expect_whole_or_nothing(playing); }},
        // A sink that could not hold the first writing is whole again after
        // the second, and what the host wrote whole at last is published.
        {"play a track whose title is written twice",
         [&] {
             prepare_track(playing, "track " + std::to_string(++tracks) + " written twice, long enough to grow");
             playing.track.written_twice = true;
         },
         [&] { watcher->on_new_track(&playing.track); },
         [&] {
             expect_whole_or_nothing(playing);
             EXPECT_EQ(status() == playing.track.title + '\0', playing.track.text_seen == playing.track.title) << playing.track.text_seen;
         }},
        {"open the page",
         [&] { close_page_with(on_page); },
         [&] { page.open(); },
         [&] {
             const stored_settings now = component.stored();
             EXPECT_EQ(now.format, on_page.format);
             EXPECT_TRUE(now.history == on_page.history || now.history == page_history) << now.history;
             page.enter_format_field();
             page.leave_format_field();
             EXPECT_EQ(component.stored().format, on_page.format) << "what the field reads replaced the format";
         }},
        {"type into the field and leave it",
         [&] {
             open_page_with(on_page);
             page.type("typed %title%");
         },
         [&] { page.leave_format_field(); }, [&] { expect_old_or_new(component.stored(), opened, {.history = page_history, .enabled = 1, .format = "typed %title%"}); }},
        {"choose from the list and leave the field",
         [&] {
             open_page_with(on_page);
             page.choose(2);
         },
         [&] { page.leave_format_field(); }, [&] { expect_old_or_new(component.stored(), opened, {.history = page_history, .enabled = 1, .format = "older"}); }},
        {"close the page",
         [&] {
             open_page_with(on_page);
             page.type("new one");
             page.leave_format_field();
         },
         [&] { page.close(); },
         [&] {
             const std::string now = component.stored().history;
             EXPECT_TRUE(now == page_history || now == "new one\n" + page_history) << now;
         }},
    });
    return operations;
}

TEST_F(Faults, EveryAllocationFailingLosesNothing)
{
    walk_operations(dll_heap::faults(), allocating_operations(), host(), [&] {
        page.close();
        expect_keys_given_back();
    });
    expect_normal_work("after every failure");
}

// They hand out static objects and texts, so no failing allocation can
// reach them.
TEST_F(Faults, BindingAndTheIdentityTextsAllocateNothing)
{
    EXPECT_EQ(dll_heap::faults().walk([] {}, bind, [](allocation_faults::kind, int) {}), 0);
    EXPECT_EQ(dll_heap::faults().walk([] {}, ask_identity, [](allocation_faults::kind, int) {}), 0);
}

// Run twice from the same start, an operation must leave the DLL's heap as
// it did the first time: a block it does not give back shows. The first run
// takes the component to the state the operation makes by design.
TEST_F(Faults, EveryHostOperationLeavesTheHeapAsItWas)
{
    page_driver beside(page.page);
    const auto play = [&] { watcher->on_new_track(&playing.track); };
    std::vector<fault_operation> operations = allocating_operations();
    operations.insert(operations.end(), {
        {"bind through the export", [] {}, bind, [] {}},
        {"ask for the identity texts", [] {}, ask_identity, [] {}},
        {"play a track with no messenger", [&] { prepare_track(playing, "unseen"); },
         [&] {
             os_calls::stage("FindWindowA", 1, ERROR_FILE_NOT_FOUND);
             play();
             os_calls::stage_nothing();
         },
         [&] { expect_whole_or_nothing(playing); }},
        {"play a track whose title cannot be held whole", [&] { prepare_track(playing, "a title the buffer cannot hold"); },
         [&] { dll_heap::faults().run_failing(allocation_faults::passing, 1, play); },
         [&] { EXPECT_EQ(status(), std::string("before") + '\0'); }},
        {"open two pages, type into both and close them",
         [&] {
             beside.close();
             close_page_with(on_page);
         },
         [&] {
             page.open();
             beside.open();
             page.enter_format_field();
             page.type("on the first");
             beside.enter_format_field();
             page_driver::type("on the second");
             page.enter_format_field();
             beside.close();
             page.close();
         },
         [&] { EXPECT_EQ(component.stored().format, "on the second"); }},
    });
    for (const fault_operation& operation : operations) {
        SCOPED_TRACE(operation.name);
        dll_heap::use after[2];
        for (dll_heap::use& steady : after) {
            operation.prepare();
            operation.run();
            operation.check();
            expect_keys_given_back();
            steady = dll_heap::live();
        }
        EXPECT_EQ(after[1].blocks, after[0].blocks);
        EXPECT_EQ(after[1].bytes, after[0].bytes);
    }
}

// The call that fails: the Nth of a function, or every one for 0, and
// what it answers (os_calls.h).
struct os_failure {
    fault_operation operation;
    const char* function;
    int call;
    DWORD answer;
};

TEST_F(Faults, EachOsCallFailingLosesNothing)
{
    const auto play = [&] { watcher->on_new_track(&playing.track); };
    const auto unpublished = [&] {
        EXPECT_EQ(status(), std::string("before") + '\0');
        EXPECT_EQ(commands() - playing.commands_before, 0);
    };
    const auto format_kept = [&] { EXPECT_EQ(component.stored().format, on_page.format); };
    const std::vector<os_failure> failures = {
        {{"the pager key refused", [&] { prepare_track(playing, "t1"); }, play, unpublished}, "RegOpenKeyExA", 1, ERROR_ACCESS_DENIED},
        {{"the profile key refused", [&] { prepare_track(playing, "t2"); }, play, unpublished}, "RegOpenKeyExA", 2, ERROR_ACCESS_DENIED},
        {{"the user ID too long for its buffer", [&] { prepare_track(playing, "t3"); }, play, unpublished}, "RegQueryValueExA", 1, ERROR_MORE_DATA},
        // The messenger is told all the same, and shows what it had.
        {{"the status not written", [&] { prepare_track(playing, "t4"); }, play,
          [&] {
              EXPECT_EQ(status(), std::string("before") + '\0');
              EXPECT_EQ(commands() - playing.commands_before, 1);
          }},
         "RegSetValueExA", 1, ERROR_ACCESS_DENIED},
        {{"no dialog", [&] { close_page_with(on_page); }, [&] { EXPECT_FALSE(page.open()); }, [&] { EXPECT_EQ(component.stored(), on_page); }},
         "CreateDialogParamA", 1, ERROR_NOT_ENOUGH_MEMORY},
        {{"no ANSI form of the format", [&] { close_page_with(on_page); }, [&] { page.open(); },
          [&] {
              EXPECT_EQ(page.edit_text(), "");
              page.enter_format_field();
              page.leave_format_field();
              format_kept();
          }},
         "WideCharToMultiByte", 0, ERROR_INSUFFICIENT_BUFFER},
        {{"the field's text unreadable",
          [&] {
              open_page_with(on_page);
              page.type("typed");
          },
          [&] { page.leave_format_field(); }, format_kept},
         "uGetWindowText", 0, 0},
    };

    for (const os_failure& failure : failures) {
        SCOPED_TRACE(failure.operation.name);
        failure.operation.prepare();
        os_calls::stage(failure.function, failure.call, failure.answer);
        failure.operation.run();
        os_calls::stage_nothing();
        failure.operation.check();
        expect_keys_given_back();
        expect_normal_work(std::string("after ") + failure.operation.name);
        page.type("typed after");
        page.leave_format_field();
        EXPECT_EQ(component.stored().format, "typed after");
    }
    printf("OS failures: %zu tried\n", failures.size());
}

} // namespace
