#pragma once
#include <vector>

namespace kivo {

class Message;

// Which commands of the messages menu are enabled for a selection.
struct MessageCommandStates {
    bool mark_read = false;    // some selected message is not seen
    bool mark_unread = false;  // some is seen
    bool remove = false;       // some is not marked for deletion
    bool undelete = false;     // some is marked
    bool select_all = true;    // always
    // Show header, Reply and the five "Add to" commands: any selection.
    bool per_message = false;

    static MessageCommandStates for_selection(const std::vector<const Message*>& selected);
};

}  // namespace kivo
