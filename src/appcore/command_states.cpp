#include "appcore/command_states.h"

#include "appcore/command_ids.h"
#include "message_ids.h"

namespace kivo {
namespace {

bool busy(std::uint32_t state) { return state == MSG_STATE_CHECKING || state == MSG_STATE_CONNECTING; }

}  // namespace

CommandStates CommandStates::of(const CommandFacts& facts)
{
    CommandStates states;
    bool selected = facts.selected_row >= 0 && facts.selected_row < facts.account_rows;
    states.check = selected && !busy(facts.selected_state) && facts.selected_state != MSG_STATE_DISABLED;
    states.view_errors = selected && facts.selected_state == MSG_STATE_FAILED;
    if (facts.accounts_focused) {
        states.remove = selected;
        states.edit = selected;
        states.stop = selected && busy(facts.selected_state);
        states.move_up = selected && facts.selected_row > 0;
        states.move_down = selected && facts.selected_row < facts.account_rows - 1;
        states.delete_messages = facts.message_rows > 0;
        states.reply = facts.message_rows > 0;
    } else {
        states.delete_messages = facts.selected_messages > 0;
        states.reply = facts.selected_messages > 0;
    }
    return states;
}

bool CommandStates::enabled(int command) const
{
    switch (command) {
    case CMD_CHECK:
        return check;
    case CMD_REMOVE_ACCOUNT:
        return remove;
    case CMD_EDIT_ACCOUNT:
        return edit;
    case CMD_MOVE_UP:
        return move_up;
    case CMD_MOVE_DOWN:
        return move_down;
    case CMD_STOP:
        return stop;
    case CMD_DELETE_MESSAGES:
        return delete_messages;
    case CMD_REPLY:
        return reply;
    case CMD_VIEW_ERRORS:
        return view_errors;
    default:
        return true;
    }
}

CommandHelp command_help(int command)
{
    struct Entry {
        int command;
        std::uint32_t text;
        bool tooltip;
    };
    static constexpr Entry kTable[] = {
        {CMD_NEW_ACCOUNT, MSG_HELP_NEW_ACCOUNT, true},
        {CMD_REMOVE_ACCOUNT, MSG_HELP_REMOVE_ACCOUNT, true},
        {CMD_EDIT_ACCOUNT, MSG_HELP_EDIT_ACCOUNT, true},
        {CMD_CHECK, MSG_HELP_CHECK, true},
        {CMD_SETTINGS, MSG_HELP_SETTINGS, true},
        {CMD_RUN_MAILER, MSG_HELP_RUN_MAILER, true},
        {CMD_MOVE_UP, MSG_HELP_MOVE_UP, true},
        {CMD_MOVE_DOWN, MSG_HELP_MOVE_DOWN, true},
        {CMD_HIDE, MSG_HELP_HIDE, false},
        {CMD_VIEW_ERRORS, MSG_HELP_VIEW_ERRORS, false},
        {CMD_CHECK_ALL, MSG_HELP_CHECK_ALL, true},
        {CMD_MARK_DELETED, MSG_HELP_MARK_DELETED, false},
        {CMD_UNDELETE, MSG_HELP_UNDELETE, false},
        {CMD_SHOW_HEADER, MSG_HELP_SHOW_HEADER, false},
        {CMD_FILTER, MSG_HELP_FILTER, true},
        {CMD_DISABLE, MSG_HELP_DISABLE, false},
        {CMD_DELETE_ALL, MSG_HELP_DELETE_ALL, false},
        {CMD_SELECT_ALL, MSG_HELP_SELECT_ALL, false},
        {CMD_ADD_TO_FROM, MSG_HELP_ADD_TO_FROM, false},
        {CMD_ADD_TO_SUBJECT, MSG_HELP_ADD_TO_SUBJECT, false},
        {CMD_ADD_TO_SPAMMERS, MSG_HELP_ADD_TO_SPAMMERS, false},
    };
    for (const Entry& entry : kTable)
        if (entry.command == command) {
            CommandHelp help;
            help.status = entry.text;
            if (entry.tooltip)
                help.tooltip = entry.text;
            return help;
        }
    return {};
}

}  // namespace kivo
