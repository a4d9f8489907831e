#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "app/log_viewer.h"
#include "app/main_window.h"
#include "app/placement.h"
#include "app/resource_ids.h"
#include "appcore/command_ids.h"
#include "box_watcher.h"
#include "dialog_script.h"
#include "dialogs/settings_ids.h"
#include "engine/account.h"
#include "message/message.h"
#include "message_ids.h"
#include "support/message_lines.h"
#include "support/program_folder.h"
#include "ui/menu.h"

using kivo::Account;
using kivo::MSG_STATE_DISABLED;
using kivo::MSG_STATE_SLEEPING;
using kivo::app::MainWindow;
using kivo::test::BoxWatcher;

namespace {

bool in_program_folder(const char* file)
{
    return GetFileAttributesA((kivo::platform::program_folder() + file).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string menu_title(HMENU menu, int position)
{
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool quit_posted()
{
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

// A window of the program in a folder of its own, with accounts that have
// no thread (they are added after start-up and never checked).
struct Fixture {
    kivo::test::TempProgramFolder folder;
    MainWindow window{{GetModuleHandleA(nullptr), nullptr, {}}};

    Fixture() { window.create(); }

    Account& add(const std::string& name, int messages, int marked = 0)
    {
        auto account = std::make_unique<Account>(&window.connections());
        account->set_name(name);
        for (int i = 0; i < messages; ++i) {
            auto message = std::make_shared<kivo::Message>(
                kivo::test::make_message("From: a@b\r\nSubject: " + name + std::to_string(i) + "\r\n\r\nbody"));
            if (i < marked)
                message->mark_deleted();
            account->messages().push_back(message);
        }
        account->set_total_messages(messages);
        account->set_new_messages(messages);
        return window.add_account(std::move(account));
    }
    int marked(Account& account) { return account.count_marked(); }
    void select(std::size_t row)
    {
        window.panes().accounts().select(row);
        window.panes_selection_changed();
    }
};

}  // namespace

TEST_CASE("the main window: dialog 102 with its menu bar, toolbar and status bar, hidden at start")
{
    Fixture f;
    HWND hwnd = f.window.hwnd();
    REQUIRE(hwnd);
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    CHECK(std::string(title) == "Kivo Email Checker");
    CHECK(FindWindowA(nullptr, "Kivo Email Checker") == hwnd);
    CHECK(!IsWindowVisible(hwnd));  // HideStart is on by default
    CHECK(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0) != 0);
    CHECK(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0) != 0);

    HMENU bar = GetMenu(hwnd);
    REQUIRE(bar);
    CHECK(GetMenuItemCount(bar) == 6);
    CHECK(menu_title(bar, 2) == "Accounts");
    CHECK(menu_title(bar, 3) == "Messages");
    CHECK(GetMenuState(GetSubMenu(bar, 2), CMD_NEW_ACCOUNT, MF_BYCOMMAND) != static_cast<UINT>(-1));

    kivo::ui::ToolBar toolbar(f.window.toolbar());
    CHECK(toolbar.button_count() == 15);
    CHECK(toolbar.index_of(CMD_CHECK) == 0);
    CHECK(toolbar.index_of(CMD_FILTER) == 14);
    CHECK(toolbar.index_of(CMD_MOVE_DOWN) == 9);

    // Menu help in the status bar for plain items, cleared for popups.
    SendMessageA(hwnd, WM_MENUSELECT, MAKEWPARAM(CMD_HIDE, MF_STRING), reinterpret_cast<LPARAM>(bar));
    kivo::ui::StatusBar status(f.window.status_bar());
    CHECK(status.part_text(0) == "Hides the program to the system tray");
    SendMessageA(hwnd, WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), reinterpret_cast<LPARAM>(bar));
    CHECK(status.part_text(0).empty());
}

namespace {

BOOL CALLBACK find_edit(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<std::pair<int, HWND>*>(param);
    char name[16] = {};
    GetClassNameA(child, name, sizeof name);
    if (GetDlgCtrlID(child) == search->first && lstrcmpiA(name, "Edit") == 0) {
        search->second = child;
        return FALSE;
    }
    return TRUE;
}

std::string face_of(HWND window)
{
    auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA description{};
    if (!font || GetObjectA(font, sizeof description, &description) != sizeof description)
        return {};
    return description.lfFaceName;
}

}  // namespace

TEST_CASE("a first start stores the dialog's font, and the preview's own controls draw in it")
{
    // No font stored yet, as at a first start.
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kivo, Inc.\\Kivo\\Settings", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Font");
        RegCloseKey(key);
    }
    Fixture f;
    HWND hwnd = f.window.hwnd();
    REQUIRE(f.window.settings().has_font());
    LOGFONTA stored{};
    std::memcpy(&stored, f.window.settings().font.data(), sizeof stored);
    std::string face = face_of(hwnd);
    REQUIRE(!face.empty());
    CHECK(std::string(stored.lfFaceName) == face);
    // The preview's header (1) and body (2) are edits the pane creates; without
    // a font of their own they would answer WM_GETFONT with nothing.
    for (int id : {1, 2}) {
        std::pair<int, HWND> search{id, nullptr};
        EnumChildWindows(hwnd, find_edit, reinterpret_cast<LPARAM>(&search));
        REQUIRE(search.second);
        CHECK(face_of(search.second) == face);
    }
    f.window.run_command(CMD_EXIT);
    CHECK(f.window.finished());
    CHECK(quit_posted());
}

TEST_CASE("closing hides the window; only Exit ends the program")
{
    Fixture f;
    HWND hwnd = f.window.hwnd();
    f.window.Show(true);
    CHECK(IsWindowVisible(hwnd));
    CHECK(f.window.notifier().notification_off());

    SUBCASE("the Close box")
    {
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
    }
    SUBCASE("Esc and Enter")
    {
        SendMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        CHECK(!IsWindowVisible(hwnd));
        f.window.Show(true);
        SendMessageA(hwnd, WM_COMMAND, IDOK, 0);
    }
    SUBCASE("minimising")
    {
        ShowWindow(hwnd, SW_MINIMIZE);
        pump();
        CHECK(!IsIconic(hwnd));
    }
    CHECK(IsWindow(hwnd));
    CHECK(!IsWindowVisible(hwnd));
    CHECK(!f.window.notifier().notification_off());
    CHECK(!f.window.finished());
    CHECK(!quit_posted());

    f.window.run_command(CMD_OPEN);
    CHECK(IsWindowVisible(hwnd));

    // Nothing marked: no question.
    f.window.run_command(CMD_EXIT);
    CHECK(f.window.finished());
    CHECK(!IsWindow(hwnd));
    CHECK(quit_posted());
}

TEST_CASE("Exit asks only when something is marked for deletion, and No keeps everything running")
{
    Fixture f;
    f.add("plain", 2);
    Account& marked = f.add("marked", 3, 1);
    CHECK(f.window.MarkedForDeletionTotal() == 1);
    CHECK(f.window.MessageTotal() == 5);
    {
        BoxWatcher watcher(IDNO);
        f.window.run_command(CMD_EXIT);
        CHECK(watcher.box().seen);
        CHECK(watcher.box().text.find("marked for deletion") != std::string::npos);
    }
    CHECK(!f.window.finished());
    CHECK(IsWindow(f.window.hwnd()));
    CHECK(f.window.notifier().running());
    CHECK(!quit_posted());
    CHECK(f.marked(marked) == 1);
    {
        BoxWatcher watcher(IDYES);
        f.window.run_command(CMD_EXIT);
        CHECK(watcher.box().seen);
    }
    CHECK(f.window.finished());
    CHECK(!f.window.notifier().running());
    CHECK(quit_posted());
}

TEST_CASE("the end of the session: FALSE changes nothing, TRUE takes the tray down and saves")
{
    Fixture f;
    f.add("one", 1);
    HWND hwnd = f.window.hwnd();
    SendMessageA(hwnd, WM_ENDSESSION, FALSE, 0);
    CHECK(!f.window.finished());
    CHECK(f.window.notifier().running());
    CHECK(!in_program_folder("kivo.dat"));

    f.window.run_command(CMD_MOVE_UP);  // nothing to move: still not dirty
    f.window.run_command(CMD_DISABLE);  // no selection yet: nothing
    f.select(0);
    f.window.run_command(CMD_DISABLE);  // dirty now
    SendMessageA(hwnd, WM_ENDSESSION, TRUE, 0);
    CHECK(f.window.finished());
    CHECK(!f.window.notifier().running());
    CHECK(in_program_folder("kivo.dat"));
}

TEST_CASE("command states follow the focus: the accounts list's branch and the messages list's")
{
    Fixture f;
    f.add("first", 2);
    f.add("second", 0);
    f.add("third", 1);
    f.window.Show(true);
    kivo::ui::ToolBar toolbar(f.window.toolbar());
    HMENU bar = f.window.menu_bar();
    auto grayed = [bar](int command) { return (GetMenuState(bar, command, MF_BYCOMMAND) & MF_GRAYED) != 0; };

    SetFocus(f.window.panes().accounts().hwnd());
    f.select(0);
    CHECK(f.window.command_states().check);
    CHECK(f.window.command_states().remove);
    CHECK(!toolbar.is_button_enabled(CMD_MOVE_UP));
    CHECK(toolbar.is_button_enabled(CMD_MOVE_DOWN));
    CHECK(!toolbar.is_button_enabled(CMD_STOP));
    CHECK(toolbar.is_button_enabled(CMD_DELETE_MESSAGES));  // the shown list has rows
    CHECK(!grayed(CMD_REMOVE_ACCOUNT));
    CHECK(grayed(CMD_VIEW_ERRORS));

    f.select(2);
    CHECK(toolbar.is_button_enabled(CMD_MOVE_UP));
    CHECK(!toolbar.is_button_enabled(CMD_MOVE_DOWN));

    f.select(1);  // no messages
    CHECK(!toolbar.is_button_enabled(CMD_DELETE_MESSAGES));
    CHECK(!toolbar.is_button_enabled(CMD_REPLY));

    SetFocus(f.window.panes().messages().hwnd());
    f.select(0);
    f.window.update_command_states();
    CHECK(f.window.command_states().check);
    CHECK(!f.window.command_states().remove);
    CHECK(!toolbar.is_button_enabled(CMD_MOVE_UP));
    CHECK(!toolbar.is_button_enabled(CMD_MOVE_DOWN));
    CHECK(grayed(CMD_REMOVE_ACCOUNT));
    CHECK(grayed(CMD_EDIT_ACCOUNT));
    CHECK(!toolbar.is_button_enabled(CMD_DELETE_MESSAGES));  // rows, but none selected
    f.window.panes().messages().command(CMD_SELECT_ALL);
    f.window.update_command_states();
    CHECK(toolbar.is_button_enabled(CMD_DELETE_MESSAGES));

    // A disabled account cannot be checked, and the menu offers to enable it.
    SetFocus(f.window.panes().accounts().hwnd());
    f.window.run_command(CMD_DISABLE);
    CHECK(!f.window.command_states().check);
    kivo::ui::Menu menu(bar);
    CHECK(menu.text(CMD_DISABLE) == "Enable");
    f.window.run_command(CMD_CHECK);  // nothing happens to a disabled account
    CHECK(f.window.panes().accounts().selected()->state() == MSG_STATE_DISABLED);
    f.window.run_command(CMD_STOP);
    f.window.run_command(CMD_DISABLE);
    CHECK(menu.text(CMD_DISABLE) == "Disable");
    CHECK(f.window.panes().accounts().selected()->state() != MSG_STATE_DISABLED);
    f.window.run_command(CMD_STOP);
    CHECK(f.window.panes().accounts().selected()->state() == MSG_STATE_SLEEPING);
}

TEST_CASE("Delete all messages marks the selected account's messages and no other's")
{
    Fixture f;
    Account& first = f.add("first", 2);
    Account& second = f.add("second", 3);
    f.select(1);
    f.window.run_command(CMD_DELETE_ALL);
    CHECK(f.marked(second) == 3);
    CHECK(f.marked(first) == 0);

    // The messages commands act on the shown list, which follows the selection.
    f.select(0);
    CHECK(f.window.panes().messages().shown() == &first);
    f.window.run_command(CMD_SELECT_ALL);
    f.window.run_command(CMD_MARK_DELETED);
    CHECK(f.marked(first) == 2);
    f.window.run_command(CMD_UNDELETE);
    CHECK(f.marked(first) == 0);
    CHECK(f.marked(second) == 3);
}

TEST_CASE("Remove asks first, and leaves nothing that points at the account")
{
    Fixture f;
    f.add("keep", 1);
    Account& gone = f.add("gone", 2);
    std::uint64_t serial = gone.serial();
    f.select(1);
    REQUIRE(f.window.panes().messages().shown() == &gone);
    {
        BoxWatcher watcher(IDNO);
        f.window.run_command(CMD_REMOVE_ACCOUNT);
        CHECK(watcher.box().text == "Do you want remove selected account?");
    }
    CHECK(f.window.panes().accounts().count() == 2);

    // A notification queued by its thread before the removal.
    f.window.bridge().set_wake({});
    f.window.bridge().set_wake([] { return true; });
    f.window.bridge().account_changed(gone);
    CHECK(f.window.bridge().queued() == 1);
    {
        BoxWatcher watcher(IDYES);
        f.window.run_command(CMD_REMOVE_ACCOUNT);
    }
    CHECK(f.window.panes().accounts().count() == 1);
    CHECK(f.window.find_account(serial) == nullptr);
    CHECK(f.window.bridge().queued() == 0);
    REQUIRE(f.window.panes().messages().shown() != nullptr);  // the remaining, now selected, one
    CHECK(f.window.panes().messages().shown()->name() == "keep");
    CHECK(in_program_folder("kivo.dat"));
    CHECK(f.window.MessageTotal() == 1);
}

TEST_CASE("Up and Down move the selected account and keep it selected")
{
    Fixture f;
    Account& a = f.add("a", 0);
    Account& b = f.add("b", 0);
    f.select(1);
    SetFocus(f.window.panes().accounts().hwnd());
    f.window.run_command(CMD_MOVE_UP);
    CHECK(f.window.panes().accounts().at(0) == &b);
    CHECK(f.window.panes().accounts().selected() == &b);
    f.window.run_command(CMD_MOVE_UP);  // first already
    CHECK(f.window.panes().accounts().at(0) == &b);
    f.window.run_command(CMD_MOVE_DOWN);
    CHECK(f.window.panes().accounts().at(0) == &a);
}

TEST_CASE("a stored placement is applied only when it is whole and shows the window")
{
    WINDOWPLACEMENT good{};
    good.length = sizeof good;
    good.showCmd = SW_SHOWMINIMIZED;
    good.rcNormalPosition = {10, 20, 410, 320};
    auto usable = kivo::app::usable_placement(kivo::app::placement_bytes(good));
    REQUIRE(usable);
    CHECK(usable->showCmd == SW_SHOWNORMAL);  // never restored minimised or hidden
    good.showCmd = SW_HIDE;
    CHECK(kivo::app::usable_placement(kivo::app::placement_bytes(good))->showCmd == SW_SHOWNORMAL);
    good.showCmd = SW_SHOWMAXIMIZED;
    CHECK(kivo::app::usable_placement(kivo::app::placement_bytes(good))->showCmd == SW_SHOWMAXIMIZED);

    CHECK(!kivo::app::usable_placement(kivo::Settings::Placement{}));  // none stored
    WINDOWPLACEMENT wrong = good;
    wrong.length = 40;
    CHECK(!kivo::app::usable_placement(kivo::app::placement_bytes(wrong)));
    WINDOWPLACEMENT empty = good;
    empty.rcNormalPosition = {10, 20, 10, 320};
    CHECK(!kivo::app::usable_placement(kivo::app::placement_bytes(empty)));
}

TEST_CASE("the log viewer shows equal lines and bursts of more than the ring exactly once")
{
    kivo::Log log;
    log.write_line("same");
    log.write_line("same");
    kivo::app::LogViewer viewer(log);
    viewer.create_modeless({GetModuleHandleA(nullptr), IDD_LOG, nullptr});
    REQUIRE(viewer.hwnd());
    CHECK(viewer.row_count() == 2);

    log.write_line("same");
    SendMessageA(viewer.hwnd(), WM_TIMER, kivo::app::LogViewer::kRefreshTimer, 0);
    CHECK(viewer.row_count() == 3);
    SendMessageA(viewer.hwnd(), WM_TIMER, kivo::app::LogViewer::kRefreshTimer, 0);
    CHECK(viewer.row_count() == 3);

    for (int i = 0; i < 500; ++i)
        log.write_line("burst %d", i);
    SendMessageA(viewer.hwnd(), WM_TIMER, kivo::app::LogViewer::kRefreshTimer, 0);
    CHECK(viewer.row_count() == 3 + kivo::Log::kDefaultCapacity);
    SendMessageA(viewer.hwnd(), WM_TIMER, kivo::app::LogViewer::kRefreshTimer, 0);
    CHECK(viewer.row_count() == 3 + kivo::Log::kDefaultCapacity);
}

namespace {

// The Settings sheet asked for while one is up: a second one, if it opens, is
// found by a timer and closed, so the test fails instead of hanging. Named
// CALLBACK functions, not lambdas: the 32-bit build needs __stdcall.
HWND first_sheet;
bool second_sheet;

BOOL CALLBACK close_if_second_sheet(HWND window, LPARAM)
{
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    if (window != first_sheet && std::string(title) == "Settings") {
        second_sheet = true;
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
}

void CALLBACK close_second_sheet(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), close_if_second_sheet, 0);
}

}  // namespace

TEST_CASE("Settings opens the sheet over the window, and its OK reaches the window's settings")
{
    Fixture f;
    f.add("Home", 1);
    kivo::test::DialogScript script;
    script.then([&] {
        HWND sheet = FindWindowA("#32770", "Settings");
        REQUIRE(sheet);
        CHECK(GetWindow(sheet, GW_OWNER) == f.window.hwnd());
        // Asked again (the tray menu has Settings too): no second sheet.
        first_sheet = sheet;
        second_sheet = false;
        UINT_PTR safety = SetTimer(nullptr, 0, 3000, close_second_sheet);
        f.window.run_command(CMD_SETTINGS);
        KillTimer(nullptr, safety);
        CHECK_FALSE(second_sheet);
        TabCtrl_SetCurFocus(GetDlgItem(sheet, IDC_SHEET_TABS), 2);
    });
    script.then([&] {
        HWND sheet = FindWindowA("#32770", "Settings");
        HWND page = nullptr;
        for (HWND c = GetWindow(sheet, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (GetDlgItem(c, IDC_VISUAL_ALL) && (GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE))
                page = c;
        // OK first, so a failed check below cannot leave the sheet open.
        PostMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        REQUIRE(page);
        SendMessageA(GetDlgItem(page, IDC_VISUAL_ALL), BM_CLICK, 0, 0);
    });
    script.start();
    f.window.run_command(CMD_SETTINGS);
    CHECK(script.all_run());
    CHECK(f.window.settings().count_all_messages);
    CHECK(f.window.notifier().shown_icon() != nullptr);
    f.window.run_command(CMD_EXIT);
}
