// One new track through the DLL against the bare OS calls that publishing a
// status must make, measured side by side in one run.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_table.h"
#include "host_abi.h"
#include "messenger_process.h"

namespace {

const char user[] = "vexil_bench";
const char title[] = "now playing: Heroes-David Bowie";
constexpr int calls_per_batch = 100;
constexpr int rounds = 21;

class bench_track final : public host::track_handle {
public:
    int format_title(host::text_sink* out, const char*, void*) override
    {
        out->assign(title, 0xFFFFFFFFu);
        return 1;
    }
};

// Exactly what publishing needs from the OS, with nothing of the component.
void bare_publication()
{
    HWND window = FindWindowA(messenger::window_class, nullptr);
    HKEY pager;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, messenger::pager_key, 0, KEY_QUERY_VALUE, &pager) != ERROR_SUCCESS)
        return;
    char id[64];
    DWORD size = sizeof id;
    RegQueryValueExA(pager, messenger::user_id_value, nullptr, nullptr, reinterpret_cast<BYTE*>(id), &size);
    char path[256];
    _snprintf(path, sizeof path, "%s\\%s\\%s", messenger::profiles_key, id, messenger::custom_messages_key);
    HKEY profile;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &profile) == ERROR_SUCCESS) {
        RegSetValueExA(profile, messenger::status_value, 0, REG_SZ, reinterpret_cast<const BYTE*>(title), sizeof title);
        RegCloseKey(profile);
        PostMessageA(window, WM_COMMAND, messenger::status_command, 0);
    }
    RegCloseKey(pager);
}

template <class Work>
double microseconds_per_call(Work work, const messenger::process& shown_by)
{
    shown_by.sync();
    const double start = bench::seconds_now();
    for (int i = 0; i < calls_per_batch; ++i)
        work();
    const double elapsed = bench::seconds_now() - start;
    shown_by.sync();
    return elapsed * 1e6 / calls_per_batch;
}

} // namespace

int main()
{
    const host::bound_component component = host::bind_component("vexil_status.dll");
    auto* events = component.client != nullptr ? host::instance<host::playback_events>(component.client, host::playback_events_class) : nullptr;
    if (events == nullptr) {
        fprintf(stderr, "publish_bench: cannot bind vexil_status.dll\n");
        return 1;
    }

    messenger::forget_everything();
    messenger::process shown_by;
    if (!shown_by.start(std::string("--quiet --user ") + user)) {
        fprintf(stderr, "publish_bench: the messenger did not start\n");
        return 1;
    }
    bench_track track;
    std::vector<double> ours;
    std::vector<double> bare;
    for (int round = 0; round < rounds; ++round) {
        // Alternate the order so that neither side always runs first.
        if (round % 2 == 0) {
            ours.push_back(microseconds_per_call([&] { events->on_new_track(&track); }, shown_by));
            bare.push_back(microseconds_per_call(bare_publication, shown_by));
        } else {
            bare.push_back(microseconds_per_call(bare_publication, shown_by));
            ours.push_back(microseconds_per_call([&] { events->on_new_track(&track); }, shown_by));
        }
    }
    events->release();
    shown_by.stop();
    messenger::forget_everything();
    const double ours_us = bench::median(ours);
    const double bare_us = bench::median(bare);
    bench::row("new_track with publishing / bare OS calls", ours_us, bare_us, ours_us / bare_us, "<= 1.10");
    return 0;
}
