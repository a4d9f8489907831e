#include "engine/account.h"

#include "message/message.h"

namespace kivo {

namespace {
std::atomic<std::uint64_t> next_serial{1};
}

Account::Account(AccountOwner* owner)
    : owner_(owner), serial_(next_serial.fetch_add(1)), last_check_(static_cast<std::int64_t>(std::time(nullptr)))
{
}

Account::~Account()
{
    // The checking thread uses the account: it must end before the members go.
    signal_stop();
    wait_thread();
}

}  // namespace kivo
