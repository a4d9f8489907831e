#include "appcore/tray_menu_model.h"

#include "appcore/command_ids.h"

namespace kivo::tray {

bool AccountMenuIds::rebuild(const std::vector<MenuAccount>& accounts)
{
    std::size_t count = accounts.size() < kMaxAccountItems ? accounts.size() : kMaxAccountItems;
    bool same = count == items_.size();
    for (std::size_t i = 0; same && i < count; ++i)
        same = items_[i].account.serial == accounts[i].serial && items_[i].account.name == accounts[i].name;
    if (same) {
        for (std::size_t i = 0; i < count; ++i)
            items_[i].account.disabled = accounts[i].disabled;
        return false;
    }
    items_.clear();
    for (std::size_t i = 0; i < count; ++i)
        items_.push_back(Item{kFirstAccountCommand + static_cast<int>(i), accounts[i]});
    return true;
}

bool AccountMenuIds::is_account_command(int command) const
{
    return command >= kFirstAccountCommand && command < kFirstAccountCommand + static_cast<int>(kMaxAccountItems);
}

std::optional<std::uint64_t> AccountMenuIds::serial_of(int command) const
{
    if (!is_account_command(command))
        return std::nullopt;
    std::size_t index = static_cast<std::size_t>(command - kFirstAccountCommand);
    if (index >= items_.size())
        return std::nullopt;
    return items_[index].account.serial;
}

MenuState menu_state(bool notification_off, bool running, std::size_t account_count)
{
    return MenuState{notification_off, running, account_count != 0};
}

std::optional<TrayCommand> command_for_choice(const AccountMenuIds& ids, int chosen)
{
    if (chosen <= 0)
        return std::nullopt;
    if (ids.is_account_command(chosen)) {
        std::optional<std::uint64_t> serial = ids.serial_of(chosen);
        if (!serial)
            return std::nullopt;
        return TrayCommand{CMD_CHECK, *serial};
    }
    return TrayCommand{chosen, 0};
}

int double_click_command(Settings::DoubleClick action, bool window_visible)
{
    if (action == Settings::DoubleClick::check_all)
        return CMD_CHECK_ALL;
    return window_visible ? CMD_HIDE : CMD_OPEN;
}

}  // namespace kivo::tray
