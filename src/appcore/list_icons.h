#pragma once
#include <cstdint>

namespace kivo {

class Message;

// Which picture a row of the two lists shows: indexes into the lists' image
// lists, in the order the window loads the icons.
namespace list_icons {

// Accounts list: 0 checking, 1 sleeping (and not started), 2 failed, 3 disabled.
enum AccountImage { account_checking, account_idle, account_failed, account_disabled };
AccountImage for_account_state(std::uint32_t state);

// Messages list: 0 deleted, 1 uncertain, 2 spammer, 3 high priority,
// 4 low priority, 5 attachment, 6 friend; none = -1.
enum MessageImage {
    no_image = -1,
    message_deleted,
    message_uncertain,
    message_spammer,
    priority_high,
    priority_low,
    attachment,
    message_friend,
};
// The row's own icon, from the message's marks; the first rule that matches wins.
MessageImage for_marks(const Message& message);
// The "Priority" column: X-Priority 1 and 2 are high, 4 and 5 low, 3 shows nothing.
MessageImage for_priority(std::int32_t priority);
MessageImage for_attachment(const Message& message);

}  // namespace list_icons
}  // namespace kivo
