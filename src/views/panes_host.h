#pragma once

#include <windows.h>

namespace kivo {
class Account;
class Message;
}  // namespace kivo

namespace kivo::views {

// What the panes need from the main window (it implements this). Every call
// comes on the window thread.
class PanesHost {
public:
    virtual ~PanesHost() = default;
    // A command of the accounts list's context menu 163, or its Enter (1006).
    virtual void pane_command(int id) = 0;
    // Focus or selection changed in either list: recompute command states.
    virtual void panes_selection_changed() = 0;
    // Seen, unseen or deleted marks changed (the row is already redrawn):
    // redraw the tray.
    virtual void account_marks_changed(Account& account) = 0;
    // 40054.
    virtual void reply_to(Account& account, const Message& message) = 0;
    // 40030 40031 40032 40045 40048, with the focused (or first selected) message.
    virtual void add_to_filter(int command, const Message& message) = 0;
};

}  // namespace kivo::views
