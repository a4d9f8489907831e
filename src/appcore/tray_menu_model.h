#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "appcore/settings.h"

namespace kivo::tray {

// What a click on the tray icon or a tray menu choice asks the main window
// to do: a command, and for a Check-submenu item the account it names.
struct TrayCommand {
    int command = 0;
    std::uint64_t account_serial = 0;  // 0 unless a Check-submenu account
    bool operator==(const TrayCommand&) const = default;
};

// One account as the Check submenu shows it.
struct MenuAccount {
    std::uint64_t serial = 0;
    std::string name;
    bool disabled = false;
    bool operator==(const MenuAccount&) const = default;
};

// The Check submenu's account items get private ids counted up from here,
// above every command of the program, so two accounts with the same name
// still get items of their own.
inline constexpr int kFirstAccountCommand = 0xA000;
inline constexpr std::size_t kMaxAccountItems = 0x1000;

// The account items of the Check submenu and the account each id names. The
// ids are handed out again only when the accounts change.
class AccountMenuIds {
public:
    struct Item {
        int command;
        MenuAccount account;
    };
    // True when the list differs from the last one (the menu must be built
    // again). A changed disabled flag alone keeps the ids.
    bool rebuild(const std::vector<MenuAccount>& accounts);
    std::optional<std::uint64_t> serial_of(int command) const;
    const std::vector<Item>& items() const { return items_; }
    bool is_account_command(int command) const;

private:
    std::vector<Item> items_;
};

// The tray menu's variable parts.
struct MenuState {
    bool notification_off_text = false;  // false: "Notification Off"; true: "Notification On"
    bool notification_enabled = false;
    bool check_enabled = false;
};
MenuState menu_state(bool notification_off, bool running, std::size_t account_count);

// The chosen menu item as a command; none for no choice, and for an account
// item that names no account.
std::optional<TrayCommand> command_for_choice(const AccountMenuIds& ids, int chosen);

// The left double click's command: show or hide the window, or check all.
int double_click_command(Settings::DoubleClick action, bool window_visible);

}  // namespace kivo::tray
