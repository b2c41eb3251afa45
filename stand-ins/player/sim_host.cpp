// A simulated host player: binds vexil_status.dll through its export, the
// way a real host does, keeps the component's settings in a file of its own,
// plays playlists and shows the preferences page.
//
//   sim_host [options] services              the services the DLL offers
//   sim_host [options] identity              the component's identity texts
//   sim_host [options] settings              the stored settings, decoded
//   sim_host [options] play PLAYLIST         play every track of PLAYLIST
//   sim_host [options] prefs                 the preferences window
//
// options:
//   --dll PATH          the component (default: vexil_status.dll)
//   --settings PATH     the settings file (default: sim_host_settings.bin
//                       beside sim_host.exe, in the build folder)
//   --messenger USER    start the stand-in messenger for USER first, and
//                       close it at the end
//   --format TEXT       set the title format before playing
//   --screenshot PATH   with prefs: save the window as a bitmap and close
//   --dropdown          with prefs --screenshot: show the history list open

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "beside_this_program.h"
#include "host_abi.h"
#include "messenger_process.h"
#include "playlist.h"
#include "prefs_window.h"
#include "read_file.h"
#include "settings_store.h"

namespace {

struct options {
    std::string dll = "vexil_status.dll";
    std::string settings = beside_this_program("sim_host_settings.bin");
    std::string messenger_user;
    std::string format;
    bool set_format = false;
    std::string screenshot;
    bool dropdown = false;
    std::string command;
    std::string argument;
};

bool parse(int argc, char** argv, options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool has_value = i + 1 < argc;
        if (a == "--dll" && has_value)
            o.dll = argv[++i];
        else if (a == "--settings" && has_value)
            o.settings = argv[++i];
        else if (a == "--messenger" && has_value)
            o.messenger_user = argv[++i];
        else if (a == "--format" && has_value)
            o.format = argv[++i], o.set_format = true;
        else if (a == "--screenshot" && has_value)
            o.screenshot = argv[++i];
        else if (a == "--dropdown")
            o.dropdown = true;
        else if (o.command.empty())
            o.command = a;
        else if (o.argument.empty())
            o.argument = a;
        else
            return false;
    }
    return !o.command.empty();
}

const char* service_kind(const GUID& id)
{
    if (IsEqualGUID(id, host::playback_events_class))
        return "playback watcher";
    if (IsEqualGUID(id, host::preferences_page_class))
        return "preferences page";
    if (IsEqualGUID(id, host::identity_class))
        return "component identity";
    return "unknown service";
}

void list_services(host::module_client* client)
{
    printf("interface version %d\n", client->interface_version());
    int n = 0;
    for (host::service_entry* entry : host::service_entries(client))
        printf("service %d: %s %s\n", ++n, host::guid_text(entry->class_id).c_str(), service_kind(entry->class_id));
}

void show_identity(host::module_client* client)
{
    auto* identity = host::instance<host::identity_service>(client, host::identity_class);
    if (identity == nullptr)
        return;
    host::host_text text;
    identity->get_name(&text);
    printf("name:      %s\n", text.data());
    identity->get_version(&text);
    printf("version:   %s\n", text.data());
    identity->get_file_name(&text);
    printf("file name: %s\n", text.data());
    identity->get_about(&text);
    printf("about:\n%s\n", text.data());
    identity->release();
}

void show_settings(host::module_client* client)
{
    host::blob_writer writer;
    client->save_settings(&writer);
    printf("%zu bytes in %zu writes\n%s", writer.blob.size(), writer.write_sizes.size(), sim::describe_blob(writer.blob).c_str());
}

void set_format(host::module_client* client, const std::string& format)
{
    host::load_record(client, "vexil_status_format", format);
}

// Plays like a player does: start, then for each track the new track and a
// little time, a pause and a seek; a stop at the end.
int play(host::module_client* client, const std::string& path, const messenger::process* shown_by)
{
    std::string text;
    if (!sim::read_file(path, text)) {
        fprintf(stderr, "sim_host: cannot read %s\n", path.c_str());
        return 1;
    }
    std::vector<sim::track> tracks = sim::parse_playlist(text);
    auto* events = host::instance<host::playback_events>(client, host::playback_events_class);
    if (events == nullptr)
        return 1;
    events->on_playback_starting();
    events->on_volume(100);
    int n = 0;
    for (sim::track& track : tracks) {
        printf("track %d: %s - %s\n", ++n, track.field("artist").c_str(), track.field("title").c_str());
        fflush(stdout);
        events->on_new_track(&track);
        events->on_time(0.0);
        events->on_pause(1);
        events->on_pause(0);
        events->on_seek(30.0);
        events->on_time(30.0);
        if (shown_by != nullptr)
            shown_by->sync();
    }
    events->on_playback_stop(0);
    events->release();
    printf("played %d tracks\n", n);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    options o;
    if (!parse(argc, argv, o)) {
        fprintf(stderr, "usage: sim_host [--dll PATH] [--settings PATH] [--messenger USER] [--format TEXT]\n"
                        "                [--screenshot PATH] [--dropdown] services|identity|settings|play PLAYLIST|prefs\n");
        return 2;
    }
    const host::bound_component component = host::bind_component(o.dll.c_str());
    if (component.client == nullptr) {
        fprintf(stderr, "sim_host: cannot bind %s through %s (error %lu)\n", o.dll.c_str(), host::export_name, GetLastError());
        return 1;
    }
    host::module_client* client = component.client;
    HMODULE module = component.module;
    char module_path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, module_path, MAX_PATH);
    const std::string path(module_path, length);
    client->set_module_names(path.c_str(), path.substr(path.find_last_of("\\/") + 1).c_str());
    sim::load_stored_settings(client, o.settings);
    if (o.set_format)
        set_format(client, o.format);

    messenger::process shown_by;
    if (!o.messenger_user.empty() && !shown_by.start("--user \"" + o.messenger_user + "\"")) {
        fprintf(stderr, "sim_host: the messenger did not start\n");
        return 1;
    }

    int status = 0;
    if (o.command == "services")
        list_services(client);
    else if (o.command == "identity")
        show_identity(client);
    else if (o.command == "settings")
        show_settings(client);
    else if (o.command == "play")
        status = play(client, o.argument, o.messenger_user.empty() ? nullptr : &shown_by);
    else if (o.command == "prefs")
        status = sim::run_prefs_window(client, o.screenshot, o.dropdown);
    else {
        fprintf(stderr, "sim_host: unknown command %s\n", o.command.c_str());
        status = 2;
    }
    shown_by.stop();
    if (!sim::save_settings_file(client, o.settings))
        fprintf(stderr, "sim_host: cannot save the settings to %s\n", o.settings.c_str());
    return status;
}
