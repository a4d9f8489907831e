#include "ui/menu.h"

#include <system_error>

#include "ui/text_buffer.h"

namespace kivo::ui {
namespace {

[[noreturn]] void fail(const char* what)
{
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

}  // namespace

UINT Menu::state(UINT command) const
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    if (!GetMenuItemInfoA(menu_, command, FALSE, &info))
        return 0;
    return info.fState;
}

bool Menu::set_text(UINT command, const std::string& text) const
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(text.c_str());
    return SetMenuItemInfoA(menu_, command, FALSE, &info) != FALSE;
}

std::string Menu::text(UINT command) const
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    if (!GetMenuItemInfoA(menu_, command, FALSE, &info) || info.cch == 0)
        return {};
    std::string text(info.cch + 1, '\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!GetMenuItemInfoA(menu_, command, FALSE, &info))
        return {};
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

PopupMenu::PopupMenu() : PopupMenu(MenuHandle(CreatePopupMenu()))
{
    if (!menu_)
        fail("CreatePopupMenu");
}

PopupMenu PopupMenu::load_submenu(HINSTANCE module, int menu_id, int position)
{
    MenuHandle bar(LoadMenuA(module, MAKEINTRESOURCEA(menu_id)));
    if (!bar)
        fail("LoadMenu");
    HMENU sub = GetSubMenu(bar.get(), position);
    if (!sub)
        throw std::system_error(ERROR_RESOURCE_NAME_NOT_FOUND, std::system_category(), "GetSubMenu");
    // Detached, the submenu outlives the menu bar it came from.
    RemoveMenu(bar.get(), static_cast<UINT>(position), MF_BYPOSITION);
    return PopupMenu(MenuHandle(sub));
}

void track_tray_menu(Menu menu, HWND owner, POINT at)
{
    SetForegroundWindow(owner);
    menu.track(owner, at, TPM_LEFTALIGN | TPM_RIGHTBUTTON);
    PostMessageA(owner, WM_NULL, 0, 0);
}

}  // namespace kivo::ui
