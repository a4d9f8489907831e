// The tray menu's decisions: account item ids, the chosen command, the
// double click.
#include <doctest/doctest.h>

#include "appcore/command_ids.h"
#include "appcore/tray_menu_model.h"

using namespace kivo::tray;
using kivo::Settings;

TEST_CASE("tray menu ids: private, sequential, stable until the accounts change")
{
    AccountMenuIds ids;
    std::vector<MenuAccount> accounts{{11, "Home", false}, {12, "HOME", false}, {13, "Home", true}};
    CHECK(ids.rebuild(accounts));
    REQUIRE(ids.items().size() == 3);
    CHECK(ids.items()[0].command == kFirstAccountCommand);
    CHECK(ids.items()[2].command == kFirstAccountCommand + 2);
    // Same names, in any case, still name their own accounts.
    CHECK(ids.serial_of(kFirstAccountCommand + 1) == 12u);
    CHECK(ids.serial_of(kFirstAccountCommand + 2) == 13u);

    // Only a disabled flag changed: same ids, new flag.
    accounts[0].disabled = true;
    CHECK_FALSE(ids.rebuild(accounts));
    CHECK(ids.items()[0].account.disabled);

    // A renamed or removed account hands the ids out again.
    accounts.erase(accounts.begin());
    CHECK(ids.rebuild(accounts));
    CHECK(ids.serial_of(kFirstAccountCommand) == 12u);
    CHECK_FALSE(ids.serial_of(kFirstAccountCommand + 2).has_value());

    // The ids never reach the program's own commands.
    CHECK(kFirstAccountCommand > CMD_REPLY_MESSAGE);
    CHECK(kFirstAccountCommand + static_cast<int>(kMaxAccountItems) <= 0xFFFF);
}

TEST_CASE("tray menu choice: commands pass through, account items name a serial, stale ones do nothing")
{
    AccountMenuIds ids;
    ids.rebuild({{7, "Work", false}});
    CHECK_FALSE(command_for_choice(ids, 0).has_value());
    CHECK(command_for_choice(ids, CMD_EXIT) == TrayCommand{CMD_EXIT, 0});
    CHECK(command_for_choice(ids, CMD_CHECK_ALL) == TrayCommand{CMD_CHECK_ALL, 0});
    CHECK(command_for_choice(ids, kFirstAccountCommand) == TrayCommand{CMD_CHECK, 7});
    CHECK_FALSE(command_for_choice(ids, kFirstAccountCommand + 1).has_value());

    ids.rebuild({});
    CHECK_FALSE(command_for_choice(ids, kFirstAccountCommand).has_value());
}

TEST_CASE("tray menu state and double click")
{
    MenuState idle = menu_state(false, false, 0);
    CHECK_FALSE(idle.notification_enabled);
    CHECK_FALSE(idle.check_enabled);
    MenuState off = menu_state(true, true, 2);
    CHECK(off.notification_off_text);
    CHECK(off.notification_enabled);
    CHECK(off.check_enabled);

    CHECK(double_click_command(Settings::DoubleClick::open_window, false) == CMD_OPEN);
    CHECK(double_click_command(Settings::DoubleClick::open_window, true) == CMD_HIDE);
    CHECK(double_click_command(Settings::DoubleClick::check_all, false) == CMD_CHECK_ALL);
    CHECK(double_click_command(Settings::DoubleClick::check_all, true) == CMD_CHECK_ALL);
}
