#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/shared_settings.h"

namespace kivo {

// The program-wide options, as stored under the "Settings" key. The window
// layer applies them (placement, font, tray icons); this class only holds,
// loads and saves them, so it is tested natively.
class Settings {
public:
    // The window placement record and the font description, stored as binary
    // values of exactly these sizes (the same on 32- and 64-bit Windows).
    static constexpr std::size_t kPlacementSize = 44;
    static constexpr std::size_t kFontSize = 60;
    using Placement = std::array<std::uint8_t, kPlacementSize>;
    using Font = std::array<std::uint8_t, kFontSize>;

    enum class DoubleClick { open_window, check_all };
    // The tray icon slots whose pictures the user may replace.
    enum IconSlot { normal_icon, check_icon, error_icon, check_error_icon, kIconSlots };
    static constexpr const char* kDefaultIcon = "Default";

    // The system's default mail client command; empty when there is none.
    using MailClientLookup = std::function<std::string()>;

    Settings() = default;
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // Reads every value; a missing key is created and every option then
    // takes its default. A key that can be neither opened nor created keeps
    // the construction values.
    void Load(const MailClientLookup& default_mail_client);
    // Writes every value; nothing when the key cannot be opened or created.
    void Save() const;

    bool win_startup = true;
    bool hide_start = true;
    std::string mail_client;
    // Read by account threads: atomics.
    SharedSettings shared;
    bool dial_up() const { return shared.connection_type.load() == ConnectionType::dialup_modem; }
    void set_dial_up(bool on) { shared.connection_type = on ? ConnectionType::dialup_modem : ConnectionType::lan; }
    bool run_mailer_after_new_mail() const { return shared.run_mailer_after_new_mail.load(); }
    void set_run_mailer_after_new_mail(bool on) { shared.run_mailer_after_new_mail = on; }

    Placement placement{};  // all zero: none stored, nothing to apply
    bool play_sound = false;
    bool repeat = false;
    bool repeat_when_window_is_open = false;
    std::string sound_file;
    bool flash_icon = false;
    bool show_checking = false;
    bool error_icon_shown = false;
    bool count_all_messages = false;
    // A user's icon file per slot; empty: the program's own picture. The
    // tray clears a path whose file yields no icon, so it is saved as
    // "Default".
    std::array<std::string, kIconSlots> icon_files;
    Font font{};  // all zero: the dialog's own font
    DoubleClick double_click = DoubleClick::open_window;

    // Set by the Settings sheet when a visual option changed.
    bool visual_changed = false;

    bool has_placement() const;
    bool has_font() const;
};

}  // namespace kivo
