#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "appcore/tray_menu_model.h"

namespace kivo::app {

using tray::TrayCommand;
using TrayMenuModel = tray::AccountMenuIds;

// Builds the tray menu (the first popup of menu 109) for the accounts in
// `ids` and the given state, shows it through `choose` and returns the
// chosen command id (0 for none). The menu lives only while it is shown.
UINT run_tray_menu(HINSTANCE module, HWND owner, const TrayMenuModel& ids, const tray::MenuState& state,
                   const std::function<UINT(HMENU, HWND, POINT)>& choose);

// Shows a tray menu for real: owner brought forward, the choice returned.
UINT choose_tray_menu_item(HMENU menu, HWND owner, POINT at);

}  // namespace kivo::app
