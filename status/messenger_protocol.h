#pragma once

// How the messenger is reached: its main window and the current user's
// registry.
constexpr const char messenger_window_class[] = "YahooBuddyMain";
constexpr const char pager_key[] = "Software\\Yahoo\\Pager";
constexpr const char user_id_value[] = "Yahoo! User ID";
constexpr const char custom_messages_key_pattern[] = "Software\\Yahoo\\Pager\\profiles\\%s\\Custom Msgs";
constexpr const char status_value[] = "5";
constexpr unsigned status_changed_command = 392;
constexpr unsigned user_id_capacity = 64;
constexpr unsigned key_path_capacity = 256;
