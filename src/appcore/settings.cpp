#include "appcore/settings.h"

#include <algorithm>
#include <vector>

#include "platform/program_folder.h"
#include "platform/registry.h"
#include "platform/registry_paths.h"

namespace kivo {
namespace {

using platform::RegKey;

constexpr const char* kIconValues[Settings::kIconSlots] = {"NormalIconPath", "CheckIconPath", "ErrorIconPath",
                                                             "CheckErrorIconPath"};
// The face name follows five 32-bit numbers and eight bytes.
constexpr std::size_t kFaceNameOffset = 28;

// Flags are on only when stored as exactly 1; missing or of another type: off.
bool read_flag(const RegKey& key, const char* name)
{
    std::uint32_t value = 0;
    return key.read_dword(name, value) && value == 1;
}

std::string read_text(const RegKey& key, const char* name)
{
    std::string value;
    return key.read_expanded_string(name, value) ? value : std::string();
}

// A structure is taken only whole: anything else leaves it all zero.
template <std::size_t N>
void read_record(const RegKey& key, const char* name, std::array<std::uint8_t, N>& record)
{
    std::vector<std::uint8_t> data;
    record.fill(0);
    if (key.read_binary(name, data) && data.size() == N)
        std::copy(data.begin(), data.end(), record.begin());
}

}  // namespace

bool Settings::has_placement() const
{
    return std::any_of(placement.begin(), placement.end(), [](std::uint8_t b) { return b != 0; });
}

bool Settings::has_font() const { return font[kFaceNameOffset] != 0; }

void Settings::Load(const MailClientLookup& default_mail_client)
{
    RegKey key = RegKey::open_read(platform::RegRoot::current_user, kSettingsKey);
    if (!key)
        key = RegKey::open_or_create(platform::RegRoot::current_user, kSettingsKey);
    if (!key)
        return;

    win_startup = read_flag(key, "WinStartup");
    hide_start = read_flag(key, "HideStart");
    mail_client = read_text(key, "MailClient");
    if (mail_client.empty() && default_mail_client)
        mail_client = default_mail_client();
    set_run_mailer_after_new_mail(read_flag(key, "RunMailerAfterNewMail"));
    std::uint32_t connection = 1;
    key.read_dword("InetConnectionType", connection);
    set_dial_up(connection != 1);
    read_record(key, "MainWindowPlacement", placement);
    play_sound = read_flag(key, "PlaySound");
    repeat = read_flag(key, "Repeat");
    repeat_when_window_is_open = read_flag(key, "RepeatWhenWindowIsOpen");
    sound_file = read_text(key, "SoundFile");
    if (sound_file.empty())
        sound_file = platform::program_folder() + "kivo.wav";
    flash_icon = read_flag(key, "FlashIcon");
    show_checking = read_flag(key, "ShowChecking");
    error_icon_shown = read_flag(key, "ErrorIcon");
    count_all_messages = read_flag(key, "ShowNumberAllMsgs");
    for (int slot = 0; slot < kIconSlots; ++slot) {
        std::string path = read_text(key, kIconValues[slot]);
        icon_files[slot] = path == kDefaultIcon ? std::string() : path;
    }
    read_record(key, "Font", font);
    std::uint32_t action = 0;
    double_click = key.read_dword("LeftMouseButtonDoubleClickAction", action) && action == 1 ? DoubleClick::check_all
                                                                                              : DoubleClick::open_window;
}

void Settings::Save() const
{
    RegKey key = RegKey::open_or_create(platform::RegRoot::current_user, kSettingsKey);
    if (!key)
        return;
    key.write_dword("WinStartup", win_startup ? 1 : 0);
    key.write_dword("HideStart", hide_start ? 1 : 0);
    key.write_dword("RunMailerAfterNewMail", run_mailer_after_new_mail() ? 1 : 0);
    key.write_string("MailClient", mail_client);
    key.write_dword("InetConnectionType", dial_up() ? 0 : 1);
    key.write_binary("MainWindowPlacement", placement.data(), placement.size());
    key.write_dword("PlaySound", play_sound ? 1 : 0);
    key.write_dword("Repeat", repeat ? 1 : 0);
    key.write_string("SoundFile", sound_file);
    key.write_dword("RepeatWhenWindowIsOpen", repeat_when_window_is_open ? 1 : 0);
    key.write_dword("FlashIcon", flash_icon ? 1 : 0);
    key.write_dword("ShowChecking", show_checking ? 1 : 0);
    key.write_dword("ErrorIcon", error_icon_shown ? 1 : 0);
    key.write_dword("ShowNumberAllMsgs", count_all_messages ? 1 : 0);
    for (int slot = 0; slot < kIconSlots; ++slot)
        key.write_string(kIconValues[slot], icon_files[slot].empty() ? kDefaultIcon : icon_files[slot]);
    key.write_binary("Font", font.data(), font.size());
    key.write_dword("LeftMouseButtonDoubleClickAction", double_click == DoubleClick::check_all ? 1 : 0);
}

}  // namespace kivo
