#pragma once
// What the Settings sheet decides without a window: the tabs' order and help
// topics, how a chosen program is stored, when a check box is taken.
#include <cstddef>
#include <string>
#include <vector>

namespace kivo::dialogs {

// The tabs, in the order they are shown.
enum SettingsTab : std::size_t { system_tab, sound_tab, visual_tab, customize_tab, log_tab, kSettingsTabCount };

// OK applies the pages in this order (each only if it was shown): the font
// and tray pictures first, the Log page last.
std::vector<std::size_t> settings_apply_order();

// The help topic of a tab; null for no tab at all.
const char* settings_help_topic(int tab);

// Every path and command edit holds at most this many characters.
inline constexpr int kSettingsTextLimit = 260;

// A program chosen with "..." as the mail client's command line: quoted, so
// a path with spaces still names the program. Empty stays empty; a text that
// is quoted already is kept.
std::string quoted_program(const std::string& path);

// "Run mail client after new mail" is taken only while there is a mail
// client; otherwise the stored choice stays.
bool run_mailer_choice(const std::string& mail_client, bool checked, bool stored);

}  // namespace kivo::dialogs
