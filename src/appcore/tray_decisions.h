#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kivo::tray {

// What the tray needs of one account, read on the window thread.
struct AccountView {
    std::string name;
    std::uint32_t state = 0;
    std::int32_t unseen = 0;
    std::int32_t total = 0;
};

// Summed over every account.
struct Facts {
    bool checking = false;  // some account is checking or connecting
    bool failed = false;    // some account has failed
    std::int64_t unseen = 0;
    std::int64_t total = 0;

    static Facts of(const std::vector<AccountView>& accounts);
};

// The tray icon's pictures; the user may replace all but the flash one.
enum class Slot { flash, normal, check_error, error, check };

// The icon of the current state, under the two display settings.
Slot state_icon(const Facts& facts, bool show_checking, bool error_icon);

struct Colour {
    std::uint8_t red, green, blue;
    bool operator==(const Colour&) const = default;
};
// The badge's colour tells the accounts' real states, whatever the settings
// show: green normal, blue checking, red failed, olive checking and failed.
Colour badge_colour(const Facts& facts);

// The number drawn on the icon, or none for the plain state icon.
std::optional<std::int64_t> badge_number(const Facts& facts, bool count_all, bool show_checking);

// The tooltip: the unseen total, then a line per account with unseen mail.
// Cut to what the notification area takes (127 characters), never in the
// middle of a double-byte character.
inline constexpr std::size_t kTooltipLimit = 127;
std::string tooltip(const std::vector<AccountView>& accounts);

// One 500 ms tick: what the icon shows now.
enum class Frame { composed, flash };
Frame tick_frame(bool flash_phase_on, bool flash_setting, bool notification_off, bool stopped,
                 std::int64_t unseen_total);

}  // namespace kivo::tray
