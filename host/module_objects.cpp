// The module's static objects other than the settings. Every entry pushes
// itself at the head of the service list, so this order makes the host see
// the identity first, then the preferences page, then the playback watcher.

#include <clocale>

#include "host/identity_record.h"
#include "host/module_client.h"
#include "host/module_state.h"
#include "host/version.h"
#include "prefs/prefs_page.h"
#include "status/playback_watcher.h"

static const char about_text[] =
    "Shows the track that is playing now as your Yahoo! Messenger status message, automatically.\n"
    "Written by the Vexil Status developers.";

static embedded_service_entry<playback_watcher> playback_watcher_entry({0xCC01B85A, 0x5C66, 0x4E66, {0x81, 0x0C, 0xE8, 0xB8, 0x91, 0x95, 0xF5, 0xCD}});
static embedded_service_entry<prefs_page> prefs_page_entry({0x7255E8D0, 0x3FCF, 0x4781, {0xB9, 0x3B, 0xD0, 0x6C, 0xB8, 0x8D, 0xFA, 0xFA}});
static identity_record identity(VEXIL_COMPONENT_NAME, VEXIL_VERSION_TEXT, about_text);
static linked_service_entry identity_entry({0x10BB3EBD, 0xDDF7, 0x4975, {0xA3, 0xCC, 0x23, 0x08, 0x48, 0x29, 0x45, 0x3E}}, identity);

module_client the_module_client;

namespace {
struct user_locale {
    user_locale() { setlocale(LC_ALL, ""); }
} const locale_of_the_user;
}

void* module_handle = nullptr;
void* host_services = nullptr;
owned_text module_path;
owned_text module_file_name;
bool host_flag = false;
