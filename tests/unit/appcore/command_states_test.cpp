#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "appcore/command_ids.h"
#include "appcore/command_states.h"
#include "message_ids.h"

using namespace kivo;

TEST_CASE("commands: the states follow the focus, the selection and the selected account's state")
{
    CommandFacts facts;
    facts.account_rows = 3;
    facts.selected_row = 0;
    facts.selected_state = MSG_STATE_SLEEPING;
    facts.message_rows = 4;

    SUBCASE("the accounts list has the focus")
    {
        facts.accounts_focused = true;
        auto s = CommandStates::of(facts);
        CHECK((s.check && s.remove && s.edit && s.move_down && s.delete_messages && s.reply));
        CHECK_FALSE(s.move_up);  // the first row
        CHECK_FALSE(s.stop);     // nothing running
        CHECK_FALSE(s.view_errors);
        facts.selected_row = 2;
        facts.selected_state = MSG_STATE_CHECKING;
        s = CommandStates::of(facts);
        CHECK(s.move_up);
        CHECK_FALSE(s.move_down);  // the last row
        CHECK(s.stop);
        CHECK_FALSE(s.check);  // already checking
        facts.message_rows = 0;
        CHECK_FALSE(CommandStates::of(facts).reply);
    }
    SUBCASE("elsewhere: no account editing, messages commands follow the messages' selection")
    {
        auto s = CommandStates::of(facts);
        CHECK(s.check);
        CHECK_FALSE((s.remove || s.edit || s.move_up || s.move_down || s.stop));
        CHECK_FALSE(s.delete_messages);
        facts.selected_messages = 1;
        CHECK(CommandStates::of(facts).delete_messages);
        CHECK(CommandStates::of(facts).enabled(CMD_REPLY));
    }
    SUBCASE("a disabled or failed account, and no selection at all")
    {
        facts.selected_state = MSG_STATE_DISABLED;
        CHECK_FALSE(CommandStates::of(facts).enabled(CMD_CHECK));
        facts.selected_state = MSG_STATE_FAILED;
        CHECK(CommandStates::of(facts).enabled(CMD_VIEW_ERRORS));
        facts.selected_row = -1;
        facts.accounts_focused = true;
        auto s = CommandStates::of(facts);
        CHECK_FALSE((s.check || s.remove || s.edit || s.view_errors));
        CHECK(s.enabled(CMD_SETTINGS));  // not selection-bound
    }
}

TEST_CASE("commands: tooltips and status-bar texts")
{
    CHECK(command_help(CMD_CHECK).tooltip == MSG_HELP_CHECK);
    CHECK(command_help(CMD_HIDE).status == MSG_HELP_HIDE);
    CHECK_FALSE(command_help(CMD_HIDE).tooltip.has_value());
    CHECK_FALSE(command_help(CMD_STOP).status.has_value());
    CHECK_FALSE(command_help(12345).status.has_value());
}
