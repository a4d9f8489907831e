#include "engine/account.h"

#include "message/message.h"

namespace kivo {

Account::Account(AccountOwner* owner) : owner_(owner), last_check_(static_cast<std::int64_t>(std::time(nullptr))) {}

Account::~Account()
{
    // The checking thread uses the account: it must end before the members go.
    signal_stop();
    wait_thread();
}

}  // namespace kivo
