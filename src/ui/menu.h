#pragma once
#include <windows.h>

#include <string>

#include "ui/handles.h"

namespace kivo::ui {

// A non-owning view of a menu (a menu bar, a popup, a submenu of either).
// Items are named by command id unless a call says "at" (a position).
class Menu {
public:
    Menu() = default;
    explicit Menu(HMENU menu) : menu_(menu) {}

    HMENU get() const { return menu_; }
    explicit operator bool() const { return menu_ != nullptr; }

    bool append(UINT command, const std::string& text, UINT flags = MF_STRING) const
    {
        return AppendMenuA(menu_, flags | MF_STRING, command, text.c_str()) != FALSE;
    }
    bool append_separator() const { return AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr) != FALSE; }
    bool insert_at(int position, UINT command, const std::string& text) const
    {
        return InsertMenuA(menu_, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING, command, text.c_str()) !=
               FALSE;
    }
    // Removes an item (a submenu at that place is destroyed with it).
    bool remove(UINT command) const { return DeleteMenu(menu_, command, MF_BYCOMMAND) != FALSE; }
    int count() const { return GetMenuItemCount(menu_); }
    // The command of the item at a position; 0 for separators, -1 for popups.
    int command_at(int position) const { return static_cast<int>(GetMenuItemID(menu_, position)); }
    Menu submenu_at(int position) const { return Menu(GetSubMenu(menu_, position)); }

    // The item shown in bold, chosen by a double click on a tray icon.
    bool set_default(UINT command) const { return SetMenuDefaultItem(menu_, command, FALSE) != FALSE; }
    // -1 when there is none.
    int default_item() const { return static_cast<int>(GetMenuDefaultItem(menu_, FALSE, 0)); }
    bool set_checked(UINT command, bool on) const
    {
        return CheckMenuItem(menu_, command, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)) !=
               static_cast<DWORD>(-1);
    }
    bool set_enabled(UINT command, bool on) const
    {
        return EnableMenuItem(menu_, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)) != -1;
    }
    bool set_enabled_at(int position, bool on) const
    {
        return EnableMenuItem(menu_, static_cast<UINT>(position), MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED)) !=
               -1;
    }
    // MFS_... bits of an item (MFS_CHECKED, MFS_GRAYED, MFS_DEFAULT), 0 for none.
    UINT state(UINT command) const;
    bool is_checked(UINT command) const { return (state(command) & MFS_CHECKED) != 0; }
    bool is_grayed(UINT command) const { return (state(command) & MFS_GRAYED) != 0; }
    bool set_text(UINT command, const std::string& text) const;
    std::string text(UINT command) const;

    // Shows the menu at a screen point and returns when it closes; the chosen
    // command reaches `owner` as WM_COMMAND.
    void track(HWND owner, POINT at, UINT flags = TPM_LEFTALIGN | TPM_RIGHTBUTTON) const
    {
        TrackPopupMenu(menu_, flags, at.x, at.y, 0, owner, nullptr);
    }
    // As track, but returns the chosen command (0 for none) instead of
    // sending it.
    UINT choose(HWND owner, POINT at, UINT flags = TPM_LEFTALIGN | TPM_RIGHTBUTTON) const
    {
        return static_cast<UINT>(
            TrackPopupMenu(menu_, flags | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
    }

protected:
    HMENU menu_ = nullptr;
};

// A popup menu that is nobody's menu bar, destroyed with the object.
class PopupMenu : public Menu {
public:
    // An empty popup; throws std::system_error if none can be made.
    PopupMenu();
    explicit PopupMenu(MenuHandle owned) : Menu(owned.get()), owned_(std::move(owned)) {}
    PopupMenu(PopupMenu&& other) noexcept : Menu(other.menu_), owned_(std::move(other.owned_))
    {
        other.menu_ = nullptr;
    }
    PopupMenu& operator=(PopupMenu&& other) noexcept
    {
        owned_ = std::move(other.owned_);
        menu_ = other.menu_;
        other.menu_ = nullptr;
        return *this;
    }

    // The submenu at `position` of menu resource `menu_id`, taken out of its
    // menu so it can live alone. Throws std::system_error when the resource
    // or the submenu is missing.
    static PopupMenu load_submenu(HINSTANCE module, int menu_id, int position = 0);

    // Gives the menu up (to a menu bar or a parent menu, which then owns it).
    HMENU release()
    {
        menu_ = nullptr;
        return owned_.release();
    }

private:
    MenuHandle owned_;
};

// Shows a notification-area menu the way it has to be: the owner becomes the
// foreground window first (or the menu would not close when the user clicks
// elsewhere), and a WM_NULL posted afterwards lets the next click work at
// once. The chosen command reaches `owner` as WM_COMMAND.
void track_tray_menu(Menu menu, HWND owner, POINT at);

}  // namespace kivo::ui
