#include "app/tray_menu.h"

#include "app/resource_ids.h"
#include "appcore/command_ids.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/menu.h"

namespace kivo::app {

namespace {

// The "Check" submenu: the popup that holds "All".
int check_submenu_position(const ui::Menu& menu)
{
    for (int i = 0; i < menu.count(); ++i) {
        ui::Menu sub = menu.submenu_at(i);
        if (sub && GetMenuState(sub.get(), CMD_CHECK_ALL, MF_BYCOMMAND) != static_cast<UINT>(-1))
            return i;
    }
    return -1;
}

}  // namespace

UINT choose_tray_menu_item(HMENU menu, HWND owner, POINT at)
{
    SetForegroundWindow(owner);
    UINT chosen = ui::Menu(menu).choose(owner, at, TPM_LEFTALIGN | TPM_RIGHTBUTTON);
    PostMessageA(owner, WM_NULL, 0, 0);
    return chosen;
}

UINT run_tray_menu(HINSTANCE module, HWND owner, const TrayMenuModel& ids, const tray::MenuState& state,
                   const std::function<UINT(HMENU, HWND, POINT)>& choose)
{
    ui::PopupMenu menu = ui::PopupMenu::load_submenu(module, IDR_TRAY_MENU, 0);
    menu.set_default(CMD_OPEN);
    int check_at = check_submenu_position(menu);
    if (check_at >= 0) {
        ui::Menu check = menu.submenu_at(check_at);
        for (const TrayMenuModel::Item& item : ids.items())
            check.append(static_cast<UINT>(item.command), item.account.name,
                         MF_STRING | (item.account.disabled ? MF_GRAYED : MF_ENABLED));
        menu.set_enabled_at(check_at, state.check_enabled);
    }
    menu.set_text(CMD_NOTIFICATION,
                  platform::message_text(state.notification_off_text ? MSG_NOTIFICATION_ON : MSG_NOTIFICATION_OFF));
    menu.set_enabled(CMD_NOTIFICATION, state.notification_enabled);
    POINT at{};
    GetCursorPos(&at);
    return choose(menu.get(), owner, at);
}

}  // namespace kivo::app
