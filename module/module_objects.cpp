// The module's static objects other than the settings. Every entry pushes
// itself at the head of the service list, so this order makes the host see
// the identity first, then the preferences page, then the playback watcher.

#include "contract/class_guid.h"
#include "contract/module_binding.h"
#include "contract/version.h"
#include "module/identity_record.h"
#include "module/module_client.h"
#include "module/module_state.h"
#include "prefs/prefs_page.h"
#include "status/playback_watcher.h"

static const char about_text[] =
    "Shows the track that is playing now as your Yahoo! Messenger status message, automatically.\n"
    "Written by the Vexil Status developers.";

static embedded_service_entry<playback_watcher> playback_watcher_entry(playback_watcher_class);
static embedded_service_entry<prefs_page> prefs_page_entry(prefs_page_class);
static identity_record identity(VEXIL_COMPONENT_NAME, VEXIL_VERSION_TEXT, about_text);
static linked_service_entry identity_entry(identity_record_class, identity);

module_client the_module_client;

void* module_handle = nullptr;
void* host_services = nullptr;
owned_text module_path;
owned_text module_file_name;
bool stored_host_flag = false;
