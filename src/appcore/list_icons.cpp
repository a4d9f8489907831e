#include "appcore/list_icons.h"

#include "message/message.h"
#include "message_ids.h"

namespace kivo::list_icons {

AccountImage for_account_state(std::uint32_t state)
{
    switch (state) {
    case MSG_STATE_CHECKING:
    case MSG_STATE_CONNECTING:
        return account_checking;
    case MSG_STATE_FAILED:
        return account_failed;
    case MSG_STATE_DISABLED:
        return account_disabled;
    default:
        return account_idle;
    }
}

MessageImage for_marks(const Message& message)
{
    if (message.friendly())
        return message_friend;
    if (message.deleted() && !message.spammer())
        return message_deleted;
    if (message.spammer())
        return message_spammer;
    if (message.uncertain())
        return message_uncertain;
    return no_image;
}

MessageImage for_priority(std::int32_t priority)
{
    if (priority < 3)
        return priority_high;
    if (priority > 3)
        return priority_low;
    return no_image;
}

MessageImage for_attachment(const Message& message) { return message.has_attachment() ? attachment : no_image; }

}  // namespace kivo::list_icons
