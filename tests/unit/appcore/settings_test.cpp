#include <doctest/doctest.h>

#include <string>

#include "appcore/settings.h"
#include "platform/program_folder.h"
#include "platform/registry.h"
#include "platform/registry_paths.h"

using kivo::Settings;
using kivo::platform::RegKey;
using kivo::platform::RegRoot;

namespace {

RegKey empty_settings_key()
{
    RegKey::delete_tree(RegRoot::current_user, kivo::kSettingsKey);
    return RegKey::open_or_create(RegRoot::current_user, kivo::kSettingsKey);
}

std::string lookup_client() { return "C:\\Mail\\client.exe /new"; }

}  // namespace

TEST_CASE("settings: a first run creates the key and starts with the defaults")
{
    RegKey::delete_tree(RegRoot::current_user, kivo::kSettingsKey);
    kivo::platform::set_program_folder_for_tests("C:\\Kivo\\");
    Settings settings;
    CHECK(settings.win_startup);  // construction values, before the key is read
    settings.Load(lookup_client);
    CHECK(RegKey::open_read(RegRoot::current_user, kivo::kSettingsKey));
    CHECK_FALSE(settings.win_startup);
    CHECK_FALSE(settings.hide_start);
    CHECK_FALSE(settings.run_mailer_after_new_mail());
    CHECK_FALSE(settings.dial_up());
    CHECK_FALSE(settings.play_sound);
    CHECK_FALSE(settings.count_all_messages);
    CHECK(settings.double_click == Settings::DoubleClick::open_window);
    CHECK(settings.sound_file == "C:\\Kivo\\kivo.wav");
    CHECK(settings.mail_client == "C:\\Mail\\client.exe /new");
    CHECK_FALSE(settings.has_placement());
    CHECK_FALSE(settings.has_font());
    CHECK(settings.icon_files[Settings::normal_icon].empty());
    kivo::platform::set_program_folder_for_tests("");
}

TEST_CASE("settings: flags are on only when exactly 1; wrong types and sizes count as missing")
{
    RegKey key = empty_settings_key();
    REQUIRE(key);
    key.write_dword("PlaySound", 2);  // not 1: off, and written back as 0
    key.write_dword("Repeat", 1);
    const unsigned char one[4] = {1, 0, 0, 0};
    key.write_binary("FlashIcon", one, sizeof one);  // a DWORD may be a 4-byte binary
    key.write_string("ShowChecking", "1");           // a string is no flag
    key.write_dword("InetConnectionType", 7);        // anything but 1: dial-up
    key.write_dword("LeftMouseButtonDoubleClickAction", 1);
    const unsigned char short_placement[10] = {44};
    key.write_binary("MainWindowPlacement", short_placement, sizeof short_placement);
    key.write_string("NormalIconPath", "Default");
    key.write_string("ErrorIconPath", "C:\\icons\\red.ico");
    key.write_dword("MailClient", 5);  // wrong type: missing, so the default client
    Settings settings;
    settings.Load(lookup_client);
    CHECK_FALSE(settings.play_sound);
    CHECK(settings.repeat);
    CHECK(settings.flash_icon);
    CHECK_FALSE(settings.show_checking);
    CHECK(settings.dial_up());
    CHECK(settings.double_click == Settings::DoubleClick::check_all);
    CHECK_FALSE(settings.has_placement());
    CHECK(settings.icon_files[Settings::normal_icon].empty());
    CHECK(settings.icon_files[Settings::error_icon] == "C:\\icons\\red.ico");
    CHECK(settings.mail_client == "C:\\Mail\\client.exe /new");

    settings.set_dial_up(false);
    settings.Save();
    std::uint32_t value = 99;
    CHECK(key.read_dword("PlaySound", value));
    CHECK(value == 0);
    CHECK(key.read_dword("InetConnectionType", value));
    CHECK(value == 1);  // LAN is written as 1
    std::string text;
    CHECK(key.read_string("NormalIconPath", text));
    CHECK(text == "Default");
    CHECK(key.read_string("ErrorIconPath", text));
    CHECK(text == "C:\\icons\\red.ico");
}

TEST_CASE("settings: everything saved loads back the same")
{
    empty_settings_key();
    Settings saved;
    saved.win_startup = true;
    saved.hide_start = false;
    saved.mail_client = "mailer.exe";
    saved.set_run_mailer_after_new_mail(true);
    saved.set_dial_up(true);
    for (std::size_t i = 0; i < saved.placement.size(); ++i)
        saved.placement[i] = static_cast<std::uint8_t>(i + 1);
    saved.play_sound = true;
    saved.repeat_when_window_is_open = true;
    saved.sound_file = "D:\\ding.wav";
    saved.show_checking = true;
    saved.error_icon_shown = true;
    saved.count_all_messages = true;
    saved.icon_files[Settings::check_error_icon] = "both.ico";
    saved.font[0] = 0xF4;  // a negative height
    saved.font[28] = 'T';
    saved.double_click = Settings::DoubleClick::check_all;
    saved.Save();

    Settings loaded;
    loaded.Load({});
    CHECK(loaded.win_startup);
    CHECK_FALSE(loaded.hide_start);
    CHECK(loaded.mail_client == "mailer.exe");
    CHECK(loaded.run_mailer_after_new_mail());
    CHECK(loaded.dial_up());
    CHECK(loaded.placement == saved.placement);
    CHECK(loaded.play_sound);
    CHECK_FALSE(loaded.repeat);
    CHECK(loaded.repeat_when_window_is_open);
    CHECK(loaded.sound_file == "D:\\ding.wav");
    CHECK_FALSE(loaded.flash_icon);
    CHECK(loaded.show_checking);
    CHECK(loaded.error_icon_shown);
    CHECK(loaded.count_all_messages);
    CHECK(loaded.icon_files == saved.icon_files);
    CHECK(loaded.font == saved.font);
    CHECK(loaded.has_font());
    CHECK(loaded.double_click == Settings::DoubleClick::check_all);
}
