#include <doctest/doctest.h>

#include <windows.h>

#include <stdexcept>
#include <system_error>

#include "controls_fixture.h"
#include "controls_test_ids.h"
#include "ui/menu.h"

using kivo::test::TestParent;
using kivo::ui::Menu;
using kivo::ui::PopupMenu;

namespace {

UINT raw_state(HMENU menu, UINT command)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    REQUIRE(GetMenuItemInfoA(menu, command, FALSE, &info));
    return info.fState;
}

// Closes whatever menu is open at the next tick of the message loop the menu
// runs, so a test can track a menu without a user.
void CALLBACK end_menu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    EndMenu();
}

// Takes the window's waiting messages and counts the null ones among them.
// (A filter of WM_NULL..WM_NULL would mean no filter at all.)
int pending_null_messages(HWND window)
{
    int nulls = 0;
    MSG msg{};
    for (int i = 0; i < 1000 && PeekMessageA(&msg, window, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_NULL)
            ++nulls;
        DispatchMessageA(&msg);
    }
    return nulls;
}

}  // namespace

TEST_CASE("a popup loaded from a menu resource lives on its own and keeps its item states")
{
    HINSTANCE module = GetModuleHandleA(nullptr);
    PopupMenu tray = PopupMenu::load_submenu(module, IDM_TEST_MENUS, 0);
    REQUIRE(tray);
    CHECK(IsMenu(tray.get()));
    CHECK(tray.count() == 5);
    CHECK(tray.command_at(0) == IDC_OPEN);
    CHECK(tray.command_at(1) == -1);
    Menu check = tray.submenu_at(1);
    REQUIRE(check);
    CHECK(check.command_at(0) == IDC_CHECK_ALL);
    CHECK(tray.text(IDC_EXIT) == "Exit");

    SUBCASE("default, checked and grayed items read back as the system keeps them")
    {
        CHECK(tray.default_item() == -1);
        CHECK(tray.set_default(IDC_OPEN));
        CHECK((raw_state(tray.get(), IDC_OPEN) & MFS_DEFAULT) != 0);
        CHECK(tray.default_item() == IDC_OPEN);

        CHECK(tray.set_checked(IDC_NOTIFY_OFF, true));
        CHECK((raw_state(tray.get(), IDC_NOTIFY_OFF) & MFS_CHECKED) != 0);
        CHECK(tray.is_checked(IDC_NOTIFY_OFF));
        CHECK(tray.set_checked(IDC_NOTIFY_OFF, false));
        CHECK((raw_state(tray.get(), IDC_NOTIFY_OFF) & MFS_CHECKED) == 0);

        // Items of a submenu are found from the top menu by command.
        CHECK(tray.set_enabled(IDC_CHECK_ALL, false));
        CHECK((raw_state(check.get(), IDC_CHECK_ALL) & MFS_GRAYED) != 0);
        CHECK(tray.is_grayed(IDC_CHECK_ALL));
        CHECK(tray.set_enabled(IDC_CHECK_ALL, true));
        CHECK(!tray.is_grayed(IDC_CHECK_ALL));
        CHECK(tray.set_enabled_at(1, false));
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE;
        REQUIRE(GetMenuItemInfoA(tray.get(), 1, TRUE, &info));
        CHECK((info.fState & MFS_GRAYED) != 0);

        CHECK(tray.state(4242) == 0);
    }
    SUBCASE("items added and renamed, with a text of any length")
    {
        CHECK(check.append(5001, "pop.example.com"));
        CHECK(tray.set_text(IDC_NOTIFY_OFF, "Enable Notification"));
        CHECK(tray.text(IDC_NOTIFY_OFF) == "Enable Notification");
        std::string long_text(400, 'm');
        CHECK(check.set_text(5001, long_text));
        CHECK(tray.text(5001) == long_text);
    }
}

TEST_CASE("a missing menu resource or submenu is an error, not an empty menu")
{
    HINSTANCE module = GetModuleHandleA(nullptr);
    CHECK_THROWS_AS(PopupMenu::load_submenu(module, 4242, 0), std::system_error);
    CHECK_THROWS_AS(PopupMenu::load_submenu(module, IDM_TEST_MENUS, 5), std::system_error);
    PopupMenu other = PopupMenu::load_submenu(module, IDM_TEST_MENUS, 1);
    CHECK(other.command_at(0) == IDC_OTHER);
}

TEST_CASE("a tray menu brings its owner forward first and posts a null message after")
{
    TestParent owner;
    PopupMenu menu = PopupMenu::load_submenu(GetModuleHandleA(nullptr), IDM_TEST_MENUS, 0);
    pending_null_messages(owner.hwnd());
    SetTimer(nullptr, 0, 50, &end_menu);
    kivo::ui::track_tray_menu(menu, owner.hwnd(), POINT{50, 50});
    CHECK(GetForegroundWindow() == owner.hwnd());
    CHECK(pending_null_messages(owner.hwnd()) == 1);
}
