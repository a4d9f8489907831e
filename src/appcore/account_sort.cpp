#include "appcore/account_sort.h"

#include <string>

#include "engine/account.h"
#include "message/message.h"
#include "message_ids.h"

namespace kivo {
namespace {

int text_order(const std::string& a, const std::string& b)
{
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Numbers are compared, not subtracted: a difference of two 32-bit counts or
// times can overflow and turn the order around.
template <typename Number>
int number_order(Number a, Number b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

const std::array<std::uint32_t, AccountSort::kSortableItems>& AccountSort::kinds()
{
    static const std::array<std::uint32_t, kSortableItems> all{
        MSG_COL_ACCOUNT, MSG_COL_SERVER, MSG_COL_USER,       MSG_COL_TOTAL_MSGS,
        MSG_COL_NEW_MESSAGES, MSG_COL_STATE, MSG_COL_LAST_CHECK, MSG_COL_MAILBOX_SIZE};
    return all;
}

std::int64_t AccountSort::mailbox_size(const Account& account)
{
    std::int64_t total = 0;
    for (const auto& message : account.messages())
        total += static_cast<std::uint32_t>(message->size());  // LIST sizes above 2 GB arrive wrapped
    return total;
}

bool AccountSort::click(std::uint32_t kind)
{
    for (std::size_t i = 0; i < kinds().size(); ++i) {
        if (kinds()[i] != kind)
            continue;
        if (static_cast<int>(i) == item_)
            descending_[i] = !descending_[i];
        item_ = static_cast<int>(i);
        return true;
    }
    return false;
}

int AccountSort::compare(const Account& a, const Account& b) const
{
    int order = 0;
    switch (kind()) {
    case MSG_COL_ACCOUNT:
        order = text_order(a.name(), b.name());
        break;
    case MSG_COL_SERVER:
        order = text_order(a.server().host(), b.server().host());
        break;
    case MSG_COL_USER:
        order = text_order(a.server().user(), b.server().user());
        break;
    case MSG_COL_TOTAL_MSGS:
        order = number_order(a.total_messages(), b.total_messages());
        break;
    case MSG_COL_NEW_MESSAGES:
        order = number_order(a.new_messages(), b.new_messages());
        break;
    case MSG_COL_STATE:
        order = number_order(a.state(), b.state());
        break;
    case MSG_COL_LAST_CHECK:
        order = number_order(a.last_check(), b.last_check());
        break;
    case MSG_COL_MAILBOX_SIZE:
        order = number_order(mailbox_size(a), mailbox_size(b));
        break;
    default:
        return 0;
    }
    return descending() ? -order : order;
}

}  // namespace kivo
