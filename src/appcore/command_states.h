#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace kivo {

// What the main window's command states depend on.
struct CommandFacts {
    bool accounts_focused = false;   // the accounts list has the keyboard focus
    int account_rows = 0;
    int selected_row = -1;           // -1: none
    std::uint32_t selected_state = 0;
    int message_rows = 0;
    int selected_messages = 0;
};

// The commands whose state follows the selection; every other command is
// always enabled.
struct CommandStates {
    bool check = false;         // "&Check"
    bool remove = false;
    bool edit = false;
    bool move_up = false;
    bool move_down = false;
    bool stop = false;
    bool delete_messages = false;  // "&Del msgs"
    bool reply = false;            // "&Reply"
    bool view_errors = false;

    static CommandStates of(const CommandFacts& facts);
    // The state of one command id; every id not listed above is enabled.
    bool enabled(int command) const;
};

// The tooltip and status-bar texts of a command (message numbers); none
// for a command without one.
struct CommandHelp {
    std::optional<std::uint32_t> tooltip;
    std::optional<std::uint32_t> status;
};
CommandHelp command_help(int command);

}  // namespace kivo
