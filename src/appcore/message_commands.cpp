#include "appcore/message_commands.h"

#include "message/message.h"

namespace kivo {

MessageCommandStates MessageCommandStates::for_selection(const std::vector<const Message*>& selected)
{
    MessageCommandStates states;
    for (const Message* message : selected) {
        if (!message)
            continue;
        states.per_message = true;
        (message->seen() ? states.mark_unread : states.mark_read) = true;
        (message->deleted() ? states.undelete : states.remove) = true;
    }
    return states;
}

}  // namespace kivo
